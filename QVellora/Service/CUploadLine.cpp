// SPDX-License-Identifier: MIT
#include "Service/CStorageLine.h"

#include "Service/CServiceRequests.h"

#include <QElapsedTimer>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>

#include <memory>

namespace {
const int ProgressIntervalMs = 50;
} // namespace

// Lives on the line's thread, and so do its network manager and replies.
class CStorageLine::Worker : public QObject
{
    Q_OBJECT
public:
    void post(int upload, const QNetworkRequest& request, const QByteArray& body)
    {
        if (!m_network)
            m_network = new QNetworkAccessManager(this);
        QNetworkReply* reply = m_network->post(request, body);
        CServiceRequests::limitAnswer(reply);
        m_replies.insert(upload, reply);
        // Every few dozen kilobytes Qt says how far it got; the client shows it ten times a second,
        // so it hears at most every 50 ms of each upload.
        auto last = std::make_shared<QElapsedTimer>();
        connect(reply, &QNetworkReply::uploadProgress, this, [this, upload, last](qint64 sent, qint64 total) {
            if (last->isValid() && last->elapsed() < ProgressIntervalMs && sent < total)
                return;
            last->start();
            emit progress(upload, sent);
        });
        connect(reply, &QNetworkReply::finished, this, [this, upload, reply] {
            m_replies.remove(upload);
            reply->deleteLater();
            const CUploadRetry::Judgement judgement = CUploadRetry::judge(reply);
            emit finished(upload, int(judgement.verdict), judgement.reason, judgement.retryAfterMs,
                          reply->errorString());
        });
    }
    void abortAll()
    {
        const QList<QPointer<QNetworkReply>> replies = m_replies.values();
        for (const QPointer<QNetworkReply>& reply : replies)
            if (reply)
                reply->abort();
    }

signals:
    void progress(int upload, qint64 sentBytes);
    void finished(int upload, int verdict, const QString& reason, int retryAfterMs,
                  const QString& errorString);

private:
    QNetworkAccessManager* m_network = nullptr;
    QHash<int, QPointer<QNetworkReply>> m_replies;
};

CStorageLine::CStorageLine(QObject* parent) : QObject(parent), m_worker(new Worker)
{
    m_thread.setObjectName(QStringLiteral("storage uploads"));
    m_worker->moveToThread(&m_thread);
    // Deleted on its own thread as that ends, with its manager and whatever replies are left.
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &Worker::progress, this, &CStorageLine::progress);
    connect(m_worker, &Worker::finished, this, &CStorageLine::finished);
    m_thread.start();
}

CStorageLine::~CStorageLine()
{
    disconnect(m_worker, nullptr, this, nullptr);
    QMetaObject::invokeMethod(m_worker, &Worker::abortAll, Qt::QueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

int CStorageLine::post(const QNetworkRequest& request, const QByteArray& body)
{
    const int upload = ++m_next;
    Worker* worker = m_worker;
    QMetaObject::invokeMethod(
        worker, [worker, upload, request, body] { worker->post(upload, request, body); },
        Qt::QueuedConnection);
    return upload;
}

void CStorageLine::abortAll()
{
    QMetaObject::invokeMethod(m_worker, &Worker::abortAll, Qt::QueuedConnection);
}

#include "CStorageLine.moc"
