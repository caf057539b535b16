// SPDX-License-Identifier: MIT
#pragma once

#include "Service/CUploadRetry.h"

#include <QByteArray>
#include <QNetworkRequest>
#include <QObject>
#include <QString>
#include <QThread>

// The storage uploads of the upload client, on a thread of their own. Qt hands an upload's bytes
// to its HTTP thread through the event loop of the thread that posted it, so uploads posted from
// the interface thread slow down whenever that thread has other work (here a third of it busy cost
// a quarter of the throughput); on this line they keep their pace whatever the window does.
//
// Called from the thread that made it. A reply is made, watched and aborted on the line's thread;
// its outcome, judged there (CUploadRetry::judge), comes back as finished(). abortAll() and the
// destructor abort every upload under way; what they aborted may still report, so the caller
// matches each report to the upload it is waiting for.
class CStorageLine : public QObject
{
    Q_OBJECT
public:
    explicit CStorageLine(QObject* parent = nullptr);
    ~CStorageLine() override;

    // Posts body to the request's address; the number progress() and finished() carry for it.
    int post(const QNetworkRequest& request, const QByteArray& body);
    void abortAll();

signals:
    void progress(int upload, qint64 sentBytes);
    // verdict is a CUploadRetry::Verdict; errorString is the transport's, for the log.
    void finished(int upload, int verdict, const QString& reason, int retryAfterMs,
                  const QString& errorString);

private:
    class Worker;

    QThread m_thread;
    Worker* m_worker;
    int m_next = 0;
};
