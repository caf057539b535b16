// SPDX-License-Identifier: MIT
#pragma once

#include "Service/CHttpAnswer.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QVector>

class QAbstractSocket;

// One HTTP/1.1 POST of a body held in memory, written straight to a socket of the calling thread.
// The storage uploads go this way rather than through QNetworkAccessManager, which hands an
// upload's body to an HTTP thread of its own a few dozen kilobytes at a time: on two cores those
// hops cost a third of the throughput. Only what a storage upload needs: no redirects (a 3xx is an
// answer like any other), no cookies, no compression; proxies as the application sets them.
//
// A connection left open by an earlier post to the same host may be handed in; should it turn out
// to be closed by the other side before any answer came, the post goes again once on a fresh one.
// finished() comes exactly once, after the answer, a failure, the stall time-out or abort().
class CHttpPost : public QObject
{
    Q_OBJECT
public:
    enum class Failure
    {
        None,
        Refused,
        HostNotFound,
        TimedOut,  // nothing came or went for the stall time-out
        Cancelled, // abort()
        Broken,    // the connection ended or failed before the whole answer
        TooLarge,  // the answer is over its limit (CHttpAnswer)
        Malformed  // the answer is not HTTP
    };

    // The body is sent as the pieces given, one after the other, without being joined.
    CHttpPost(const QUrl& url, const QList<QPair<QByteArray, QByteArray>>& headers,
              const QVector<QByteArray>& body, QObject* parent = nullptr);
    ~CHttpPost() override;

    // Nothing sent or received for this long ends the post with TimedOut; 0 for never.
    void setStallTimeout(int milliseconds) { m_stallTimeoutMs = milliseconds; }
    void setMaxAnswerBytes(qint64 bytes) { m_maxAnswerBytes = bytes; }
    // The same scheme, host and port; a key for connections kept open.
    static QString connectionKey(const QUrl& url);

    void start(QAbstractSocket* openConnection = nullptr);
    void abort();

    Failure failure() const { return m_failure; }
    QString errorString() const { return m_errorString; }
    const CHttpAnswer& answer() const { return m_answer; }
    // The connection, when it may carry another request; the caller takes it over. Null otherwise.
    QAbstractSocket* takeConnection();

signals:
    void progress(qint64 sentBytes, qint64 totalBytes);
    void finished();

private:
    void connectFresh();
    void watch(QAbstractSocket* socket);
    void send();
    void pump();
    bool allSent() const;
    void read();
    void connectionEnded(int socketError);
    void finish(Failure failure, const QString& errorString = {});
    void stallTimedOut();

    QUrl m_url;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    QVector<QByteArray> m_body; // the head first, once it is made
    qint64 m_bodyBytes = 0;
    int m_stallTimeoutMs = 0;
    qint64 m_maxAnswerBytes = 1024 * 1024;
    QPointer<QAbstractSocket> m_socket;
    bool m_reused = false;
    bool m_sending = false;
    bool m_finished = false;
    bool m_keep = false; // finished, and the connection may carry another request
    qint64 m_headBytes = 0;
    int m_piece = 0;     // the piece being written
    qint64 m_offset = 0; // within it
    qint64 m_queued = 0; // bytes handed to the socket, head included
    qint64 m_reportedBytes = -1;
    CHttpAnswer m_answer{0};
    QTimer m_stall;
    Failure m_failure = Failure::None;
    QString m_errorString;
};
