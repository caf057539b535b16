// SPDX-License-Identifier: MIT
#include "Service/CUploadForm.h"

#include "Service/CUploadAuth.h"

#include <QRandomGenerator>

namespace {
void addPartHead(QByteArray* body, const QByteArray& boundary, const QByteArray& headers)
{
    body->append("--").append(boundary).append("\r\n").append(headers).append("\r\n\r\n");
}

void addPart(QByteArray* body, const QByteArray& boundary, const QByteArray& headers,
             const QByteArray& content)
{
    addPartHead(body, boundary, headers);
    body->append(content).append("\r\n");
}

QByteArray textHeaders(const char* name)
{
    return QByteArrayLiteral("Content-Disposition: form-data; name=\"") + name + '"';
}
} // namespace

QByteArray CUploadForm::newBoundary()
{
    QByteArray random(20, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(random.data()), random.size() / 4);
    return QByteArrayLiteral("vellora-") + random.toHex();
}

CUploadForm CUploadForm::build(const CUploadAuth& auth, const QByteArray& picture, const QString& mimeType)
{
    CUploadForm form;
    if (!auth.isComplete())
        return form;
    do
        form.m_boundary = newBoundary();
    while (picture.contains(form.m_boundary));
    QByteArray& body = form.m_head;
    addPart(&body, form.m_boundary, textHeaders("OSSAccessKeyId"), auth.accessKeyId.toUtf8());
    addPart(&body, form.m_boundary, textHeaders("policy"), auth.policy.toUtf8());
    addPart(&body, form.m_boundary, textHeaders("Signature"), auth.signature.toUtf8());
    addPart(&body, form.m_boundary, textHeaders("key"), auth.fileName.toUtf8());
    addPart(&body, form.m_boundary, textHeaders("Cache-Control"), QByteArrayLiteral("max-age=31536000"));
    addPartHead(&body, form.m_boundary,
                QByteArrayLiteral("Content-Disposition: form-data; name=\"file\"; filename=\"") +
                    auth.fileName.toUtf8() + QByteArrayLiteral("\"\r\nContent-Type: ") + mimeType.toUtf8());
    // The picture's bytes and what closes the form are pieces of their own.
    form.m_picture = picture;
    form.m_tail = "\r\n--" + form.m_boundary + "--\r\n";
    return form;
}

QNetworkRequest CUploadForm::request(const CUploadAuth& auth) const
{
    QNetworkRequest request(auth.postUrl);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "multipart/form-data; boundary=" + m_boundary);
    request.setHeader(QNetworkRequest::ContentLengthHeader, size());
    return request;
}
