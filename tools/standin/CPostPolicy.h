// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// A POST-policy form upload as public object stores offer it: a base64 JSON policy (expiry, size
// limit, the exact object name) and a base64 HMAC-SHA1 signature over that base64 text made with
// the store's secret. The storage accepts a form only when the signature and every condition hold.
class CPostPolicy
{
public:
    struct Grant
    {
        QString policy;    // base64 of the policy JSON
        QString signature; // base64 of HMAC-SHA1(secret, policy)
    };

    static Grant make(const QByteArray& secret, const QString& key, qint64 maxBytes,
                      const QDateTime& expires);

    // Empty when the upload is allowed; otherwise why not.
    static QString check(const QByteArray& secret, const QString& policy, const QString& signature,
                         const QString& key, qint64 size, const QDateTime& now);

    static QString sign(const QByteArray& secret, const QString& policy);
};
