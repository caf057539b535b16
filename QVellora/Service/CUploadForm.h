// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QNetworkRequest>
#include <QString>

class CUploadAuth;
class QHttpMultiPart;

// The storage upload of one picture: a multipart form with six parts in this order:
// "OSSAccessKeyId", "policy", "Signature", "key", "Cache-Control" and "file" (named after the
// object, typed "image/<suffix>", streamed from the file). Every form gets a fresh random
// boundary: a fixed one can occur inside a picture, and the storage would then keep only the
// bytes before it.
class CUploadForm
{
public:
    // 40 random characters from [0-9a-f] after a short prefix; never the same twice.
    static QByteArray newBoundary();

    // The form for the file, or nullptr when the file cannot be opened. The caller gives the form
    // to the reply (setParent) so that it and the opened file live exactly as long as the upload.
    // Also nullptr when the authorisation is not usable (CUploadAuth::isComplete). The file part
    // is typed mimeType when given.
    static QHttpMultiPart* build(const CUploadAuth& auth, const QString& filePath,
                                 const QString& mimeType = QString());
    // The request that posts the form to the storage; its type names the form's boundary.
    static QNetworkRequest request(const CUploadAuth& auth, const QHttpMultiPart& form);
};
