// SPDX-License-Identifier: MIT
#include "QUpdateData.h"

#include "CUsageReport.h"

#include <QDebug>
#include <QFile>
#include <QNetworkAccessManager>

QUpdateData::QUpdateData(QObject* parent) : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
    connect(m_manager, &QNetworkAccessManager::finished, this, &QUpdateData::replyFinished);
    m_stall.setSingleShot(true);
    m_stall.setInterval(stallTimeoutMs());
    connect(&m_stall, &QTimer::timeout, this, &QUpdateData::onStalled);
}

int QUpdateData::stallTimeoutMs()
{
    bool ok = false;
    const int fromEnvironment = qEnvironmentVariableIntValue("VELLORA_REPORT_TIMEOUT_MS", &ok);
    return ok && fromEnvironment > 0 ? fromEnvironment : 30000;
}

bool QUpdateData::UpdateUserData(const QString& path)
{
    m_path = path;
    m_reply = CUsageReport::post(m_manager, path, &m_sent);
    if (!m_reply)
        return false;
    connect(m_reply, &QNetworkReply::errorOccurred, this, &QUpdateData::upLoadError);
    connect(m_reply, &QNetworkReply::uploadProgress, this, &QUpdateData::OnUploadProgress);
    // Any sign of life from the service restarts the stall clock.
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this] { m_stall.start(); });
    m_stall.start();
    return true;
}

void QUpdateData::replyFinished(QNetworkReply* reply)
{
    m_stall.stop();
    // An aborted reply is closed already.
    const QByteArray answer = reply->isOpen() ? reply->readAll() : QByteArray();
    qDebug() << "repay finished" << answer;
    m_accepted = CUsageReport::accepted(reply);
    if (m_accepted)
        removeIfUnchanged();
    else
        qDebug() << "report not accepted, records kept:" << reply->error()
                 << reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    reply->deleteLater();
    if (reply == m_reply)
        m_reply = nullptr;
    m_finished = true;
    emit sigUpdateEnd();
}

void QUpdateData::upLoadError(QNetworkReply::NetworkError errorCode)
{
    qDebug() << "repay upLoadError" << errorCode;
}

void QUpdateData::OnUploadProgress(qint64 bytesSent, qint64 bytesTotal)
{
    qDebug() << "repay OnUploadProgress" << bytesSent << bytesTotal;
    m_stall.start();
}

void QUpdateData::onStalled()
{
    qDebug() << "no answer within" << m_stall.interval() << "ms, giving up";
    // Aborting finishes the reply with an error; replyFinished keeps the file and ends.
    if (m_reply)
        m_reply->abort();
}

void QUpdateData::removeIfUnchanged()
{
    QByteArray now;
    if (!CUsageReport::readFile(m_path, &now)) {
        qDebug() << "usage file already gone" << m_path;
        return;
    }
    if (now != m_sent) {
        qDebug() << "usage file changed while it was sent, kept" << m_path;
        return;
    }
    if (!QFile::remove(m_path))
        qDebug() << "cannot remove" << m_path;
}
