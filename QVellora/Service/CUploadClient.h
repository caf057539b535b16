// SPDX-License-Identifier: MIT
#pragma once

#include "Service/CServiceRequests.h"
#include "Service/CUploadAuth.h"
#include "Service/CUploadCounts.h"
#include "Service/CUploadRetry.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>
#include <QVector>

#include <functional>
#include <memory>

class CUploadLine;
class CUploadLedger;
class QNetworkAccessManager;
class QNetworkReply;
class QTemporaryDir;

// Uploads a batch of pictures to the service's storage and registers each stored picture under
// the user's ID, without widgets; the upload dialog shows what it reports.
//
// Each picture goes through an upload authorisation, the storage form upload it allows and, once
// the storage has the file and the user's ledger (CUploadLedger) has its key on disk, its
// registration. A few pictures travel at once (parallel()); registrations do not take a place,
// and while every place is taken the next pictures get their authorisations, so that an upload
// starts the moment a place frees. A picture is read once, on a worker, and known by the digest
// of the bytes sent; the storage uploads and registrations run on a thread and connections of
// their own (CUploadLine), apart from the authorisations.
// A request that fails for want of an answer, a 5xx, a 408 or a 429 is tried again after a wait
// (CUploadRetry); other refusals fail the picture at once. A picture whose key is stored is only
// registered again, never uploaded twice. A picture the ledger shows as registered for this user,
// under any path with the same content (SHA-256), is skipped. A picture deleted or changed while
// it is sent fails with that reason. A batch ends when every picture was registered, skipped or
// failed; then batchFinished() is emitted once. When the ledger cannot be written (a full disk)
// the batch stops at once and stopReason() says so. One batch at a time. Interface thread only.
//
// The storage takes only PNG, JPEG, BMP and GIF: any other picture (CUploadFolder::needsConversion)
// is converted on a worker into a JPEG in a temporary folder, which is uploaded and registered
// ("image/jpeg", its own width and height) in its place and removed once its picture is done.
class CUploadClient : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultParallel = 4;

    explicit CUploadClient(QObject* parent = nullptr);
    ~CUploadClient() override;

    void setUserId(const QString& userId) { m_userId = userId; }
    QString userId() const { return m_userId; }
    void setStallTimeout(int milliseconds) { m_stallTimeoutMs = milliseconds; }
    void setParallel(int pictures) { m_parallel = qMax(1, pictures); }
    // Multiplies every back-off wait (not a Retry-After); tests use a small one. The environment's
    // VELLORA_UPLOAD_RETRY_SCALE sets the first value.
    void setRetryWaitScale(double scale) { m_retryScale = scale; }

    // Starts a batch; false (nothing sent) for an empty list or while a batch runs.
    bool start(const QStringList& pictures);
    // A new batch of the latest batch's failed pictures only.
    bool retryFailed();
    // Aborts every request of the running batch; its unfinished pictures count as failed (the
    // ledger keeps them for later) and the batch ends before this returns.
    void cancel();
    bool isRunning() const { return m_running; }

    // The latest batch.
    CUploadCounts counts() const;
    QList<CUploadFailure> failures() const;
    int convertedCount() const { return m_convertedCount; }
    // Why the batch stopped before its end; empty when it ran to its end.
    QString stopReason() const { return m_stopReason; }
    // The user's ledger (shared with every other upload of the user in this process).
    std::shared_ptr<CUploadLedger> ledger();

signals:
    // After each picture that was registered, skipped or failed.
    void progress(int finished, int total);
    // Whenever a picture changes state or bytes went out (at most about ten times a second).
    void countsChanged(const CUploadCounts& counts);
    void batchFinished(int uploaded, int failed);

private:
    enum class Phase
    {
        Hashing,     // its content is being read (a picture sent as a conversion)
        Ready,       // may go (once readyAtMs has passed)
        Authorising, // an authorisation fetched ahead, while every place is taken
        Working,     // authorisation, conversion, reading or storage under way: holds a place
        Saving,      // stored; waits until the ledger has the key on disk
        Registering, // registration under way
        Done
    };
    enum class Outcome
    {
        None,
        Uploaded,
        Skipped,
        Failed
    };
    struct Item
    {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        QString sha256;
        QString key;
        QString reason;
        QByteArray registration; // the registration form of a converted picture
        CUploadAuth auth;        // fetched ahead (authorisedAtMs >= 0), not used yet
        qint64 authorisedAtMs = -1;
        qint64 usedAuthorisationAtMs = -1; // when the one its upload went under was fetched
        Phase phase = Phase::Hashing;
        Outcome outcome = Outcome::None;
        int tries = 0;
        qint64 readyAtMs = 0;
        qint64 sentBytes = 0;
        quint64 savedMark = 0;
        // Read while the picture waited for a place: its bytes, or why they could not be read.
        QByteArray picture;
        QString readFailure;
        bool reading = false;
        bool waitsForRead = false; // has its place, and goes once the read ends
    };

    void hash(int index);
    void hashed(int index, const QString& sha256, qint64 size, const QDateTime& modified);
    void schedule();
    void scheduleSoon();
    // Fetches an authorisation; holdsPlace when the picture goes on at once, else it is kept for
    // when a place frees.
    void authorise(int index, bool holdsPlace);
    void authorised(int index, QNetworkReply* reply);
    // Takes a place and sends the picture under an authorisation it has already.
    void send(int index, const CUploadAuth& auth);
    void convert(int index, const CUploadAuth& auth);
    // Reads the conversion sent in place of index on a worker, then posts it.
    void readConversion(int index, const CUploadAuth& auth, const QString& jpeg);
    // Reads a picture sent as itself on a worker: ahead, while it waits for a place (its bytes
    // are kept for then), or once it has one (waitsForRead: it goes when read).
    void readPicture(int index);
    void pictureRead(int index, const QByteArray& picture, const QString& why, const QString& digest);
    // The content of a picture read for sending, if not known before: noted, and the picture goes
    // on (true) unless that content is registered already (skipped) or another picture of the
    // batch is sending it (the picture waits, its place given back).
    bool learnContent(int index, const QString& digest);
    // The picture sends its content for the batch, when that is known.
    void own(int index);
    void upload(int index, const CUploadAuth& auth, const QString& sent, const QByteArray& picture);
    // A post on the line ended, a storage upload or a registration; ignored unless its batch
    // still runs.
    void postFinished(int post, int verdict, const QString& reason, int retryAfterMs,
                      const QByteArray& answer, const QString& errorString);
    void stored(int index, const CUploadRetry::Judgement& judgement, const CUploadAuth& auth,
                const QString& sent);
    void ledgerSaved(quint64 changes);
    void registerPicture(int index);
    void registered(int index, const CUploadRetry::Judgement& judgement, const QByteArray& answer);
    // A failed try: another one later, or the picture fails.
    void tryFailed(int index, int verdict, const QString& reason, int retryAfterMs);
    void fail(int index, const QString& reason);
    void finish(int index, Outcome outcome);
    void note(int index, int state);
    // The file still has the size and time its content was read with; else why not.
    QString unchanged(const Item& item) const;
    void dropConverted(const QString& sent, const QString& path);
    void stop(const QString& reason);
    void endIfDone();
    void countsSoon();
    // Tracks the reply for cancel() and hands it to handler once it finished, if it still
    // belongs to the running batch.
    void watch(QNetworkReply* reply, std::function<void(QNetworkReply*)> handler);
    QNetworkRequest serviceRequest(const QUrl& url) const;

    QNetworkAccessManager* m_network = nullptr; // the service's requests
    CUploadLine* m_line = nullptr; // the uploads and registrations, on a thread and connections of their own
    struct Upload
    {
        int index = -1;
        CUploadAuth auth;
        QString sent;
    };
    QHash<int, Upload> m_uploads;    // the running batch's uploads on the line
    QHash<int, int> m_registrations; // and its registrations there: the picture of each
    std::shared_ptr<CUploadLedger> m_ledger;
    QList<QMetaObject::Connection> m_ledgerConnections;
    QList<QPointer<QNetworkReply>> m_replies;
    QVector<Item> m_items;
    QHash<QString, int> m_contentOwner; // which picture of the batch sends a content
    QString m_userId;
    QString m_stopReason;
    QElapsedTimer m_clock;
    QTimer m_wakeTimer;
    QTimer m_countsTimer;
    qint64 m_notBeforeMs = 0; // the service asked everybody to wait (Retry-After)
    int m_working = 0;
    int m_authorising = 0; // authorisations fetched ahead, under way
    int m_parallel = DefaultParallel;
    double m_retryScale = 1.0;
    int m_convertedCount = 0;
    qint64 m_aheadBytes = 0; // of the pictures read ahead and held
    std::unique_ptr<QTemporaryDir> m_convertedFolder;
    int m_batch = 0; // tags each request, so that nothing of an earlier batch is counted again
    bool m_running = false;
    bool m_scheduleQueued = false;
    int m_stallTimeoutMs = CServiceRequests::DefaultStallTimeoutMs;
    // Last: destroyed first, so that no worker is still running when the rest goes.
    QThreadPool m_hashers;
    QThreadPool m_converters;
    QThreadPool m_readers;
};
