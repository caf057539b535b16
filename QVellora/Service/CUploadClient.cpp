// SPDX-License-Identifier: MIT
#include "Service/CUploadClient.h"

#include "CContentDigest.h"
#include "CFormBody.h"
#include "CLogging.h"
#include "CServiceEndpoints.h"
#include "Records/CUploadLedger.h"
#include "Service/CImageRegistration.h"
#include "Service/CUploadAuth.h"
#include "Service/CUploadConversion.h"
#include "Service/CUploadFolder.h"
#include "Service/CUploadForm.h"
#include "Service/CUploadLine.h"
#include "Service/CUploadRetry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>

namespace {
const QString JpegType = QStringLiteral("image/jpeg");
const int CountsIntervalMs = 100;
// An authorisation fetched ahead is used within this time or fetched again: the storage's
// policies expire (the service gives them minutes).
const qint64 AuthorisationKeptMs = 60 * 1000;
// Pictures authorised or being authorised ahead of the places, per place.
const int AuthorisedAhead = 3;
// Pictures read ahead of their places are held up to this many bytes (and one per place).
const qint64 ReadAheadBytes = 64 * 1024 * 1024;

QDateTime modifiedOf(const QFileInfo& info)
{
    return info.lastModified().toUTC();
}

// Reads the whole file; the SHA-256 in hex, or empty when it cannot be read. Any thread.
QString contentDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(CContentDigest::sha256Hex(&file));
}

// The file's bytes, read on a worker, and their SHA-256 in *digest, when it can be read and, with
// expected given, still has that size and content; else empty, and *why says why.
QByteArray readChecked(const QString& path, const QString& expected, qint64 size, QString* why,
                       QString* digest)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = QFileInfo::exists(path) ? CUploadClient::tr("无法读取照片")
                                       : CUploadClient::tr("照片已被删除或移动");
        return {};
    }
    const QByteArray picture = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *why = CUploadClient::tr("无法读取照片");
        return {};
    }
    *digest = QString::fromLatin1(CContentDigest::sha256Hex(picture));
    if (!expected.isEmpty() && (picture.size() != size || *digest != expected))
        *why = CUploadClient::tr("照片在上传过程中被修改");
    return why->isEmpty() ? picture : QByteArray();
}
} // namespace

CUploadClient::CUploadClient(QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)), m_line(new CUploadLine(this))
{
    // Decoding a large HEIC takes a second or more; one at a time leaves the other core free.
    m_converters.setMaxThreadCount(1);
    // The digests of pictures sent as conversions, read ahead in list order.
    m_hashers.setMaxThreadCount(1);
    // A picture is read just before it is sent; two keep the line fed from a slow card.
    m_readers.setMaxThreadCount(2);
    bool scaled = false;
    const double scale = qEnvironmentVariable("VELLORA_UPLOAD_RETRY_SCALE").toDouble(&scaled);
    if (scaled && scale >= 0)
        m_retryScale = scale;
    m_clock.start();
    m_wakeTimer.setSingleShot(true);
    connect(&m_wakeTimer, &QTimer::timeout, this, &CUploadClient::schedule);
    connect(m_line, &CUploadLine::progress, this, [this](int upload, qint64 sentBytes) {
        const auto at = m_uploads.constFind(upload);
        if (!m_running || at == m_uploads.constEnd())
            return;
        m_items[at->index].sentBytes = sentBytes;
        countsSoon();
    });
    connect(m_line, &CUploadLine::finished, this, &CUploadClient::postFinished);
    m_countsTimer.setSingleShot(true);
    m_countsTimer.setInterval(CountsIntervalMs);
    connect(&m_countsTimer, &QTimer::timeout, this, [this] { emit countsChanged(counts()); });
}

CUploadClient::~CUploadClient()
{
    // The ledger may outlive this client, or save once more when the last user lets it go.
    for (const QMetaObject::Connection& connection : qAsConst(m_ledgerConnections))
        disconnect(connection);
    m_converters.clear();
    m_hashers.clear();
    m_readers.clear();
    m_converters.waitForDone();
    m_hashers.waitForDone();
    m_readers.waitForDone();
}

std::shared_ptr<CUploadLedger> CUploadClient::ledger()
{
    if (!m_ledger || m_ledger->userId() != m_userId || m_ledger->file() != CUploadLedger::filePath(m_userId))
        m_ledger = CUploadLedger::forUser(m_userId);
    return m_ledger;
}

bool CUploadClient::start(const QStringList& pictures)
{
    if (m_running || pictures.isEmpty())
        return false;
    ++m_batch;
    m_running = true;
    m_items.clear();
    m_uploads.clear();
    m_registrations.clear();
    m_contentOwner.clear();
    m_replies.clear();
    m_stopReason.clear();
    m_working = 0;
    m_authorising = 0;
    m_notBeforeMs = 0;
    m_convertedCount = 0;
    m_aheadBytes = 0;

    CUploadLedger& book = *ledger();
    for (const QMetaObject::Connection& connection : qAsConst(m_ledgerConnections))
        disconnect(connection);
    m_ledgerConnections = {
        connect(&book, &CUploadLedger::saved, this, &CUploadClient::ledgerSaved),
        connect(&book, &CUploadLedger::saveFailed, this, [this] {
            stop(tr("无法保存上传记录（磁盘可能已满），上传已停止。请腾出磁盘空间后重新上传。"));
        })};

    QSet<QString> seen;
    for (const QString& path : pictures) {
        if (seen.contains(path))
            continue;
        seen.insert(path);
        Item item;
        item.path = path;
        const QFileInfo info(path);
        CUploadLedger::Entry entry = book.entry(path);
        if (!info.isFile()) {
            item.phase = Phase::Done;
            item.outcome = Outcome::Failed;
            item.reason = tr("照片已被删除或移动");
            if (!entry.path.isEmpty() && entry.state != CUploadLedger::State::Registered) {
                entry.reason = item.reason;
                book.put(entry);
            }
            m_items.append(item);
            continue;
        }
        item.size = info.size();
        item.modified = modifiedOf(info);
        // The content read last time still counts while the file keeps its size and time.
        const bool same = !entry.path.isEmpty() && entry.size == item.size &&
                          entry.modified == item.modified && !entry.sha256.isEmpty();
        if (same && entry.state == CUploadLedger::State::Registered) {
            item.sha256 = entry.sha256;
            item.key = entry.key;
            item.phase = Phase::Done;
            item.outcome = Outcome::Skipped;
            m_items.append(item);
            continue;
        }
        // Stored: only its registration is left, under the content that was stored. Any other
        // picture is read again when it goes, and known by what is read then: a content noted
        // earlier may no longer be the file's, even with its size and time.
        if (same && entry.state == CUploadLedger::State::Stored) {
            item.sha256 = entry.sha256;
            item.phase = Phase::Ready;
            item.key = entry.key;
        }
        CUploadLedger::Entry fresh;
        fresh.path = path;
        fresh.size = item.size;
        fresh.modified = item.modified;
        fresh.sha256 = item.sha256;
        fresh.key = item.key;
        fresh.state = item.key.isEmpty() ? CUploadLedger::State::Waiting : CUploadLedger::State::Stored;
        book.put(fresh);
        m_items.append(item);
    }
    // The batch is on disk before its first request, so a kill at any point leaves it to continue.
    if (!book.save())
        return true; // stop() has ended the batch with its reason
    // A picture sent as itself is read once, when it goes, and its digest is made of the bytes
    // sent; one sent as a conversion is read for its digest first.
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).phase != Phase::Hashing)
            continue;
        if (CUploadFolder::needsConversion(m_items.at(i).path))
            hash(i);
        else
            m_items[i].phase = Phase::Ready;
    }
    emit countsChanged(counts());
    scheduleSoon();
    return true;
}

bool CUploadClient::retryFailed()
{
    QStringList paths;
    for (const CUploadFailure& failure : failures())
        paths.append(failure.path);
    return start(paths);
}

void CUploadClient::cancel()
{
    if (!m_running)
        return;
    stop(QString());
}

void CUploadClient::stop(const QString& reason)
{
    if (!m_running)
        return;
    // First out of the batch, so that the aborted replies' handlers leave everything alone.
    ++m_batch;
    m_running = false;
    m_stopReason = reason;
    const QList<QPointer<QNetworkReply>> replies = m_replies;
    for (const QPointer<QNetworkReply>& reply : replies)
        if (reply)
            reply->abort();
    m_replies.clear();
    // The line aborts them on its thread; whatever they still report is no longer waited for.
    m_line->abortAll();
    m_uploads.clear();
    m_registrations.clear();
    m_hashers.clear();
    m_converters.clear();
    m_readers.clear();
    m_wakeTimer.stop();
    m_aheadBytes = 0;
    for (int i = 0; i < m_items.size(); ++i) {
        Item& item = m_items[i];
        item.picture = QByteArray();
        if (item.phase == Phase::Done)
            continue;
        item.phase = Phase::Done;
        item.outcome = Outcome::Failed;
        item.reason = reason.isEmpty() ? tr("已取消") : tr("上传记录无法保存");
        note(i, -1);
    }
    // Conversions still running write into the removed folder and fail, so nothing is left.
    m_convertedFolder.reset();
    const CUploadCounts now = counts();
    emit progress(now.finished(), now.total);
    emit countsChanged(now);
    emit batchFinished(now.uploaded + now.skipped, now.failed);
}

void CUploadClient::hash(int index)
{
    const QString path = m_items.at(index).path;
    const int batch = m_batch;
    m_hashers.start([this, path, index, batch] {
        const QString sha256 = contentDigest(path);
        // The file as it was once read: a change while it was read shows in the next look.
        const QFileInfo info(path);
        const qint64 size = info.size();
        const QDateTime modified = modifiedOf(info);
        QMetaObject::invokeMethod(
            this,
            [this, index, batch, sha256, size, modified] {
                if (m_running && batch == m_batch)
                    hashed(index, sha256, size, modified);
            },
            Qt::QueuedConnection);
    });
}

void CUploadClient::hashed(int index, const QString& sha256, qint64 size, const QDateTime& modified)
{
    Item& item = m_items[index];
    if (sha256.isEmpty()) {
        fail(index, QFileInfo::exists(item.path) ? tr("无法读取照片") : tr("照片已被删除或移动"));
        return;
    }
    if (size != item.size || modified != item.modified) {
        fail(index, tr("照片在上传过程中被修改"));
        return;
    }
    item.sha256 = sha256;
    item.phase = Phase::Ready;
    note(index, int(CUploadLedger::State::Waiting));
    scheduleSoon();
}

void CUploadClient::scheduleSoon()
{
    // One pass per turn of the event loop, however many pictures changed meanwhile.
    if (m_scheduleQueued)
        return;
    m_scheduleQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_scheduleQueued = false;
            schedule();
        },
        Qt::QueuedConnection);
}

void CUploadClient::schedule()
{
    if (!m_running)
        return;
    const qint64 now = m_clock.elapsed();
    qint64 wake = -1;
    int inReserve = 0; // authorised ahead, waiting for a place
    int beingRead = 0; // of those, read or being read
    QVector<int> unauthorised;
    QVector<int> toRead;
    for (int i = 0; i < m_items.size() && m_running; ++i) {
        Item& item = m_items[i];
        if (item.phase != Phase::Ready)
            continue;
        const qint64 readyAt = std::max(item.readyAtMs, m_notBeforeMs);
        if (readyAt > now) {
            wake = wake < 0 ? readyAt : std::min(wake, readyAt);
            continue;
        }
        if (!item.key.isEmpty()) {
            registerPicture(i);
            continue;
        }
        // The same content under another name, registered before or in this batch: not sent again.
        const CUploadLedger::Entry there = m_ledger->registeredContent(item.sha256);
        if (!there.path.isEmpty()) {
            item.key = there.key;
            finish(i, Outcome::Skipped);
            continue;
        }
        // Two files of one content in a batch: the second waits for the first's outcome.
        // (A picture's content is known once it has been read.)
        const int owner = item.sha256.isEmpty() ? -1 : m_contentOwner.value(item.sha256, -1);
        if (owner >= 0 && owner != i)
            continue;
        if (item.authorisedAtMs >= 0 && now - item.authorisedAtMs < AuthorisationKeptMs) {
            if (m_working < m_parallel) {
                send(i, item.auth);
            } else {
                ++inReserve;
                if (item.reading || !item.picture.isNull() || !item.readFailure.isEmpty())
                    ++beingRead;
                else if (!CUploadFolder::needsConversion(item.path))
                    toRead.append(i);
            }
            continue;
        }
        unauthorised.append(i);
    }
    // A free place takes the next picture authorised ahead; only when none is on its way does it
    // fetch an authorisation itself. The next pictures are authorised while the places are
    // taken, enough of them to cover an authorisation's round trip, which on a busy service
    // takes longer than a small picture's upload.
    for (const int i : qAsConst(unauthorised)) {
        if (!m_running)
            break;
        if (m_working < m_parallel && m_authorising == 0 && inReserve == 0) {
            own(i);
            authorise(i, true);
        } else if (inReserve + m_authorising < AuthorisedAhead * m_parallel) {
            own(i);
            authorise(i, false);
        } else {
            break;
        }
    }
    // The next pictures to go are read meanwhile, within a bound on the bytes held.
    for (const int i : qAsConst(toRead)) {
        if (!m_running || beingRead >= m_parallel || m_aheadBytes >= ReadAheadBytes)
            break;
        readPicture(i);
        ++beingRead;
    }
    if (wake >= 0 && m_running)
        m_wakeTimer.start(int(wake - now));
    endIfDone();
}

void CUploadClient::own(int index)
{
    const QString& sha256 = m_items.at(index).sha256;
    if (!sha256.isEmpty())
        m_contentOwner.insert(sha256, index);
}

QNetworkRequest CUploadClient::serviceRequest(const QUrl& url) const
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    return CServiceRequests::withStallTimeout(request, m_stallTimeoutMs);
}

void CUploadClient::authorise(int index, bool holdsPlace)
{
    Item& item = m_items[index];
    item.authorisedAtMs = -1;
    if (holdsPlace) {
        item.phase = Phase::Working;
        ++m_working;
    } else {
        item.phase = Phase::Authorising;
        ++m_authorising;
    }
    countsSoon();
    // Ahead of the registrations waiting for a connection: a place may be waiting for it.
    QNetworkRequest request = serviceRequest(CServiceEndpoints::uploadAuth());
    request.setPriority(QNetworkRequest::HighPriority);
    QNetworkReply* reply = m_network->get(request);
    CServiceRequests::limitAnswer(reply);
    watch(reply, [this, index](QNetworkReply* finished) { authorised(index, finished); });
}

void CUploadClient::authorised(int index, QNetworkReply* reply)
{
    Item& item = m_items[index];
    const bool ahead = item.phase == Phase::Authorising;
    if (ahead) {
        --m_authorising;
        item.phase = Phase::Ready;
        scheduleSoon();
    }
    const CUploadRetry::Judgement judgement = CUploadRetry::judge(reply);
    const QByteArray body = reply->readAll();
    if (judgement.verdict != CUploadRetry::Verdict::Done) {
        qCDebug(lcService) << "upload authorisation failed for" << m_items.at(index).path
                           << reply->errorString();
        tryFailed(index, int(judgement.verdict), judgement.reason, judgement.retryAfterMs);
        return;
    }
    const CUploadAuth auth = CUploadAuth::fromJson(body);
    if (!auth.isComplete()) {
        qCDebug(lcService) << "no usable upload authorisation" << body.left(200);
        tryFailed(index, int(CUploadRetry::Verdict::Retry), tr("上传授权无效"), -1);
        return;
    }
    item.auth = auth;
    item.authorisedAtMs = m_clock.elapsed();
    if (!ahead)
        send(index, auth);
}

void CUploadClient::send(int index, const CUploadAuth& auth)
{
    Item& item = m_items[index];
    item.usedAuthorisationAtMs = item.authorisedAtMs;
    item.authorisedAtMs = -1;
    if (item.phase != Phase::Working) {
        item.phase = Phase::Working;
        ++m_working;
        countsSoon();
    }
    const QString why = unchanged(item);
    if (!why.isEmpty()) {
        fail(index, why);
        return;
    }
    if (CUploadFolder::needsConversion(item.path)) {
        convert(index, auth);
    } else if (!item.readFailure.isEmpty()) {
        fail(index, item.readFailure);
    } else if (!item.picture.isNull()) {
        const QByteArray picture = item.picture;
        item.picture = QByteArray();
        m_aheadBytes -= picture.size();
        upload(index, auth, item.path, picture);
    } else {
        item.auth = auth;
        item.waitsForRead = true;
        if (!item.reading)
            readPicture(index);
    }
}

void CUploadClient::readPicture(int index)
{
    Item& item = m_items[index];
    item.reading = true;
    const QString path = item.path;
    const QString expected = item.sha256;
    const qint64 size = item.size;
    const int batch = m_batch;
    m_readers.start([this, index, batch, path, expected, size] {
        QString why;
        QString digest;
        const QByteArray picture = readChecked(path, expected, size, &why, &digest);
        QMetaObject::invokeMethod(
            this,
            [this, index, batch, picture, why, digest] {
                if (m_running && batch == m_batch)
                    pictureRead(index, picture, why, digest);
            },
            Qt::QueuedConnection);
    });
}

void CUploadClient::pictureRead(int index, const QByteArray& picture, const QString& why,
                                const QString& digest)
{
    Item& item = m_items[index];
    item.reading = false;
    if (item.waitsForRead) {
        item.waitsForRead = false;
        if (!why.isEmpty())
            fail(index, why);
        else if (learnContent(index, digest))
            upload(index, item.auth, item.path, picture);
        return;
    }
    // Kept for when the picture gets its place; a failure is told then, in its turn.
    if (!why.isEmpty()) {
        item.readFailure = why;
        return;
    }
    if (!learnContent(index, digest))
        return;
    item.picture = picture;
    m_aheadBytes += picture.size();
}

bool CUploadClient::learnContent(int index, const QString& digest)
{
    Item& item = m_items[index];
    if (!item.sha256.isEmpty())
        return true; // known before, and the bytes read had it
    item.sha256 = digest;
    note(index, int(CUploadLedger::State::Waiting));
    const auto giveBackPlace = [this, &item] {
        if (item.phase == Phase::Working) {
            --m_working;
            item.phase = Phase::Ready;
        }
    };
    // The same content under another name, registered before or in this batch: not sent again.
    const CUploadLedger::Entry there = m_ledger->registeredContent(digest);
    if (!there.path.isEmpty()) {
        giveBackPlace();
        item.key = there.key;
        finish(index, Outcome::Skipped);
        return false;
    }
    // Two files of one content in a batch: the second waits for the first's outcome.
    const int owner = m_contentOwner.value(digest, -1);
    if (owner >= 0 && owner != index) {
        giveBackPlace();
        scheduleSoon();
        return false;
    }
    m_contentOwner.insert(digest, index);
    return true;
}

void CUploadClient::convert(int index, const CUploadAuth& auth)
{
    // Each picture gets a folder of its own: "a.heic" and "a.webp" both become "a.jpg".
    if (!m_convertedFolder)
        m_convertedFolder = std::make_unique<QTemporaryDir>();
    const QString folder = m_convertedFolder->filePath(QString::number(index));
    const QString path = m_items.at(index).path;
    if (!m_convertedFolder->isValid() || !QDir().mkpath(folder)) {
        qCDebug(lcService) << "no temporary folder for converting" << path;
        fail(index, tr("无法转换为 JPEG"));
        return;
    }
    const int batch = m_batch;
    m_converters.start([this, auth, path, folder, index, batch] {
        const QString jpeg = CUploadConversion::toJpeg(path, folder);
        QMetaObject::invokeMethod(
            this,
            [this, auth, jpeg, index, batch] {
                if (!m_running || batch != m_batch) {
                    QFile::remove(jpeg);
                    return;
                }
                if (jpeg.isEmpty()) {
                    fail(index, tr("无法转换为 JPEG"));
                    return;
                }
                ++m_convertedCount;
                readConversion(index, auth, jpeg);
            },
            Qt::QueuedConnection);
    });
}

void CUploadClient::dropConverted(const QString& sent, const QString& path)
{
    if (sent != path && !QFile::remove(sent))
        qCDebug(lcService) << "cannot remove the converted picture" << sent;
}

void CUploadClient::readConversion(int index, const CUploadAuth& auth, const QString& jpeg)
{
    const int batch = m_batch;
    m_readers.start([this, index, batch, auth, jpeg] {
        QString why;
        QString digest;
        const QByteArray picture = readChecked(jpeg, QString(), -1, &why, &digest);
        QMetaObject::invokeMethod(
            this,
            [this, index, batch, auth, jpeg, picture, why] {
                if (!m_running || batch != m_batch) {
                    QFile::remove(jpeg);
                    return;
                }
                if (!why.isEmpty()) {
                    dropConverted(jpeg, m_items.at(index).path);
                    fail(index, why);
                    return;
                }
                // Its content is that of the picture it came from, known already.
                upload(index, auth, jpeg, picture);
            },
            Qt::QueuedConnection);
    });
}

void CUploadClient::upload(int index, const CUploadAuth& auth, const QString& sent, const QByteArray& picture)
{
    const QString path = m_items.at(index).path;
    const CUploadForm form =
        CUploadForm::build(auth, picture, sent == path ? CUploadFolder::mimeType(path) : JpegType);
    if (!form.isValid()) {
        dropConverted(sent, path);
        fail(index, tr("上传授权无效"));
        return;
    }
    const int upload =
        m_line->post(CServiceRequests::withStallTimeout(form.request(auth), m_stallTimeoutMs), form.pieces());
    m_uploads.insert(upload, Upload{index, auth, sent});
}

void CUploadClient::postFinished(int post, int verdict, const QString& reason, int retryAfterMs,
                                 const QByteArray& answer, const QString& errorString)
{
    CUploadRetry::Judgement judgement;
    judgement.verdict = CUploadRetry::Verdict(verdict);
    judgement.reason = reason;
    judgement.retryAfterMs = retryAfterMs;
    const auto registration = m_registrations.constFind(post);
    if (registration != m_registrations.constEnd()) {
        const int index = registration.value();
        m_registrations.erase(registration);
        if (!m_running)
            return;
        if (judgement.verdict != CUploadRetry::Verdict::Done)
            qCDebug(lcService) << "registration failed" << m_items.at(index).path << errorString;
        registered(index, judgement, answer);
        return;
    }
    const Upload done = m_uploads.take(post);
    if (!m_running || done.index < 0)
        return;
    if (judgement.verdict != CUploadRetry::Verdict::Done)
        qCDebug(lcService) << "storage refused" << m_items.at(done.index).path << errorString;
    stored(done.index, judgement, done.auth, done.sent);
}

void CUploadClient::stored(int index, const CUploadRetry::Judgement& judgement, const CUploadAuth& auth,
                           const QString& sent)
{
    Item& item = m_items[index];
    item.sentBytes = 0;
    if (judgement.verdict != CUploadRetry::Verdict::Done) {
        dropConverted(sent, item.path);
        // The next try goes under the same authorisation while it holds: the same object, and no
        // round trip to the service before it.
        item.auth = auth;
        item.authorisedAtMs = item.usedAuthorisationAtMs;
        tryFailed(index, int(judgement.verdict), judgement.reason, judgement.retryAfterMs);
        return;
    }
    // Bytes sent while the file changed may be neither the old picture nor the new one.
    const QString why = unchanged(item);
    if (!why.isEmpty()) {
        dropConverted(sent, item.path);
        fail(index, why);
        return;
    }
    // A converted picture is registered as the JPEG that was stored: its type, size and pixels.
    if (sent != item.path)
        item.registration = CImageRegistration::body(m_userId, sent, auth.fileName, JpegType).toByteArray();
    dropConverted(sent, item.path);
    item.key = auth.fileName;
    item.tries = 0;
    item.phase = Phase::Saving;
    --m_working;
    note(index, int(CUploadLedger::State::Stored));
    item.savedMark = m_ledger->changes();
    scheduleSoon();
}

void CUploadClient::ledgerSaved(quint64 changes)
{
    if (!m_running)
        return;
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items.at(i).phase == Phase::Saving && m_items.at(i).savedMark <= changes)
            registerPicture(i);
}

void CUploadClient::registerPicture(int index)
{
    Item& item = m_items[index];
    item.phase = Phase::Registering;
    countsSoon();
    QByteArray body = item.registration;
    if (body.isEmpty()) {
        // A converted picture stored in an earlier run is described by the picture it came from.
        const bool converted = CUploadFolder::needsConversion(item.path);
        body = CImageRegistration::body(m_userId, item.path, item.key, converted ? JpegType : QString())
                   .toByteArray();
    }
    QNetworkRequest request = serviceRequest(CServiceEndpoints::imageSave());
    request.setHeader(QNetworkRequest::ContentLengthHeader, body.size());
    m_registrations.insert(m_line->post(request, body), index);
}

void CUploadClient::registered(int index, const CUploadRetry::Judgement& judgement, const QByteArray& answer)
{
    if (judgement.verdict != CUploadRetry::Verdict::Done) {
        // Refused outright: the key is of no use; a later try uploads the picture anew.
        if (judgement.verdict == CUploadRetry::Verdict::Fail)
            m_items[index].key.clear();
        tryFailed(index, int(judgement.verdict), judgement.reason, judgement.retryAfterMs);
        return;
    }
    const QString error = QJsonDocument::fromJson(answer).object().value(QStringLiteral("error")).toString();
    if (!error.isEmpty()) {
        m_items[index].key.clear();
        fail(index, error);
        return;
    }
    finish(index, Outcome::Uploaded);
}

void CUploadClient::tryFailed(int index, int verdict, const QString& reason, int retryAfterMs)
{
    Item& item = m_items[index];
    // The place is given back once: fail() gives back only a place still held.
    if (item.phase == Phase::Working) {
        --m_working;
        item.phase = Phase::Ready;
    }
    ++item.tries;
    item.reason = reason;
    if (CUploadRetry::Verdict(verdict) == CUploadRetry::Verdict::Fail ||
        item.tries >= CUploadRetry::MaxTries) {
        fail(index, reason);
        return;
    }
    const qint64 now = m_clock.elapsed();
    if (retryAfterMs >= 0) {
        // The service asked everybody to wait, not only this picture.
        m_notBeforeMs = std::max(m_notBeforeMs, now + retryAfterMs);
        item.readyAtMs = now + retryAfterMs;
    } else {
        item.readyAtMs = now + CUploadRetry::waitMs(item.tries, m_retryScale);
    }
    item.phase = Phase::Ready;
    note(index, item.key.isEmpty() ? int(CUploadLedger::State::Waiting) : int(CUploadLedger::State::Stored));
    scheduleSoon();
}

void CUploadClient::fail(int index, const QString& reason)
{
    Item& item = m_items[index];
    if (item.phase == Phase::Working)
        --m_working;
    item.reason = reason;
    finish(index, Outcome::Failed);
}

void CUploadClient::finish(int index, Outcome outcome)
{
    Item& item = m_items[index];
    item.phase = Phase::Done;
    item.outcome = outcome;
    item.sentBytes = 0;
    m_aheadBytes -= item.picture.size();
    item.picture = QByteArray();
    if (!item.sha256.isEmpty() && m_contentOwner.value(item.sha256, -1) == index)
        m_contentOwner.remove(item.sha256);
    if (outcome == Outcome::Failed) {
        // A stored picture stays stored: the next try only registers it.
        note(index,
             item.key.isEmpty() ? int(CUploadLedger::State::Failed) : int(CUploadLedger::State::Stored));
    } else {
        note(index, int(CUploadLedger::State::Registered));
    }
    const CUploadCounts now = counts();
    emit progress(now.finished(), now.total);
    countsSoon();
    scheduleSoon();
}

void CUploadClient::note(int index, int state)
{
    const Item& item = m_items.at(index);
    CUploadLedger::Entry entry = m_ledger->entry(item.path);
    entry.path = item.path;
    entry.size = item.size;
    entry.modified = item.modified;
    if (!item.sha256.isEmpty())
        entry.sha256 = item.sha256;
    if (state >= 0) {
        entry.state = CUploadLedger::State(state);
        entry.key = item.key;
    }
    entry.tries = item.tries;
    entry.reason = item.outcome == Outcome::Failed || item.phase == Phase::Ready ? item.reason : QString();
    if (entry.size < 0 || !entry.modified.isValid())
        return; // never looked at: nothing worth keeping
    m_ledger->put(entry);
}

QString CUploadClient::unchanged(const Item& item) const
{
    const QFileInfo info(item.path);
    if (!info.isFile())
        return tr("照片已被删除或移动");
    if (info.size() != item.size || modifiedOf(info) != item.modified)
        return tr("照片在上传过程中被修改");
    return {};
}

void CUploadClient::endIfDone()
{
    if (!m_running)
        return;
    for (const Item& item : qAsConst(m_items))
        if (item.phase != Phase::Done)
            return;
    m_running = false;
    m_wakeTimer.stop();
    m_convertedFolder.reset();
    // Every outcome on disk before the batch reports its end.
    if (m_ledger->changes() != m_ledger->savedChanges() && !m_ledger->save())
        m_stopReason = tr("无法保存上传记录（磁盘可能已满）。");
    const CUploadCounts now = counts();
    m_countsTimer.stop();
    emit countsChanged(now);
    emit batchFinished(now.uploaded + now.skipped, now.failed);
}

void CUploadClient::countsSoon()
{
    if (!m_countsTimer.isActive())
        m_countsTimer.start();
}

CUploadCounts CUploadClient::counts() const
{
    CUploadCounts counts;
    counts.total = m_items.size();
    for (const Item& item : m_items) {
        const qint64 size = std::max<qint64>(0, item.size);
        counts.bytesTotal += size;
        switch (item.outcome) {
        case Outcome::Uploaded:
            ++counts.uploaded;
            counts.bytesDone += size;
            continue;
        case Outcome::Skipped:
            ++counts.skipped;
            counts.bytesDone += size;
            continue;
        case Outcome::Failed:
            ++counts.failed;
            continue;
        case Outcome::None:
            break;
        }
        if (item.phase == Phase::Hashing || item.phase == Phase::Ready || item.phase == Phase::Authorising) {
            ++counts.waiting;
        } else {
            ++counts.sending;
            counts.bytesDone += std::min(size, item.sentBytes);
        }
    }
    return counts;
}

QList<CUploadFailure> CUploadClient::failures() const
{
    QList<CUploadFailure> list;
    for (const Item& item : m_items)
        if (item.outcome == Outcome::Failed)
            list.append(CUploadFailure{item.path, item.reason, item.tries});
    return list;
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
