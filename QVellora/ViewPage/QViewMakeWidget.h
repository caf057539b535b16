// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QDrawImageButton;

// The history page's button bar: back on the left, open the shown category's folder on the right.
class QViewMakeWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QViewMakeWidget(QWidget* parent = nullptr);

signals:
    void sigCheckGoBack();
    void sigCheckOpenButton();

private:
    QDrawImageButton* m_backButton;
    QDrawImageButton* m_openButton;
};
