// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;
class QTimeViewButton;

// One history entry: the export date and the category name, which is clicked to show the entry.
// It places its two parts itself: the name beside the date, or below it when it is too long.
class QTimeViewWidget : public QWidget
{
    Q_OBJECT
public:
    QTimeViewWidget(bool showDate, const QString& date, const QString& name, QWidget* parent = nullptr);

    void SetItemID(int itemId) { m_itemId = itemId; }
    void SetSelected(bool selected);
    QTimeViewButton* GetButton() const { return m_button; }
    QString GetDateText() const;
    QLabel* GetDateLabel() const { return m_dateLabel; }

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

signals:
    void sigChangeSelectItem(int iItemID);

public slots:
    void onCheckViewButton();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int DateWidth() const;
    // Where the name goes at this width; with move, the date and the name are placed there.
    QRect Place(int width, bool move = true) const;

    QLabel* m_dateLabel;
    QTimeViewButton* m_button;
    int m_itemId = 0;
};
