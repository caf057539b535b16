// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class CAccountAnswer;
class CAccountClient;
class QLineEdit;
class QPushButton;

// The registration dialog. It has a new account posted to the service (CAccountClient), which checks the
// fields (a new name, matching passwords); the service's message is shown in a box. After a successful
// registration the dialog closes as accepted once the box is closed.
class QSignInDlg : public QDialog
{
    Q_OBJECT
public:
    explicit QSignInDlg(QWidget* parent = nullptr);

public slots:
    void onCheckSignButton();
    void onCheckCancelButton();

private:
    void createWidgets();
    void showAnswer(const CAccountAnswer& answer);
    QLineEdit* addField(const QString& caption, const QString& objectName, bool secret);

    QLineEdit* m_userNameEdit = nullptr;
    QLineEdit* m_nicknameEdit = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QLineEdit* m_confirmEdit = nullptr;
    QPushButton* m_signButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    CAccountClient* m_client = nullptr;
};
