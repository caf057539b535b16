// SPDX-License-Identifier: MIT
#pragma once

#include <QPushButton>

// The category name of a history entry, painted as blue text only: bold and underlined while its
// entry is the one shown. A name too long for its width goes on over more lines.
class QTimeViewButton : public QPushButton
{
    Q_OBJECT
public:
    explicit QTimeViewButton(QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString GetText() const { return m_text; }
    void SetSelected(bool selected);
    bool IsSelected() const { return m_selected; }
    // The font the text is painted with in the current state.
    QFont TextFont() const;

    QSize sizeHint() const override;
    // A long name wraps: the height that shows all of it in this width (bold, the wider face).
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    // How the text is broken into lines; painting and measuring agree on it.
    static constexpr int TextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWrapAnywhere;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    bool m_selected = false;
};
