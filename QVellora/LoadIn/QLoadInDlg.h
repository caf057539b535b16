// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QNetworkReply>
#include <QPointer>
#include <QScopedPointer>

class QLabel;
class QLineEdit;
class QNetworkAccessManager;
class QPushButton;
class QSignInDlg;

// The login dialog. It posts the user name and password to the service and, when the service
// accepts them, keeps the user ID and closes as accepted. Any other outcome (the service's own
// refusal, no answer, an answer that is not understood) shows a text in the status line, keeps
// the dialog open and leaves the previous user ID as it was.
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
    void replyFinished(QNetworkReply* reply);
    void upLoadError(QNetworkReply::NetworkError errorCode);
    void OnUploadProgress(qint64 bytesSent, qint64 bytesTotal);

private:
    void createWidgets();

    QLabel* m_userNameLabel = nullptr;
    QLineEdit* m_userNameEdit = nullptr;
    QLabel* m_passwordLabel = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QPushButton* m_loadButton = nullptr;
    QPushButton* m_signButton = nullptr;
    QLabel* m_statusLabel = nullptr;
    QScopedPointer<QSignInDlg> m_signInDlg; // a window of its own, made without a parent
    QNetworkAccessManager* m_networkManager = nullptr;
    QPointer<QNetworkReply> m_reply;
    QString m_userId;
};
