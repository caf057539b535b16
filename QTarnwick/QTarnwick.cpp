// SPDX-License-Identifier: MIT
#include "QTarnwick.h"

#include "CFolderRemoval.h"
#include "CInstallJournal.h"
#include "CLogging.h"
#include "CProgramFiles.h"
#include "CReleaseCheck.h"
#include "CReleaseInstaller.h"
#include "CSafeWrite.h"
#include "CServiceEndpoints.h"
#include "CShutdownSignals.h"
#include "CZipExtract.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {
const int DefaultStallMs = 30 * 1000;
const int DefaultDeadlineMs = 60 * 1000;
} // namespace

QTarnwick::QTarnwick(QObject* parent)
    : QObject(parent), m_manifestManager(new QNetworkAccessManager(this)),
      m_archiveManager(new QNetworkAccessManager(this)), m_stallTimer(new QTimer(this)),
      m_deadlineTimer(new QTimer(this)), m_installFolder(QCoreApplication::applicationDirPath()),
      m_publicKey(CReleaseCheck::releasePublicKey())
{
    connect(m_manifestManager, &QNetworkAccessManager::finished, this, &QTarnwick::getFinished);
    connect(m_archiveManager, &QNetworkAccessManager::finished, this, &QTarnwick::replyFinished);
    m_stallTimer->setSingleShot(true);
    m_stallTimer->setInterval(DefaultStallMs);
    m_deadlineTimer->setSingleShot(true);
    // A network that trickles a byte now and then must not keep the updater alive either.
    connect(m_deadlineTimer, &QTimer::timeout, this, [this] {
        qCDebug(lcUpdater) << "the answer took too long, giving up"
                           << (m_current ? m_current->url() : QUrl());
        if (m_current)
            m_current->abort();
    });
    bool ok = false;
    const int deadline = qEnvironmentVariableIntValue("VELLORA_UPDATE_DEADLINE_MS", &ok);
    m_deadlineMs = ok && deadline > 0 ? deadline : DefaultDeadlineMs;
}

void QTarnwick::setDeadline(int milliseconds)
{
    m_deadlineMs = milliseconds;
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
    get(m_manifestManager, CServiceEndpoints::versionManifest(), "application/x-www-form-urlencoded",
        MaxManifestBytes);
}

QNetworkReply* QTarnwick::get(QNetworkAccessManager* manager, const QUrl& url, const QByteArray& contentType,
                              qint64 maxBytes)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    QNetworkReply* reply = manager->get(request);
    m_current = reply;
    m_maxBytes = maxBytes;
    m_proportional = maxBytes == MaxArchiveBytes;
    m_requestClock.start();
    m_deadlineTimer->start(m_deadlineMs);
    connect(reply, &QNetworkReply::downloadProgress, this, &QTarnwick::OnGetProgress);
    // The announced length is known with the headers, before any byte of the body.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            checkLimits(0, length.toLongLong());
    });
    // A network that stops sending must not keep the updater alive forever.
    disconnect(m_stallTimer, nullptr, nullptr, nullptr);
    connect(m_stallTimer, &QTimer::timeout, reply, [reply] {
        qCDebug(lcUpdater) << "no data for a while, giving up" << reply->url();
        reply->abort();
    });
    m_stallTimer->start();
    return reply;
}

void QTarnwick::OnGetProgress(qint64 bytesReceived, qint64 bytesTotal)
{
    m_stallTimer->start();
    checkLimits(bytesReceived, bytesTotal);
}

void QTarnwick::checkLimits(qint64 bytesReceived, qint64 bytesTotal)
{
    if (!m_current || !m_current->isRunning())
        return;
    // Refused as soon as the answer announces or brings more than may be kept in memory.
    if (bytesReceived > m_maxBytes || bytesTotal > m_maxBytes) {
        qCDebug(lcUpdater) << "the answer is larger than" << m_maxBytes << "bytes, giving up"
                           << m_current->url();
        m_current->abort();
        return;
    }
    if (m_proportional && bytesTotal > 0) {
        const qint64 allowed = m_deadlineMs + bytesTotal * 1000 / ArchiveBytesPerSecond;
        m_deadlineTimer->start(int(qBound<qint64>(0, allowed - m_requestClock.elapsed(), INT_MAX)));
        m_proportional = false;
    }
}

int QTarnwick::localVersion()
{
    const QString localPath = CProgramFiles::versionFile();
    qCDebug(lcUpdater) << "qstrHistoryDataPath: " << localPath;
    QFile local(localPath);
    if (!local.open(QIODevice::ReadOnly | QIODevice::Text))
        return 100;
    const QByteArray text = local.readAll();
    qCDebug(lcUpdater) << "location: " << text;
    return CReleaseManifest::fromJson(text).version;
}

QByteArray QTarnwick::completeBody(QNetworkReply* reply, qint64 maxBytes, bool* complete)
{
    // An aborted reply is closed and cannot be read.
    const QByteArray body =
        reply->error() == QNetworkReply::NoError ? reply->read(maxBytes + 1) : QByteArray();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    // A compressed answer announces the compressed length; Qt itself reports a cut-off stream.
    const bool encoded = !reply->rawHeader("Content-Encoding").isEmpty();
    *complete = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300 &&
                body.size() <= maxBytes &&
                (encoded || !length.isValid() || length.toLongLong() == body.size());
    if (!*complete) {
        qCDebug(lcUpdater) << "incomplete or failed answer" << reply->url() << reply->error() << status
                           << body.size() << "of" << length;
        return QByteArray();
    }
    return body;
}

void QTarnwick::getFinished(QNetworkReply* reply)
{
    m_stallTimer->stop();
    m_deadlineTimer->stop();
    reply->deleteLater();
    bool complete = false;
    const QByteArray body = completeBody(reply, m_maxBytes, &complete);
    qCDebug(lcUpdater) << "versiong: " << body;
    m_remote = CReleaseManifest::fromJson(body);
    m_remoteText = body;

    if (localVersion() < m_remote.version) {
        qCDebug(lcUpdater) << "good";
        get(m_archiveManager, CServiceEndpoints::releaseArchive(), "application/x-7z-compressed",
            MaxArchiveBytes);
        return;
    }
    finish(Outcome::UpToDate);
}

void QTarnwick::replyFinished(QNetworkReply* reply)
{
    m_stallTimer->stop();
    m_deadlineTimer->stop();
    reply->deleteLater();
    bool complete = false;
    const QByteArray archive = completeBody(reply, m_maxBytes, &complete);
    qCDebug(lcUpdater) << "new bata" << archive.size() << "bytes";
    QString why;
    if (!complete) {
        finish(Outcome::Failed);
        return;
    }
    if (!CReleaseCheck::accept(archive, m_remote, m_publicKey, &why)) {
        qCDebug(lcUpdater) << "release refused:" << why;
        finish(Outcome::Failed);
        return;
    }
    // Never below or back to what is installed, whatever the service announces.
    if (localVersion() >= m_remote.version) {
        qCDebug(lcUpdater) << "release refused: not above the installed version";
        finish(Outcome::Failed);
        return;
    }
    finish(install(archive) ? Outcome::Installed : Outcome::Failed);
}

bool QTarnwick::install(const QByteArray& archive)
{
    const QString archivePath = CProgramFiles::path(QStringLiteral("Vellora.zip"));
    const QString extractFolder = CProgramFiles::path(QStringLiteral("tmpExt"));
    // One installer at a time; the main program's start-up repair leaves a locked install alone.
    QLockFile lock(CProgramFiles::path(CInstallJournal::lockName()));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        qCDebug(lcUpdater) << "another updater is installing";
        return false;
    }
    QFile file(archivePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(archive) != archive.size() || !file.flush()) {
        qCDebug(lcUpdater) << "cannot write" << archivePath;
        file.remove();
        return false;
    }
    file.close();
    // A folder left over from an earlier run is reused, but emptied first: its old files are no
    // part of this release.
    deleteFolder(extractFolder);
    bool ok = QDir().mkdir(extractFolder);
    if (ok && quazip_extract(archivePath, extractFolder, QString())) {
        qCDebug(lcUpdater) << "解压成功";
        // These two names belong to the updater's own work; a release must not bring them.
        const QDir unpacked(extractFolder);
        for (const QString& name :
             unpacked.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (name.compare(QLatin1String("tmpExt"), Qt::CaseInsensitive) == 0 ||
                name.compare(QLatin1String("Vellora.zip"), Qt::CaseInsensitive) == 0) {
                qCDebug(lcUpdater) << "archive refused: it holds" << name;
                ok = false;
            }
        }
        // The installed number is the one that was signed, whatever the archive's own file says,
        // so a release is never offered again once it is in place.
        ok = ok && writeVersionFile(CProgramFiles::join(extractFolder, QStringLiteral("version.js")));
        if (CShutdownSignals::requested()) {
            qCDebug(lcUpdater) << "asked to end before the install began";
            ok = false;
        }
        ok = ok && CReleaseInstaller().install(extractFolder, m_installFolder);
    } else {
        qCDebug(lcUpdater) << "解压失败";
        ok = false;
    }
    QFile::remove(archivePath);
    deleteFolder(extractFolder);
    return ok;
}

bool QTarnwick::writeVersionFile(const QString& path) const
{
    return writeFileSafely(path, m_remoteText);
}

void QTarnwick::finish(Outcome outcome)
{
    if (m_finished)
        return;
    m_finished = true;
    qCDebug(lcUpdater) << "updater done:" << outcome;
    emit finished(outcome);
}
