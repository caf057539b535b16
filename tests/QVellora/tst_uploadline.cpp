// SPDX-License-Identifier: MIT
#include "Service/CHttpAnswer.h"
#include "Service/CUploadLine.h"
#include "Service/CUploadRetry.h"

#include <QNetworkRequest>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <algorithm>

namespace {
// A service on loopback that answers each post as the test asks, counting its connections.
class ScriptedService : public QObject
{
public:
    enum class Mode
    {
        Answer,      // 200 with a length, the connection kept
        EndKeptOnes, // the first post of a connection answered; a later one ends it unanswered
        RefuseEarly, // 413 as soon as the head is in; the rest is read and dropped, as servers do
        Stall        // never a byte
    };

    ScriptedService()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                ++connections;
                ++m_open;
                mostAtOnce = std::max(mostAtOnce, m_open);
                m_sockets.append(socket);
                connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                    --m_open;
                    // A later connection may get the same address.
                    m_input.remove(socket);
                    m_refused.remove(socket);
                    m_served.remove(socket);
                    socket->deleteLater();
                });
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            }
        });
    }
    ~ScriptedService() override
    {
        // Its connections close as the server goes, after these members.
        for (const QPointer<QTcpSocket>& socket : qAsConst(m_sockets))
            if (socket)
                disconnect(socket, nullptr, this, nullptr);
    }
    QUrl url() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/storage").arg(m_server.serverPort()));
    }
    // Closes every connection the service holds, as a server ending idle ones.
    void closeAll()
    {
        for (const QPointer<QTcpSocket>& socket : qAsConst(m_sockets))
            if (socket)
                socket->disconnectFromHost();
    }

    Mode mode = Mode::Answer;
    int connections = 0;
    int mostAtOnce = 0;
    int bodies = 0; // posts read whole

private:
    void read(QTcpSocket* socket)
    {
        QByteArray& in = m_input[socket];
        in += socket->readAll();
        if (m_refused.contains(socket)) {
            in.clear();
            return;
        }
        while (true) {
            const int end = in.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            if (mode == Mode::Stall)
                return;
            if (mode == Mode::RefuseEarly) {
                socket->write("HTTP/1.1 413 Too Large\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                m_refused.insert(socket);
                in.clear();
                return;
            }
            const QByteArray head = in.left(end).toLower();
            const int at = head.indexOf("content-length:");
            const int length =
                at < 0 ? 0 : head.mid(at + 15, head.indexOf('\r', at) - at - 15).trimmed().toInt();
            if (in.size() < end + 4 + length)
                return;
            in.remove(0, end + 4 + length);
            // As a server that ended an idle connection just as the next post arrived on it.
            if (mode == Mode::EndKeptOnes && m_served.contains(socket)) {
                socket->disconnectFromHost();
                return;
            }
            m_served.insert(socket);
            ++bodies;
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
        }
    }

    QTcpServer m_server;
    QList<QPointer<QTcpSocket>> m_sockets;
    QHash<QTcpSocket*, QByteArray> m_input;
    QSet<QTcpSocket*> m_refused;
    QSet<QTcpSocket*> m_served;
    int m_open = 0;
};

QNetworkRequest storageRequest(const QUrl& url, int stallMs = 10000)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/octet-stream");
    request.setTransferTimeout(stallMs);
    return request;
}

// Every report of the line, by post.
struct Reports
{
    explicit Reports(CUploadLine& line)
    {
        QObject::connect(&line, &CUploadLine::finished,
                         [this](int post, int verdict, const QString& reason, int, const QByteArray& answer,
                                const QString&) {
                             verdicts.insert(post, CUploadRetry::Verdict(verdict));
                             reasons.insert(post, reason);
                             answers.insert(post, answer);
                         });
    }
    QHash<int, CUploadRetry::Verdict> verdicts;
    QHash<int, QString> reasons;
    QHash<int, QByteArray> answers;
};
} // namespace

// The posts of the uploads, written straight to sockets: answers read whatever way they arrive,
// connections kept between posts and renewed when the other side ends them, and a service that
// refuses early, never answers or gets a burst.
class tst_UploadLine : public QObject
{
    Q_OBJECT
private slots:
    void answersReadWhateverWayTheyArrive_data();
    void answersReadWhateverWayTheyArrive();
    void connectionsAreKeptAndRenewed();
    void refusedOrStalledPostsEnd();
    void aBurstUsesAFewConnections();
};

void tst_UploadLine::answersReadWhateverWayTheyArrive_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("closedAtEnd");
    QTest::addColumn<int>("state"); // CHttpAnswer::State
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("keeps");

    const int done = int(CHttpAnswer::State::Done);
    QTest::newRow("length") << QByteArray(
                                   "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nRetry-After: 3\r\n\r\nhello")
                            << false << done << 200 << QByteArray("hello") << true;
    QTest::newRow("bare line feeds, no reason")
        << QByteArray("HTTP/1.1 204\nX: y\n\n") << false << done << 204 << QByteArray() << true;
    QTest::newRow("chunks with an extension and a trailer")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                      "3;x=1\r\nabc\r\nA\r\n0123456789\r\n0\r\nTrailer: t\r\n\r\n")
        << false << done << 200 << QByteArray("abc0123456789") << true;
    QTest::newRow("interim answer first") << QByteArray("HTTP/1.1 100 Continue\r\n\r\n"
                                                        "HTTP/1.1 201 Created\r\nContent-Length: 2\r\n\r\nok")
                                          << false << done << 201 << QByteArray("ok") << true;
    QTest::newRow("runs to the end") << QByteArray("HTTP/1.1 200 OK\r\n\r\nall of it") << true << done << 200
                                     << QByteArray("all of it") << false;
    QTest::newRow("asked to close")
        << QByteArray("HTTP/1.1 200 OK\r\nConnection: Close\r\nContent-Length: 0\r\n\r\n") << false << done
        << 200 << QByteArray() << false;
    QTest::newRow("HTTP/1.0") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\nx") << false << done
                              << 200 << QByteArray("x") << false;
    QTest::newRow("bytes after the answer") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nxy")
                                            << false << done << 200 << QByteArray("x") << false;
    QTest::newRow("cut in the body") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc") << true
                                     << int(CHttpAnswer::State::Cut) << 200 << QByteArray() << false;
    QTest::newRow("cut in the head") << QByteArray("HTTP/1.1 200 OK\r\nContent-") << true
                                     << int(CHttpAnswer::State::Cut) << 200 << QByteArray() << false;
    const int tooLarge = int(CHttpAnswer::State::TooLarge);
    QTest::newRow("announces too much") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 101\r\n\r\n")
                                        << false << tooLarge << 200 << QByteArray() << false;
    QTest::newRow("chunks too much") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                                   "40\r\n" +
                                                   QByteArray(64, 'a') + "\r\n40\r\n")
                                     << false << tooLarge << 200 << QByteArray() << false;
    QTest::newRow("brings too much to the end")
        << QByteArray("HTTP/1.1 200 OK\r\n\r\n" + QByteArray(101, 'a')) << false << tooLarge << 200
        << QByteArray() << false;
    QTest::newRow("endless head") << QByteArray("HTTP/1.1 200 OK\r\nX: " + QByteArray(300, 'a')) << false
                                  << tooLarge << 200 << QByteArray() << false;
    const int malformed = int(CHttpAnswer::State::Malformed);
    QTest::newRow("not HTTP") << QByteArray("SSH-2.0-OpenSSH\r\n") << false << malformed << 0 << QByteArray()
                              << false;
    QTest::newRow("bad chunk size") << QByteArray(
                                           "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n")
                                    << false << malformed << 200 << QByteArray() << false;
    QTest::newRow("bad length") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: -4\r\n\r\n") << false
                                << malformed << 200 << QByteArray() << false;
    QTest::newRow("switching protocols") << QByteArray("HTTP/1.1 101 Switching\r\nUpgrade: h2c\r\n\r\n")
                                         << false << malformed << 101 << QByteArray() << false;
}

void tst_UploadLine::answersReadWhateverWayTheyArrive()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, closedAtEnd);
    QFETCH(int, state);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, keeps);
    // However the connection splits the bytes, the answer reads the same: whole, and cut in two
    // at every place.
    for (int cut = 0; cut <= bytes.size(); ++cut) {
        CHttpAnswer answer(100, 256);
        answer.feed(bytes.left(cut));
        answer.feed(bytes.mid(cut));
        if (closedAtEnd)
            answer.closed();
        const QByteArray where = "cut at " + QByteArray::number(cut);
        QVERIFY2(int(answer.state()) == state, where.constData());
        if (answer.state() == CHttpAnswer::State::Done) {
            QVERIFY2(answer.status() == status, where.constData());
            QVERIFY2(answer.body() == body, where.constData());
        }
        QVERIFY2(answer.keepsConnection() == keeps, where.constData());
    }
    // And byte by byte.
    CHttpAnswer answer(100, 256);
    for (const char byte : bytes)
        answer.feed(QByteArray(1, byte));
    if (closedAtEnd)
        answer.closed();
    QCOMPARE(int(answer.state()), state);
    if (state == int(CHttpAnswer::State::Done))
        QCOMPARE(answer.header("retry-after"), QByteArray(bytes.contains("Retry-After") ? "3" : ""));
}

void tst_UploadLine::connectionsAreKeptAndRenewed()
{
    ScriptedService service;
    CUploadLine line;
    Reports reports(line);
    QSignalSpy finished(&line, &CUploadLine::finished);
    const QByteArray picture(3 * 1024 * 1024 + 17, 'p');
    // One after the other: one connection carries both.
    for (int i = 0; i < 2; ++i) {
        const int post = line.post(storageRequest(service.url()), picture);
        QTRY_VERIFY(reports.verdicts.contains(post));
        QCOMPARE(reports.verdicts.value(post), CUploadRetry::Verdict::Done);
        QCOMPARE(reports.answers.value(post), QByteArray("ok"));
    }
    QCOMPARE(service.connections, 1);
    QCOMPARE(service.bodies, 2);
    // The service ends the idle connection: the next post goes on a new one and is not told.
    service.closeAll();
    QTest::qWait(100);
    const int post = line.post(storageRequest(service.url()), picture);
    QTRY_VERIFY(reports.verdicts.contains(post));
    QCOMPARE(reports.verdicts.value(post), CUploadRetry::Verdict::Done);
    QCOMPARE(service.connections, 2);
    QCOMPARE(service.bodies, 3);
    QCOMPARE(finished.size(), 3);
    // A kept connection the service ends as the next post arrives on it, unanswered: that post
    // goes again on a new connection, untold.
    service.mode = ScriptedService::Mode::EndKeptOnes;
    for (int i = 0; i < 3; ++i) {
        const int each = line.post(storageRequest(service.url()), QByteArray(100 * 1024, 'q'));
        QTRY_VERIFY(reports.verdicts.contains(each));
        QCOMPARE(reports.verdicts.value(each), CUploadRetry::Verdict::Done);
    }
    QCOMPARE(service.bodies, 6);
    QCOMPARE(service.connections, 5);
}

void tst_UploadLine::refusedOrStalledPostsEnd()
{
    ScriptedService service;
    CUploadLine line;
    Reports reports(line);
    // Refused before the body is read: the refusal counts, and its connection is not used again.
    service.mode = ScriptedService::Mode::RefuseEarly;
    const int refused = line.post(storageRequest(service.url()), QByteArray(8 * 1024 * 1024, 'r'));
    QTRY_VERIFY(reports.verdicts.contains(refused));
    QCOMPARE(reports.verdicts.value(refused), CUploadRetry::Verdict::Fail);
    QVERIFY2(reports.reasons.value(refused).contains("413"), qPrintable(reports.reasons.value(refused)));
    service.mode = ScriptedService::Mode::Answer;
    const int next = line.post(storageRequest(service.url()), QByteArray("x"));
    QTRY_VERIFY(reports.verdicts.contains(next));
    QCOMPARE(reports.verdicts.value(next), CUploadRetry::Verdict::Done);
    QCOMPARE(service.connections, 2);
    // Never answered: the stall time-out ends it, to be tried again.
    service.mode = ScriptedService::Mode::Stall;
    const int stalled = line.post(storageRequest(service.url(), 300), QByteArray("x"));
    QTRY_VERIFY_WITH_TIMEOUT(reports.verdicts.contains(stalled), 5000);
    QCOMPARE(reports.verdicts.value(stalled), CUploadRetry::Verdict::Retry);
    QCOMPARE(reports.reasons.value(stalled), CUploadRetry::tr("连接超时"));
    // Nobody listening: no answer, to be tried again.
    const QUrl nowhere("http://127.0.0.1:1/storage");
    const int unanswered = line.post(storageRequest(nowhere), QByteArray("x"));
    QTRY_VERIFY(reports.verdicts.contains(unanswered));
    QCOMPARE(reports.verdicts.value(unanswered), CUploadRetry::Verdict::Retry);
    QCOMPARE(reports.reasons.value(unanswered), CUploadRetry::tr("无法连接服务器"));
}

void tst_UploadLine::aBurstUsesAFewConnections()
{
    ScriptedService service;
    CUploadLine line;
    Reports reports(line);
    // Thirty registrations at once, as a ledger save releases them: a few connections, all done.
    QList<int> posts;
    for (int i = 0; i < 30; ++i)
        posts << line.post(storageRequest(service.url()),
                           QByteArray("zovid=1&src=images/") + QByteArray::number(i));
    QTRY_COMPARE(reports.verdicts.size(), posts.size());
    for (const int post : qAsConst(posts))
        QCOMPARE(reports.verdicts.value(post), CUploadRetry::Verdict::Done);
    QCOMPARE(service.bodies, 30);
    QVERIFY2(service.mostAtOnce <= 6, qPrintable(QString::number(service.mostAtOnce)));
    QVERIFY(service.mostAtOnce >= 2);

    // A burst cancelled at once, most of it still waiting for a connection, and another burst:
    // the cancelled posts leave no place behind them.
    service.mode = ScriptedService::Mode::Stall;
    for (int i = 0; i < 30; ++i)
        line.post(storageRequest(service.url()), QByteArray("cancelled"));
    QTest::qWait(300);
    line.abortAll();
    service.mode = ScriptedService::Mode::Answer;
    service.mostAtOnce = 0;
    posts.clear();
    reports.verdicts.clear();
    QTest::qWait(200);
    for (int i = 0; i < 30; ++i)
        posts << line.post(storageRequest(service.url()), QByteArray("again"));
    QTRY_VERIFY(
        std::all_of(posts.cbegin(), posts.cend(), [&](int post) { return reports.verdicts.contains(post); }));
    QVERIFY2(service.mostAtOnce <= 6, qPrintable(QString::number(service.mostAtOnce)));
}

QTEST_GUILESS_MAIN(tst_UploadLine)
#include "tst_uploadline.moc"
