// SPDX-License-Identifier: MIT
#pragma once

#include <QMessageBox>

// The outcome message of a network operation. It looks and behaves for the user like
// QMessageBox::about (title "提示信息：", the window's icon, one OK button, the rest of the
// program waits until it is closed), but it is shown without a nested event loop: the code that
// showed it goes on, the box deletes itself when closed, and tests can find and close it.
class QNoticeBox : public QMessageBox
{
    Q_OBJECT
public:
    static QNoticeBox* about(QWidget* parent, const QString& text);

private:
    QNoticeBox(QWidget* parent, const QString& text);
};
