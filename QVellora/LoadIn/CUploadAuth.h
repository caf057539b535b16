// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// The service's upload authorisation: the parameters of one POST-policy form upload to its
// storage, passed through unchanged, and the object name the picture will be stored under.
class CUploadAuth
{
public:
    // Reads the five members as texts; absent members and non-objects read as empty.
    static CUploadAuth fromJson(const QByteArray& body);

    // True when every member is present and "postUrl" is an HTTP(S) address; anything less
    // cannot produce a stored picture, so it is not posted.
    bool isComplete() const;

    QString accessKeyId;
    QString policy;
    QString signature;
    QUrl postUrl;
    QString fileName;
};
