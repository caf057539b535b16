// SPDX-License-Identifier: MIT
#include "Service/CAccountClient.h"

#include "CFormBody.h"
#include "CServiceEndpoints.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

CAccountClient::CAccountClient(QObject* parent) : QObject(parent), m_network(new QNetworkAccessManager(this))
{
}

void CAccountClient::login(const QString& name, const QString& password)
{
    CFormBody form;
    form.add(QStringLiteral("username"), name).add(QStringLiteral("password"), password);
    QNetworkReply* reply = post(m_login, CServiceEndpoints::login(), form);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        emit loginFinished(CAccountAnswer::fromReply(reply));
    });
}

void CAccountClient::registerAccount(const QString& name, const QString& nickname, const QString& password,
                                     const QString& confirmation)
{
    CFormBody form;
    form.add(QStringLiteral("username"), name)
        .add(QStringLiteral("nickname"), nickname)
        .add(QStringLiteral("password"), password)
        .add(QStringLiteral("re_password"), confirmation);
    QNetworkReply* reply = post(m_registration, CServiceEndpoints::registration(), form);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        emit registrationFinished(CAccountAnswer::fromReply(reply));
    });
}

QNetworkReply* CAccountClient::post(QPointer<QNetworkReply>& slot, const QUrl& url, const CFormBody& form)
{
    if (slot) {
        // Abandoned: its late answer must not count over the new one.
        slot->disconnect(this);
        slot->abort();
        slot->deleteLater();
    }
    slot = m_network->post(CServiceRequests::withStallTimeout(form.request(url), m_stallTimeoutMs),
                           form.toByteArray());
    CServiceRequests::limitAnswer(slot);
    return slot;
}
