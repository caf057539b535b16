// SPDX-License-Identifier: MIT
#pragma once

#include "Service/CAccountAnswer.h"
#include "Service/CServiceRequests.h"

#include <QObject>
#include <QPointer>

class CFormBody;
class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

// Login and registration with the service, without widgets; the account dialogs show what it
// reports. One request of each kind is in flight at a time: a new one abandons the one before
// (which then reports nothing). Every request ends, at the latest after the stall time-out, with
// exactly one finished signal. Interface thread only.
class CAccountClient : public QObject
{
    Q_OBJECT
public:
    explicit CAccountClient(QObject* parent = nullptr);

    void login(const QString& name, const QString& password);
    // The service checks the fields; they are sent as they are.
    void registerAccount(const QString& name, const QString& nickname, const QString& password,
                         const QString& confirmation);

    void setStallTimeout(int milliseconds) { m_stallTimeoutMs = milliseconds; }

signals:
    void loginFinished(const CAccountAnswer& answer);
    void registrationFinished(const CAccountAnswer& answer);

private:
    QNetworkReply* post(QPointer<QNetworkReply>& slot, const QUrl& url, const CFormBody& form);

    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_login;
    QPointer<QNetworkReply> m_registration;
    int m_stallTimeoutMs = CServiceRequests::DefaultStallTimeoutMs;
};
