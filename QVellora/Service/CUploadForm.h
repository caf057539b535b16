// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QNetworkRequest>
#include <QString>
#include <QVector>

class CUploadAuth;

// The storage upload of one picture: a multipart form with six parts in this order:
// "OSSAccessKeyId", "policy", "Signature", "key", "Cache-Control" and "file" (named after the
// object, typed as given). The form is held in memory as three pieces: what comes before the
// picture's bytes, the bytes themselves (shared, not copied) and what comes after, so that the
// bytes sent are exactly those read and named by their digest. Every form gets a fresh random
// boundary that the picture's bytes do not contain: a boundary inside a picture would end it
// early at the storage.
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
    // The whole form, joined (for a look at it); pieces() is what is sent.
    QByteArray body() const { return m_head + m_picture + m_tail; }
    QVector<QByteArray> pieces() const { return {m_head, m_picture, m_tail}; }
    qint64 size() const { return m_head.size() + m_picture.size() + m_tail.size(); }
    // The request that posts the form to the storage; its type names the form's boundary.
    QNetworkRequest request(const CUploadAuth& auth) const;

private:
    QByteArray m_boundary;
    QByteArray m_head;
    QByteArray m_picture;
    QByteArray m_tail;
};
