// SPDX-License-Identifier: MIT
#include "Service/CUploadClient.h"

#include "CFormBody.h"
#include "CLogging.h"
#include "CServiceEndpoints.h"
#include "Service/CImageRegistration.h"
#include "Service/CUploadAuth.h"
#include "Service/CUploadConversion.h"
#include "Service/CUploadFolder.h"
#include "Service/CUploadForm.h"

#include <QDir>
#include <QFile>
#include <QHttpMultiPart>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>

namespace {
const QString JpegType = QStringLiteral("image/jpeg");
}

CUploadClient::CUploadClient(QObject* parent) : QObject(parent), m_network(new QNetworkAccessManager(this))
{
    // Decoding a large HEIC takes a second or more; one at a time leaves the other core free.
    m_converters.setMaxThreadCount(1);
}

CUploadClient::~CUploadClient()
{
    m_converters.clear();
    m_converters.waitForDone();
}

bool CUploadClient::start(const QStringList& pictures)
{
    if (m_running || pictures.isEmpty())
        return false;
    ++m_batch;
    m_running = true;
    m_pictures = pictures;
    m_answersHandled = 0;
    m_finished = 0;
    m_failed = 0;
    m_convertedCount = 0;
    m_objectNames.clear();
    m_replies.clear();

    // The authorisations are all alike; each answer serves the next picture waiting for one.
    QNetworkRequest request(CServiceEndpoints::uploadAuth());
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    request = CServiceRequests::withStallTimeout(request, m_stallTimeoutMs);
    for (int i = 0; i < m_pictures.size(); ++i)
        watch(m_network->get(request), [this](QNetworkReply* reply) { authorised(reply); });
    return true;
}

void CUploadClient::cancel()
{
    // Each aborted reply finishes at once through its failure path; the last one ends the batch.
    const QList<QPointer<QNetworkReply>> replies = m_replies;
    for (const QPointer<QNetworkReply>& reply : replies)
        if (reply)
            reply->abort();
    if (!m_running)
        return;
    // Pictures whose last reply had already finished without being handled yet.
    m_failed += m_pictures.size() - m_finished;
    m_finished = m_pictures.size();
    m_running = false;
    // Conversions not begun are dropped; one still running writes into the removed folder and
    // fails, so nothing is left.
    m_converters.clear();
    m_convertedFolder.reset();
    emit progress(m_finished, m_pictures.size());
    emit batchFinished(m_finished - m_failed, m_failed);
}

void CUploadClient::watch(QNetworkReply* reply, std::function<void(QNetworkReply*)> handler)
{
    m_replies.append(reply);
    const int batch = m_batch;
    connect(reply, &QNetworkReply::finished, this, [this, reply, batch, handler] {
        reply->deleteLater();
        m_replies.removeAll(reply);
        if (m_running && batch == m_batch)
            handler(reply);
    });
}

void CUploadClient::authorised(QNetworkReply* reply)
{
    if (m_answersHandled >= m_pictures.size())
        return;
    const QString path = m_pictures.at(m_answersHandled++);
    const QByteArray body = reply->readAll();
    const CUploadAuth auth = CUploadAuth::fromJson(body);
    if (!CServiceRequests::answeredWithSuccess(reply) || !auth.isComplete()) {
        qCDebug(lcService) << "no usable upload authorisation for" << path << reply->errorString()
                           << body.left(200);
        finishPicture(false);
        return;
    }
    m_objectNames.insert(path, auth.fileName);
    if (CUploadFolder::needsConversion(path))
        convert(auth, path);
    else
        upload(auth, path, path);
}

void CUploadClient::convert(const CUploadAuth& auth, const QString& path)
{
    // Each picture gets a folder of its own: "a.heic" and "a.webp" both become "a.jpg".
    if (!m_convertedFolder)
        m_convertedFolder = std::make_unique<QTemporaryDir>();
    const QString folder = m_convertedFolder->filePath(QString::number(m_answersHandled));
    if (!m_convertedFolder->isValid() || !QDir().mkpath(folder)) {
        qCDebug(lcService) << "no temporary folder for converting" << path;
        finishPicture(false);
        return;
    }
    const int batch = m_batch;
    m_converters.start([this, auth, path, folder, batch] {
        const QString jpeg = CUploadConversion::toJpeg(path, folder);
        QMetaObject::invokeMethod(
            this,
            [this, auth, path, jpeg, batch] {
                if (!m_running || batch != m_batch) {
                    QFile::remove(jpeg);
                    return;
                }
                if (jpeg.isEmpty()) {
                    finishPicture(false);
                    return;
                }
                ++m_convertedCount;
                upload(auth, path, jpeg);
            },
            Qt::QueuedConnection);
    });
}

void CUploadClient::dropConverted(const QString& sent, const QString& path)
{
    if (sent != path && !QFile::remove(sent))
        qCDebug(lcService) << "cannot remove the converted picture" << sent;
}

void CUploadClient::upload(const CUploadAuth& auth, const QString& path, const QString& sent)
{
    QHttpMultiPart* form = CUploadForm::build(auth, sent, sent == path ? QString() : JpegType);
    if (!form) {
        dropConverted(sent, path);
        finishPicture(false);
        return;
    }
    QNetworkReply* reply = m_network->post(
        CServiceRequests::withStallTimeout(CUploadForm::request(auth, *form), m_stallTimeoutMs), form);
    form->setParent(reply);
    watch(reply, [this, path, sent](QNetworkReply* finished) { stored(finished, path, sent); });
}

void CUploadClient::stored(QNetworkReply* reply, const QString& path, const QString& sent)
{
    // The form streamed the file; it is closed before a converted one is removed (Windows cannot
    // remove an open file).
    for (QFile* file : reply->findChildren<QFile*>())
        file->close();
    if (!CServiceRequests::answeredWithSuccess(reply)) {
        qCDebug(lcService) << "storage refused" << path << reply->errorString();
        dropConverted(sent, path);
        finishPicture(false);
        return;
    }
    // A converted picture is registered as the JPEG that was stored: its type, size and pixels.
    const CFormBody form = CImageRegistration::body(m_userId, sent, m_objectNames.value(path),
                                                    sent == path ? QString() : JpegType);
    dropConverted(sent, path);
    QNetworkReply* registration = m_network->post(
        CServiceRequests::withStallTimeout(form.request(CServiceEndpoints::imageSave()), m_stallTimeoutMs),
        form.toByteArray());
    watch(registration, [this](QNetworkReply* finished) { registered(finished); });
}

void CUploadClient::registered(QNetworkReply* reply)
{
    const QString error =
        QJsonDocument::fromJson(reply->readAll()).object().value(QStringLiteral("error")).toString();
    finishPicture(CServiceRequests::answeredWithSuccess(reply) && error.isEmpty());
}

void CUploadClient::finishPicture(bool uploaded)
{
    ++m_finished;
    if (!uploaded)
        ++m_failed;
    emit progress(m_finished, m_pictures.size());
    if (m_finished < m_pictures.size())
        return;
    m_running = false;
    m_convertedFolder.reset();
    emit batchFinished(m_finished - m_failed, m_failed);
}
