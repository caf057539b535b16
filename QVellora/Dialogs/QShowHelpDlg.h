// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLabel;
class QScrollArea;

// The beginner's help: one tall picture showing how photos are dragged into categories, in a
// scrolling area.
class QShowHelpDlg : public QDialog
{
    Q_OBJECT
public:
    explicit QShowHelpDlg(QWidget* parent = nullptr);

private:
    QLabel* m_caption;
    QLabel* m_picture;
    QScrollArea* m_scrollArea;
};
