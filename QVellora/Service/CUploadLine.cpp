// SPDX-License-Identifier: MIT
#include "Service/CUploadLine.h"

#include "Service/CHttpPost.h"
#include "Service/CServiceRequests.h"

#include <QAbstractSocket>
#include <QElapsedTimer>
#include <QHash>
#include <QPointer>

#include <memory>

namespace {
const int ProgressIntervalMs = 50;
const int ConnectionsPerHost = 6;
// Connections kept open per host between posts; more than are used at a time is no use.
const int KeptConnections = ConnectionsPerHost;

CUploadRetry::Outcome outcomeOf(const CHttpPost& post)
{
    CUploadRetry::Outcome outcome;
    outcome.status = post.answer().status();
    outcome.retryAfter = post.answer().header("Retry-After");
    switch (post.failure()) {
    case CHttpPost::Failure::None:
        break;
    case CHttpPost::Failure::Refused:
        outcome.transport = CUploadRetry::Transport::Refused;
        break;
    case CHttpPost::Failure::HostNotFound:
        outcome.transport = CUploadRetry::Transport::HostNotFound;
        break;
    case CHttpPost::Failure::TimedOut:
    case CHttpPost::Failure::Cancelled:
        outcome.transport = CUploadRetry::Transport::TimedOut;
        break;
    case CHttpPost::Failure::TooLarge:
        outcome.tooLarge = true;
        outcome.transport = CUploadRetry::Transport::Broken;
        break;
    case CHttpPost::Failure::Broken:
    case CHttpPost::Failure::Malformed:
        outcome.transport = CUploadRetry::Transport::Broken;
        break;
    }
    return outcome;
}
} // namespace

// Lives on the line's thread, and so do its posts and the connections it keeps open.
class CUploadLine::Worker : public QObject
{
    Q_OBJECT
public:
    void post(int upload, const QNetworkRequest& request, const QVector<QByteArray>& body)
    {
        QList<QPair<QByteArray, QByteArray>> headers;
        for (const QByteArray& name : request.rawHeaderList())
            headers.append({name, request.rawHeader(name)});
        auto* post = new CHttpPost(request.url(), headers, body, this);
        post->setStallTimeout(request.transferTimeout());
        post->setMaxAnswerBytes(CServiceRequests::MaxAnswerBytes);
        m_posts.insert(upload, post);
        // The client shows progress ten times a second, so it hears at most every 50 ms of each upload.
        auto last = std::make_shared<QElapsedTimer>();
        connect(post, &CHttpPost::progress, this, [this, upload, last](qint64 sent, qint64 total) {
            if (last->isValid() && last->elapsed() < ProgressIntervalMs && sent < total)
                return;
            last->start();
            emit progress(upload, sent);
        });
        const QString key = CHttpPost::connectionKey(request.url());
        connect(post, &CHttpPost::finished, this, [this, upload, post, key] {
            m_posts.remove(upload);
            post->deleteLater();
            if (QAbstractSocket* connection = post->takeConnection())
                keep(key, connection);
            --m_connecting[key];
            const CUploadRetry::Judgement judgement = CUploadRetry::judge(outcomeOf(*post));
            emit finished(upload, int(judgement.verdict), judgement.reason, judgement.retryAfterMs,
                          post->answer().body(), post->errorString());
            startWaiting(key);
        });
        m_waiting[key].append(post);
        startWaiting(key);
    }
    // Posts still waiting for a connection are dropped without a report; they held none, so the
    // count of posts started per host is left as it is.
    void abortAll()
    {
        for (QList<QPointer<CHttpPost>>& waiting : m_waiting) {
            for (const QPointer<CHttpPost>& post : qAsConst(waiting)) {
                if (!post)
                    continue;
                disconnect(post, nullptr, this, nullptr);
                m_posts.remove(m_posts.key(post));
                post->deleteLater();
            }
            waiting.clear();
        }
        const QList<QPointer<CHttpPost>> posts = m_posts.values();
        for (const QPointer<CHttpPost>& post : posts)
            if (post)
                post->abort();
    }

signals:
    void progress(int upload, qint64 sentBytes);
    void finished(int upload, int verdict, const QString& reason, int retryAfterMs, const QByteArray& answer,
                  const QString& errorString);

private:
    // As many posts at a time per host as a browser opens connections to it: a burst of
    // registrations opening a connection each would overflow a server's queue of connections
    // waiting to be accepted, and one dropped that way waits a second for its next try.
    void startWaiting(const QString& key)
    {
        QList<QPointer<CHttpPost>>& waiting = m_waiting[key];
        while (!waiting.isEmpty() && m_connecting.value(key) < ConnectionsPerHost) {
            const QPointer<CHttpPost> post = waiting.takeFirst();
            if (!post)
                continue;
            ++m_connecting[key];
            post->start(takeKept(key));
        }
    }
    void keep(const QString& key, QAbstractSocket* connection)
    {
        QList<QPointer<QAbstractSocket>>& kept = m_kept[key];
        kept.removeAll(nullptr);
        if (kept.size() >= KeptConnections) {
            connection->abort();
            connection->deleteLater();
            return;
        }
        connection->setParent(this);
        // Closed by the other side, or sending what nobody asked for: of no more use.
        const auto drop = [connection] {
            connection->abort();
            connection->deleteLater();
        };
        connect(connection, &QAbstractSocket::disconnected, this, drop);
        connect(connection, &QIODevice::readyRead, this, drop);
        kept.append(connection);
    }
    QAbstractSocket* takeKept(const QString& key)
    {
        QList<QPointer<QAbstractSocket>>& kept = m_kept[key];
        while (!kept.isEmpty()) {
            QPointer<QAbstractSocket> connection = kept.takeLast();
            if (!connection)
                continue;
            disconnect(connection, nullptr, this, nullptr);
            if (connection->state() == QAbstractSocket::ConnectedState)
                return connection;
            connection->abort();
            connection->deleteLater();
        }
        return nullptr;
    }

    QHash<int, QPointer<CHttpPost>> m_posts;
    QHash<QString, QList<QPointer<CHttpPost>>> m_waiting;
    QHash<QString, int> m_connecting; // posts started per host
    QHash<QString, QList<QPointer<QAbstractSocket>>> m_kept;
};

CUploadLine::CUploadLine(QObject* parent) : QObject(parent), m_worker(new Worker)
{
    m_thread.setObjectName(QStringLiteral("upload line"));
    m_worker->moveToThread(&m_thread);
    // Deleted on its own thread as that ends, with whatever posts and connections are left.
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &Worker::progress, this, &CUploadLine::progress);
    connect(m_worker, &Worker::finished, this, &CUploadLine::finished);
    m_thread.start();
}

CUploadLine::~CUploadLine()
{
    disconnect(m_worker, nullptr, this, nullptr);
    QMetaObject::invokeMethod(m_worker, &Worker::abortAll, Qt::QueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

int CUploadLine::post(const QNetworkRequest& request, const QByteArray& body)
{
    return post(request, QVector<QByteArray>{body});
}

int CUploadLine::post(const QNetworkRequest& request, const QVector<QByteArray>& body)
{
    const int upload = ++m_next;
    Worker* worker = m_worker;
    QMetaObject::invokeMethod(
        worker, [worker, upload, request, body] { worker->post(upload, request, body); },
        Qt::QueuedConnection);
    return upload;
}

void CUploadLine::abortAll()
{
    QMetaObject::invokeMethod(m_worker, &Worker::abortAll, Qt::QueuedConnection);
}

#include "CUploadLine.moc"
