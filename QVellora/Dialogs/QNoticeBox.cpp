// SPDX-License-Identifier: MIT
#include "Dialogs/QNoticeBox.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

QNoticeBox::QNoticeBox(QWidget* parent, const QString& text)
    : QMessageBox(QMessageBox::NoIcon, tr("提示信息："), text, QMessageBox::Ok, parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    const QIcon icon = parent ? parent->window()->windowIcon() : QApplication::windowIcon();
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    setIconPixmap(icon.pixmap(side, side));
}

QNoticeBox* QNoticeBox::about(QWidget* parent, const QString& text)
{
    auto* box = new QNoticeBox(parent, text);
    box->show();
    return box;
}
