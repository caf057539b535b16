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

    // True when every member is present, "postUrl" is an HTTP(S) address and no text holds a
    // CR, LF or double quote (they go into the form's part headers and bodies, where such a
    // character would end a header or a quoted name early); anything less cannot produce a stored
    // picture, so it is not posted.
    bool isComplete() const;

    QString accessKeyId;
    QString policy;
    QString signature;
    QUrl postUrl;
    QString fileName;
};
