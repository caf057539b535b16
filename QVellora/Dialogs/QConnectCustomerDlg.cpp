// SPDX-License-Identifier: MIT
#include "Dialogs/QConnectCustomerDlg.h"

#include "Service/CServiceContacts.h"

#include <QLabel>
#include <QVBoxLayout>

QConnectCustomerDlg::QConnectCustomerDlg(QWidget* parent)
    : QDialog(parent), m_hotlineLabel(new QLabel(tr("客服热线：") + CServiceContacts::hotline())),
      m_qqLabel(new QLabel(tr("客服QQ：  ") + CServiceContacts::qqNumber()))
{
    setWindowTitle(tr("客服服务"));
    resize(200, 60);
    m_hotlineLabel->setMinimumSize(200, 20);
    m_qqLabel->setMinimumSize(200, 20);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_qqLabel);
    layout->addWidget(m_hotlineLabel);
}
