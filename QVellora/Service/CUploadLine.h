// SPDX-License-Identifier: MIT
#pragma once

#include "Service/CUploadRetry.h"

#include <QByteArray>
#include <QNetworkRequest>
#include <QObject>
#include <QString>
#include <QThread>
#include <QVector>

// The posts of the upload client, the storage uploads and the registrations, on a thread and
// connections of their own, each one a CHttpPost. Uploads posted from the interface thread slow
// down whenever that thread has other work; on this line they keep their pace whatever the window
// does. Its connections ask for no delay on small writes: a registration's form sent after its
// head would otherwise wait for the service's delayed acknowledgement (40 ms here, up to 200 ms
// on some systems), and so would every picture's place in the batch.
//
// Called from the thread that made it. A post is made, watched and aborted on the line's thread;
// its outcome, judged there (CUploadRetry::judge), comes back as finished(). abortAll() and the
// destructor abort every post under way; what they aborted may still report, so the caller
// matches each report to the post it is waiting for.
class CUploadLine : public QObject
{
    Q_OBJECT
public:
    explicit CUploadLine(QObject* parent = nullptr);
    ~CUploadLine() override;

    // Posts body to the request's address, with the request's raw headers and stall time-out;
    // the number progress() and finished() carry for it.
    int post(const QNetworkRequest& request, const QByteArray& body);
    // The same with the body in pieces, sent one after the other without being joined.
    int post(const QNetworkRequest& request, const QVector<QByteArray>& body);
    void abortAll();

signals:
    void progress(int post, qint64 sentBytes);
    // verdict is a CUploadRetry::Verdict; answer is the body of the service's answer (at most
    // CServiceRequests::MaxAnswerBytes); errorString is the transport's, for the log.
    void finished(int post, int verdict, const QString& reason, int retryAfterMs, const QByteArray& answer,
                  const QString& errorString);

private:
    class Worker;

    QThread m_thread;
    Worker* m_worker;
    int m_next = 0;
};
