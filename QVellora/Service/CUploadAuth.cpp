// SPDX-License-Identifier: MIT
#include "Service/CUploadAuth.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QVariant>

CUploadAuth CUploadAuth::fromJson(const QByteArray& body)
{
    const QJsonObject object = QJsonDocument::fromJson(body).object();
    auto text = [&object](const char* key) {
        return object.value(QLatin1String(key)).toVariant().toString();
    };
    CUploadAuth auth;
    auth.accessKeyId = text("OSSAccessKeyId");
    auth.policy = text("policy");
    auth.signature = text("Signature");
    auth.postUrl = QUrl(text("postUrl"), QUrl::StrictMode);
    auth.fileName = text("fileName");
    return auth;
}

namespace {
bool fitsIntoForm(const QString& value)
{
    return !value.contains(QLatin1Char('\r')) && !value.contains(QLatin1Char('\n')) &&
           !value.contains(QLatin1Char('"'));
}
} // namespace

bool CUploadAuth::isComplete() const
{
    const QString scheme = postUrl.scheme();
    return fitsIntoForm(accessKeyId) && fitsIntoForm(policy) && fitsIntoForm(signature) &&
           fitsIntoForm(fileName) && !accessKeyId.isEmpty() && !policy.isEmpty() && !signature.isEmpty() &&
           !fileName.isEmpty() && postUrl.isValid() && !postUrl.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}
