// SPDX-License-Identifier: MIT
#include "CPostPolicy.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>

namespace {
// Compares without stopping at the first difference, so the time taken tells nothing.
bool sameBytes(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    char difference = 0;
    for (int i = 0; i < a.size(); ++i)
        difference |= a.at(i) ^ b.at(i);
    return difference == 0;
}
} // namespace

QString CPostPolicy::sign(const QByteArray& secret, const QString& policy)
{
    return QString::fromLatin1(
        QMessageAuthenticationCode::hash(policy.toLatin1(), secret, QCryptographicHash::Sha1).toBase64());
}

CPostPolicy::Grant CPostPolicy::make(const QByteArray& secret, const QString& key, qint64 maxBytes,
                                     const QDateTime& expires)
{
    QJsonObject document;
    document.insert(QStringLiteral("expiration"), expires.toUTC().toString(Qt::ISODateWithMs));
    document.insert(QStringLiteral("conditions"),
                    QJsonArray{QJsonArray{QStringLiteral("content-length-range"), 0, maxBytes},
                               QJsonArray{QStringLiteral("eq"), QStringLiteral("$key"), key}});
    Grant grant;
    grant.policy = QString::fromLatin1(QJsonDocument(document).toJson(QJsonDocument::Compact).toBase64());
    grant.signature = sign(secret, grant.policy);
    return grant;
}

QString CPostPolicy::check(const QByteArray& secret, const QString& policy, const QString& signature,
                           const QString& key, qint64 size, const QDateTime& now)
{
    if (!sameBytes(sign(secret, policy).toLatin1(), signature.toLatin1()))
        return QStringLiteral("SignatureDoesNotMatch");
    const QJsonObject document = QJsonDocument::fromJson(QByteArray::fromBase64(policy.toLatin1())).object();
    const QDateTime expires =
        QDateTime::fromString(document.value(QStringLiteral("expiration")).toString(), Qt::ISODateWithMs);
    if (!expires.isValid() || now.toUTC() > expires)
        return QStringLiteral("AccessDenied: policy expired");
    bool keyBound = false;
    for (const QJsonValue& value : document.value(QStringLiteral("conditions")).toArray()) {
        const QJsonArray condition = value.toArray();
        const QString name = condition.at(0).toString();
        if (name == QLatin1String("content-length-range")) {
            if (size < condition.at(1).toVariant().toLongLong() ||
                size > condition.at(2).toVariant().toLongLong())
                return QStringLiteral("EntityTooLarge");
        } else if (name == QLatin1String("eq") && condition.at(1).toString() == QLatin1String("$key")) {
            if (condition.at(2).toString() != key)
                return QStringLiteral("AccessDenied: key does not match the policy");
            keyBound = true;
        }
    }
    return keyBound ? QString() : QStringLiteral("AccessDenied: policy names no key");
}
