// SPDX-License-Identifier: MIT
#include "Service/CUploadForm.h"

#include "CLogging.h"
#include "Service/CUploadAuth.h"
#include "Service/CUploadFolder.h"

#include <QFile>
#include <QHttpMultiPart>
#include <QRandomGenerator>

namespace {
QHttpPart textPart(const char* name, const QString& value)
{
    QHttpPart part;
    part.setRawHeader("Content-Disposition", QByteArray("form-data; name=\"") + name + '"');
    part.setBody(value.toUtf8());
    return part;
}
} // namespace

QByteArray CUploadForm::newBoundary()
{
    QByteArray random(20, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(random.data()), random.size() / 4);
    return QByteArrayLiteral("vellora-") + random.toHex();
}

QHttpMultiPart* CUploadForm::build(const CUploadAuth& auth, const QString& filePath, const QString& mimeType)
{
    if (!auth.isComplete())
        return nullptr;
    auto* file = new QFile(filePath);
    if (!file->open(QIODevice::ReadOnly)) {
        qCDebug(lcService) << "cannot open for upload" << filePath << file->errorString();
        delete file;
        return nullptr;
    }

    auto* form = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    form->setBoundary(newBoundary());
    form->append(textPart("OSSAccessKeyId", auth.accessKeyId));
    form->append(textPart("policy", auth.policy));
    form->append(textPart("Signature", auth.signature));
    form->append(textPart("key", auth.fileName));
    form->append(textPart("Cache-Control", QStringLiteral("max-age=31536000")));

    QHttpPart filePart;
    filePart.setRawHeader("Content-Disposition",
                          "form-data; name=\"file\"; filename=\"" + auth.fileName.toUtf8() + '"');
    filePart.setRawHeader("Content-Type",
                          (mimeType.isEmpty() ? CUploadFolder::mimeType(filePath) : mimeType).toUtf8());
    filePart.setBodyDevice(file);
    file->setParent(form);
    form->append(filePart);
    return form;
}

QNetworkRequest CUploadForm::request(const CUploadAuth& auth, const QHttpMultiPart& form)
{
    QNetworkRequest request(auth.postUrl);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "multipart/form-data; boundary=" + form.boundary());
    return request;
}
