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
#include <QFileInfo>
#include <QLockFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {
const int DefaultStallMs = 30 * 1000;
const int DefaultDeadlineMs = 60 * 1000;
const int DefaultRateWindowMs = 60 * 1000;
// What Qt may hold of an answer before we read it.
const qint64 ReadBufferBytes = 256 * 1024;
// The installed number when "version.js" is missing or cannot be read: only a release above it
// is taken, so a damaged file never lets an older release in.
const int UnknownLocalVersion = 100;
} // namespace

QTarnwick::QTarnwick(QObject* parent)
    : QObject(parent), m_manifestManager(new QNetworkAccessManager(this)),
      m_archiveManager(new QNetworkAccessManager(this)), m_stallTimer(new QTimer(this)),
      m_deadlineTimer(new QTimer(this)), m_rateTimer(new QTimer(this)),
      m_installFolder(QCoreApplication::applicationDirPath()), m_publicKey(CReleaseCheck::releasePublicKey())
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
    // A network that sends just enough to pass the stall limit is given up once its rate stays
    // under the floor for a whole window.
    m_rateTimer->setInterval(DefaultRateWindowMs);
    connect(m_rateTimer, &QTimer::timeout, this, [this] {
        const qint64 floor = m_rateFloor * m_rateTimer->interval() / 1000;
        if (m_current && m_current->isRunning() && m_windowBytes < floor) {
            qCDebug(lcUpdater) << "the answer comes slower than" << m_rateFloor << "bytes a second, giving up"
                               << m_current->url();
            m_current->abort();
        }
        m_windowBytes = 0;
    });
    bool ok = false;
    // For tests: a lower archive cap, so that what happens at the cap can be seen cheaply.
    const qint64 cap = qEnvironmentVariable("VELLORA_UPDATE_MAX_ARCHIVE_BYTES").toLongLong(&ok);
    m_maxArchiveBytes = ok && cap > 0 && cap < MaxArchiveBytes ? cap : MaxArchiveBytes;
    const int deadline = qEnvironmentVariableIntValue("VELLORA_UPDATE_DEADLINE_MS", &ok);
    m_deadlineMs = ok && deadline > 0 ? deadline : DefaultDeadlineMs;
}

void QTarnwick::setDeadline(int milliseconds)
{
    m_deadlineMs = milliseconds;
}

void QTarnwick::setRateFloor(qint64 bytesPerSecond, int windowMilliseconds)
{
    m_rateFloor = bytesPerSecond;
    m_rateTimer->setInterval(windowMilliseconds);
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
    // Caps count the bytes we keep: a compressed answer could unpack to any size, so none is
    // asked for (and Qt then unpacks nothing), and one sent anyway is refused.
    request.setRawHeader("Accept-Encoding", "identity");
    QNetworkReply* reply = manager->get(request);
    m_current = reply;
    m_body.clear();
    m_maxBytes = maxBytes;
    m_proportional = manager == m_archiveManager;
    m_windowBytes = 0;
    m_requestClock.start();
    m_deadlineTimer->start(m_deadlineMs);
    m_rateTimer->start();
    // Qt holds at most this much unread; the body is taken as it comes and counted against the cap.
    reply->setReadBufferSize(ReadBufferBytes);
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { takeBody(reply); });
    connect(reply, &QNetworkReply::downloadProgress, this, &QTarnwick::OnGetProgress);
    // The announced length is known with the headers, before any byte of the body.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
        if (!encoding.isEmpty() && encoding != "identity") {
            qCDebug(lcUpdater) << "compressed answer refused:" << encoding << reply->url();
            reply->abort();
            return;
        }
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid()) {
            checkLimits(0, length.toLongLong());
            if (reply->isRunning() && length.toLongLong() > 0)
                m_body.reserve(int(length.toLongLong()));
        }
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

void QTarnwick::takeBody(QNetworkReply* reply)
{
    if (reply != m_current || !reply->isOpen())
        return;
    const QByteArray chunk = reply->read(m_maxBytes + 1 - m_body.size());
    m_windowBytes += chunk.size();
    // Grown by hand: past half the cap, doubling would ask for more than the cap itself.
    if (m_body.capacity() < m_body.size() + chunk.size())
        m_body.reserve(
            int(qMin<qint64>(m_maxBytes + 1, qMax<qint64>(2 * m_body.size(), m_body.size() + chunk.size()))));
    m_body.append(chunk);
    if (m_body.size() > m_maxBytes && reply->isRunning()) {
        qCDebug(lcUpdater) << "the answer is larger than" << m_maxBytes << "bytes, giving up" << reply->url();
        reply->abort();
    }
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
        return UnknownLocalVersion;
    const QByteArray text = local.read(MaxManifestBytes);
    qCDebug(lcUpdater) << "location: " << text;
    bool valid = false;
    const int version = CReleaseManifest::fromJson(text, &valid).version;
    if (!valid) {
        qCDebug(lcUpdater) << "the installed version cannot be read; taken as" << UnknownLocalVersion;
        return UnknownLocalVersion;
    }
    return version;
}

QByteArray QTarnwick::completeBody(QNetworkReply* reply, qint64 maxBytes, bool* complete)
{
    // An aborted reply is closed and cannot be read.
    if (reply->error() == QNetworkReply::NoError)
        takeBody(reply);
    const QByteArray body =
        reply->error() == QNetworkReply::NoError ? std::exchange(m_body, QByteArray()) : QByteArray();
    m_body.clear();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    *complete = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300 &&
                body.size() <= maxBytes && (!length.isValid() || length.toLongLong() == body.size());
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
    m_rateTimer->stop();
    reply->deleteLater();
    bool complete = false;
    const QByteArray body = completeBody(reply, m_maxBytes, &complete);
    qCDebug(lcUpdater) << "versiong: " << body;
    m_remote = CReleaseManifest::fromJson(body);
    m_remoteText = body;

    if (localVersion() < m_remote.version) {
        qCDebug(lcUpdater) << "good";
        get(m_archiveManager, CServiceEndpoints::releaseArchive(), "application/x-7z-compressed",
            m_maxArchiveBytes);
        return;
    }
    finish(Outcome::UpToDate);
}

void QTarnwick::replyFinished(QNetworkReply* reply)
{
    m_stallTimer->stop();
    m_deadlineTimer->stop();
    m_rateTimer->stop();
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
    const QString lockPath = CProgramFiles::path(CInstallJournal::lockName());
    QLockFile lock(lockPath);
    if (!CInstallJournal::lockInstallation(lock, lockPath)) {
        qCDebug(lcUpdater) << "another updater is installing";
        return false;
    }
    // Our scratch from an earlier run was cleared by the start-up repair; what is there now is the
    // user's, and stays.
    for (const QString& path : {archivePath, extractFolder}) {
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
            qCDebug(lcUpdater) << "not installing:" << path << "is in the way";
            return false;
        }
    }
    CInstallJournal journal(m_installFolder);
    if (!journal.beginScratch()) {
        qCDebug(lcUpdater) << "cannot write the install journal";
        return false;
    }
    QFile file(archivePath);
    bool ok = file.open(QIODevice::NewOnly) && file.write(archive) == archive.size() && file.flush();
    file.close();
    if (!ok)
        qCDebug(lcUpdater) << "cannot write" << archivePath;
    ok = ok && QDir().mkdir(extractFolder);
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
    // A roll-back that could not be finished keeps its journal for the next start.
    CInstallJournal::finishScratch(m_installFolder);
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
