// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QNetworkRequest>
#include <QString>
#include <QUrl>

// A form body as the service reads it: "&name=value" for each field in the order added, starting
// with "&". Every value is percent-encoded, so a value holding "&", "=", "+" or "%" reaches the
// service as one field with exactly that text instead of splitting into fields of its own.
class CFormBody
{
public:
    CFormBody& add(const QString& name, const QString& value);
    CFormBody& add(const QString& name, qint64 value) { return add(name, QString::number(value)); }
    // A value given as bytes (a file's content) is encoded byte for byte, so bytes that are not
    // valid UTF-8 still arrive unchanged.
    CFormBody& addBytes(const QString& name, const QByteArray& value);

    QByteArray toByteArray() const { return m_bytes; }

    // A POST request for this body: Content-Type "application/x-www-form-urlencoded" and an
    // explicit Content-Length.
    QNetworkRequest request(const QUrl& url) const;

private:
    QByteArray m_bytes;
};
