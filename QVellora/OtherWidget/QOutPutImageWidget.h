// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QDrawImageButton;

// The edit page's button bar: one picture button that asks for the next (category) page.
class QOutPutImageWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QOutPutImageWidget(QWidget* parent = nullptr);

    QDrawImageButton* GetNextPageButton() const { return m_nextButton; }

signals:
    // Declared for the edit page, which connects it; nothing in the bar emits it.
    void sigOnCheckImageButton();
    void sigOnCheckNextPage();

public slots:
    // Kept as the bar's named slot for opening the export folder; it does nothing and nothing calls it.
    void onOpenOutPutImagePath() {}

private:
    QDrawImageButton* m_nextButton;
};
