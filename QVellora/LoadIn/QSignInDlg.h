// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QNetworkReply>
#include <QPointer>

class QLabel;
class QLineEdit;
class QNetworkAccessManager;
class QPushButton;

// The registration dialog. It posts a new account to the service, which checks the fields (a new
// name, matching passwords); the service's message is shown in a box. After a successful
// registration the dialog closes as accepted once the box is closed.
class QSignInDlg : public QDialog
{
    Q_OBJECT
public:
    explicit QSignInDlg(QWidget* parent = nullptr);

public slots:
    void onCheckSignButton();
    void onCheckCancelButton();
    void replyFinished(QNetworkReply* reply);
    void upLoadError(QNetworkReply::NetworkError errorCode);
    void OnUploadProgress(qint64 bytesSent, qint64 bytesTotal);

private:
    void createWidgets();
    QLineEdit* addField(const QString& caption, const QString& objectName, bool secret);

    QLineEdit* m_userNameEdit = nullptr;
    QLineEdit* m_nicknameEdit = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QLineEdit* m_confirmEdit = nullptr;
    QPushButton* m_signButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QNetworkAccessManager* m_networkManager = nullptr;
    QPointer<QNetworkReply> m_reply;
};
