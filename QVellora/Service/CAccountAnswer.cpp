// SPDX-License-Identifier: MIT
#include "Service/CAccountAnswer.h"

#include "Service/CServiceRequests.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QVariant>

namespace {
// Numbers and booleans are read as their text, the way a variant map hands them out.
QString textOf(const QJsonObject& object, const QString& key)
{
    return object.value(key).toVariant().toString();
}
} // namespace

CAccountAnswer CAccountAnswer::fromJson(const QByteArray& body)
{
    CAccountAnswer answer;
    const QJsonDocument document = QJsonDocument::fromJson(body);
    answer.m_isObject = document.isObject();
    const QJsonObject object = document.object();
    answer.m_msg = textOf(object, QStringLiteral("msg"));
    answer.m_zovid = textOf(object, QStringLiteral("zovid"));
    answer.m_error = textOf(object, QStringLiteral("error"));
    return answer;
}

CAccountAnswer CAccountAnswer::fromReply(QNetworkReply* reply)
{
    CAccountAnswer answer = fromJson(reply->readAll());
    answer.m_transportOk = CServiceRequests::answeredWithSuccess(reply);
    return answer;
}
