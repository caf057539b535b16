// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QNetworkRequest>
#include <QString>

class CUploadAuth;
class QHttpMultiPart;

// The storage upload of one picture: a multipart form with the boundary "----boundary" and six
// parts in this order: "OSSAccessKeyId", "policy", "Signature", "key", "Cache-Control" and
// "file" (named after the object, typed "image/<suffix>", streamed from the file).
class CUploadForm
{
public:
    static QByteArray boundary() { return QByteArrayLiteral("----boundary"); }

    // The form for the file, or nullptr when the file cannot be opened. The caller gives the form
    // to the reply (setParent) so that it and the opened file live exactly as long as the upload.
    static QHttpMultiPart* build(const CUploadAuth& auth, const QString& filePath);
    static QNetworkRequest request(const CUploadAuth& auth);
};
