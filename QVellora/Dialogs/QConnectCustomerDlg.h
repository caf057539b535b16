// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLabel;

// The customer-service contacts: QQ number above the hotline (CServiceContacts).
class QConnectCustomerDlg : public QDialog
{
    Q_OBJECT
public:
    explicit QConnectCustomerDlg(QWidget* parent = nullptr);

private:
    QLabel* m_hotlineLabel;
    QLabel* m_qqLabel;
};
