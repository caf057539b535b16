// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QNetworkRequest>
#include <QString>

class CUploadAuth;

// The storage upload of one picture: a multipart form with six parts in this order:
// "OSSAccessKeyId", "policy", "Signature", "key", "Cache-Control" and "file" (named after the
// object, typed as given). The form is built whole in memory from the picture's bytes: Qt posts a
// byte array faster than a form it streams from a file, and the bytes can be checked against the
// digest the ledger holds before they go. Every form gets a fresh random boundary that the
// picture's bytes do not contain: a boundary inside a picture would end it early at the storage.
class CUploadForm
{
public:
    // 40 random characters from [0-9a-f] after a short prefix; never the same twice.
    static QByteArray newBoundary();

    // The form for these bytes; an invalid form when the authorisation is not usable
    // (CUploadAuth::isComplete). Any thread.
    static CUploadForm build(const CUploadAuth& auth, const QByteArray& picture, const QString& mimeType);

    bool isValid() const { return !m_boundary.isEmpty(); }
    QByteArray boundary() const { return m_boundary; }
    QByteArray body() const { return m_body; }
    // The request that posts the form to the storage; its type names the form's boundary.
    QNetworkRequest request(const CUploadAuth& auth) const;

private:
    QByteArray m_boundary;
    QByteArray m_body;
};
