// SPDX-License-Identifier: MIT
#include "QTarnwick.h"

#include "CFolderRemoval.h"
#include "CProgramFiles.h"
#include "CReleaseCheck.h"
#include "CReleaseInstaller.h"
#include "CServiceEndpoints.h"
#include "CZipExtract.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {
const int DefaultStallMs = 30 * 1000;
}

QTarnwick::QTarnwick(QObject* parent)
    : QObject(parent), m_manifestManager(new QNetworkAccessManager(this)),
      m_archiveManager(new QNetworkAccessManager(this)), m_stallTimer(new QTimer(this)),
      m_installFolder(QCoreApplication::applicationDirPath()), m_publicKey(CReleaseCheck::releasePublicKey())
{
    connect(m_manifestManager, &QNetworkAccessManager::finished, this, &QTarnwick::getFinished);
    connect(m_archiveManager, &QNetworkAccessManager::finished, this, &QTarnwick::replyFinished);
    m_stallTimer->setSingleShot(true);
    m_stallTimer->setInterval(DefaultStallMs);
}

void QTarnwick::setStallTimeout(int milliseconds)
{
    m_stallTimer->setInterval(milliseconds);
}

void QTarnwick::setReleasePublicKey(const QByteArray& publicKeyBase64)
{
    m_publicKey = publicKeyBase64;
}

void QTarnwick::RequestVersion()
{
    get(m_manifestManager, CServiceEndpoints::versionManifest(), "application/x-www-form-urlencoded");
}

QNetworkReply* QTarnwick::get(QNetworkAccessManager* manager, const QUrl& url, const QByteArray& contentType)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    QNetworkReply* reply = manager->get(request);
    connect(reply, &QNetworkReply::downloadProgress, this, &QTarnwick::OnGetProgress);
    // A network that stops sending must not keep the updater alive forever.
    disconnect(m_stallTimer, nullptr, nullptr, nullptr);
    connect(m_stallTimer, &QTimer::timeout, reply, [reply] {
        qDebug() << "no data for a while, giving up" << reply->url();
        reply->abort();
    });
    m_stallTimer->start();
    return reply;
}

void QTarnwick::OnGetProgress(qint64 bytesReceived, qint64 bytesTotal)
{
    Q_UNUSED(bytesReceived)
    Q_UNUSED(bytesTotal)
    m_stallTimer->start();
}

QByteArray QTarnwick::completeBody(QNetworkReply* reply, bool* complete)
{
    // An aborted reply is closed and cannot be read.
    const QByteArray body = reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    // A compressed answer announces the compressed length; Qt itself reports a cut-off stream.
    const bool encoded = !reply->rawHeader("Content-Encoding").isEmpty();
    *complete = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300 &&
                (encoded || !length.isValid() || length.toLongLong() == body.size());
    if (!*complete) {
        qDebug() << "incomplete or failed answer" << reply->url() << reply->error() << status << body.size()
                 << "of" << length;
        return QByteArray();
    }
    return body;
}

void QTarnwick::getFinished(QNetworkReply* reply)
{
    m_stallTimer->stop();
    reply->deleteLater();
    bool complete = false;
    const QByteArray body = completeBody(reply, &complete);
    qDebug() << "versiong: " << body;
    m_remote = CReleaseManifest::fromJson(body);

    const QString localPath = CProgramFiles::versionFile();
    qDebug() << "qstrHistoryDataPath: " << localPath;
    int localVersion = 100;
    QFile local(localPath);
    if (local.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QByteArray text = local.readAll();
        qDebug() << "location: " << text;
        localVersion = CReleaseManifest::fromJson(text).version;
        local.close();
    }
    if (localVersion < m_remote.version) {
        qDebug() << "good";
        get(m_archiveManager, CServiceEndpoints::releaseArchive(), "application/x-7z-compressed");
        return;
    }
    finish(Outcome::UpToDate);
}

void QTarnwick::replyFinished(QNetworkReply* reply)
{
    m_stallTimer->stop();
    reply->deleteLater();
    bool complete = false;
    const QByteArray archive = completeBody(reply, &complete);
    qDebug() << "new bata" << archive.size() << "bytes";
    QString why;
    if (!complete) {
        finish(Outcome::Failed);
        return;
    }
    if (!CReleaseCheck::accept(archive, m_remote, m_publicKey, &why)) {
        qDebug() << "release refused:" << why;
        finish(Outcome::Failed);
        return;
    }
    finish(install(archive) ? Outcome::Installed : Outcome::Failed);
}

bool QTarnwick::install(const QByteArray& archive)
{
    const QString archivePath = CProgramFiles::path(QStringLiteral("Vellora.zip"));
    const QString extractFolder = CProgramFiles::path(QStringLiteral("tmpExt"));
    QFile file(archivePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(archive) != archive.size() || !file.flush()) {
        qDebug() << "cannot write" << archivePath;
        file.remove();
        return false;
    }
    file.close();
    // A folder left over from an earlier run is reused, but emptied first: its old files are no
    // part of this release.
    deleteFolder(extractFolder);
    bool ok = QDir().mkdir(extractFolder);
    if (ok && quazip_extract(archivePath, extractFolder, QString())) {
        qDebug() << "解压成功";
        // These two names belong to the updater's own work; a release must not bring them.
        const QDir unpacked(extractFolder);
        for (const QString& name :
             unpacked.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (name.compare(QLatin1String("tmpExt"), Qt::CaseInsensitive) == 0 ||
                name.compare(QLatin1String("Vellora.zip"), Qt::CaseInsensitive) == 0) {
                qDebug() << "archive refused: it holds" << name;
                ok = false;
            }
        }
        ok = ok && CReleaseInstaller().install(extractFolder, m_installFolder);
    } else {
        qDebug() << "解压失败";
        ok = false;
    }
    QFile::remove(archivePath);
    deleteFolder(extractFolder);
    return ok;
}

void QTarnwick::finish(Outcome outcome)
{
    if (m_finished)
        return;
    m_finished = true;
    qDebug() << "updater done:" << outcome;
    emit finished(outcome);
}
