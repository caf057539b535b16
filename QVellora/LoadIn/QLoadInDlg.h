// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QScopedPointer>

class CAccountAnswer;
class CAccountClient;
class QLabel;
class QLineEdit;
class QPushButton;
class QSignInDlg;

// The login dialog. It has the user name and password posted to the service (CAccountClient) and,
// when the service accepts them, keeps the user ID and closes as accepted. Any other outcome (the service's
// own refusal, no answer, an answer that is not understood) shows a text in the status line, keeps the dialog
// open and leaves the previous user ID as it was.
class QLoadInDlg : public QDialog
{
    Q_OBJECT
public:
    explicit QLoadInDlg(QWidget* parent = nullptr);
    ~QLoadInDlg() override;

    // The user ID of the last successful login; empty if none.
    QString GetUserID() const { return m_userId; }

public slots:
    void onCheckLoadButton();
    void onCheckSignButton();

private:
    void createWidgets();
    void showAnswer(const CAccountAnswer& answer);

    QLabel* m_userNameLabel = nullptr;
    QLineEdit* m_userNameEdit = nullptr;
    QLabel* m_passwordLabel = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QPushButton* m_loadButton = nullptr;
    QPushButton* m_signButton = nullptr;
    QLabel* m_statusLabel = nullptr;
    QScopedPointer<QSignInDlg> m_signInDlg; // a window of its own, made without a parent
    CAccountClient* m_client = nullptr;
    QString m_userId;
};
