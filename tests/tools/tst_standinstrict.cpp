// SPDX-License-Identifier: MIT
#include "StandinService.h"

#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

#include <sys/socket.h>
#include <sys/stat.h>

// The stand-in service refuses what the real service would refuse, so that client faults show:
// forms that end early or grow too large, text that is not UTF-8, clients that hold connections.
// Requests are written by hand on plain sockets, since a correct client never sends them.
class tst_StandinStrict : public QObject
{
    Q_OBJECT
private slots:
    void brokenFormsAreNotStored_data();
    void brokenFormsAreNotStored();
    void formValuesMustBeUtf8_data();
    void formValuesMustBeUtf8();
    void slowClientsDoNotBlockOthers();
    void refusedRegistrationsAreNotRecorded();
    void usageReportCutShortIsNotStored_data();
    void usageReportCutShortIsNotStored();

private:
    static QJsonObject call(const StandinService& service, const QString& path, const QByteArray& form = {});
    // A multipart body with the fields of a fresh authorisation, the extra parts, and a small file.
    static QByteArray storageForm(const QJsonObject& auth, const QByteArray& boundary, bool closed,
                                  const QList<QPair<QByteArray, QByteArray>>& extra);
};

QJsonObject tst_StandinStrict::call(const StandinService& service, const QString& path,
                                    const QByteArray& form)
{
    QNetworkAccessManager manager;
    QUrl url = service.url();
    url.setPath(path);
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
    QScopedPointer<QNetworkReply> reply(form.isNull() ? manager.get(request) : manager.post(request, form));
    QSignalSpy finished(reply.data(), &QNetworkReply::finished);
    if (!reply->isFinished() && !finished.wait(10000))
        return {};
    QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
    answer.insert("status", reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
    return answer;
}

QByteArray tst_StandinStrict::storageForm(const QJsonObject& auth, const QByteArray& boundary, bool closed,
                                          const QList<QPair<QByteArray, QByteArray>>& extra)
{
    QList<QPair<QByteArray, QByteArray>> fields{
        {"OSSAccessKeyId", auth.value("OSSAccessKeyId").toString().toUtf8()},
        {"policy", auth.value("policy").toString().toUtf8()},
        {"Signature", auth.value("Signature").toString().toUtf8()},
        {"key", auth.value("fileName").toString().toUtf8()}};
    fields += extra;
    QByteArray body;
    for (const auto& field : fields)
        body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + field.first + "\"\r\n\r\n" +
                field.second + "\r\n";
    body += "--" + boundary +
            "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"x\"\r\nContent-Type: "
            "image/jpg\r\n\r\n" +
            QByteArray(5000, 'j') + "\r\n";
    if (closed)
        body += "--" + boundary + "--\r\n";
    return body;
}

void tst_StandinStrict::brokenFormsAreNotStored_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("status"); // 0: the connection may be closed without an answer

    QTest::newRow("complete form") << "complete" << 200;
    QTest::newRow("no closing boundary") << "unclosed" << 400;
    QTest::newRow("closed before the announced length") << "short" << 0;
    QTest::newRow("fields over the cap together, chunked") << "large" << 0;
    QTest::newRow("a field not UTF-8") << "latin1" << 400;
}

void tst_StandinStrict::brokenFormsAreNotStored()
{
    QFETCH(QString, kind);
    QFETCH(int, status);

    StandinService service;
    QVERIFY(service.start());
    const QJsonObject auth = call(service, "/api/user/image/upload_auth");
    QVERIFY(!auth.value("policy").toString().isEmpty());

    const QByteArray boundary = "strict-5f0c2a9e1b7d4c3a8e6f";
    QList<QPair<QByteArray, QByteArray>> extra;
    if (kind == "large") // each part under the object limit, both together over the body cap
        extra = {{"x-pad-1", QByteArray(17 * 1024 * 1024, 'p')},
                 {"x-pad-2", QByteArray(17 * 1024 * 1024, 'q')}};
    if (kind == "latin1")
        extra = {{"x-note", QByteArray("caf\xe9")}};
    const QByteArray body = storageForm(auth, boundary, kind != "unclosed", extra);

    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(service.port()));
    QVERIFY(socket.waitForConnected(10000));
    QByteArray head = "POST /storage/upload HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                      "Content-Type: multipart/form-data; boundary=" +
                      boundary + "\r\n";
    if (kind == "large") {
        socket.write(head + "Transfer-Encoding: chunked\r\n\r\n");
        for (int at = 0; at < body.size(); at += 1 << 20) {
            const QByteArray chunk = body.mid(at, 1 << 20);
            socket.write(QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n");
        }
        socket.write("0\r\n\r\n");
    } else {
        const int announced = body.size() + (kind == "short" ? 1000 : 0);
        socket.write(head + "Content-Length: " + QByteArray::number(announced) + "\r\n\r\n" + body);
    }
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(10000)) {
    }
    if (kind == "short")
        ::shutdown(int(socket.socketDescriptor()), SHUT_WR);

    // The service closes the connection once it has handled the request.
    QByteArray answer;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(10000))
        answer += socket.readAll();
    answer += socket.readAll();
    if (status != 0)
        QVERIFY2(answer.startsWith("HTTP/1.1 " + QByteArray::number(status)), answer.left(200).constData());
    else
        QVERIFY2(!answer.startsWith("HTTP/1.1 2"), answer.left(200).constData());
    QCOMPARE(service.objects().size(), status == 200 ? 1 : 0);
    QCOMPARE(service.records("uploads.json", "uploads").size(), status == 200 ? 1 : 0);
}

void tst_StandinStrict::usageReportCutShortIsNotStored_data()
{
    QTest::addColumn<int>("missing"); // bytes announced but never sent
    QTest::newRow("whole") << 0;
    // Headers with the length, then the sender is gone: what a program ending mid-post leaves.
    QTest::newRow("headers only") << -1;
    QTest::newRow("half the body") << 400;
}

void tst_StandinStrict::usageReportCutShortIsNotStored()
{
    QFETCH(int, missing);
    StandinService service;
    QVERIFY(service.start());
    const QByteArray body = "&data=" + QUrl::toPercentEncoding(QString(QByteArray(800, 'r')));
    const QByteArray sent = missing < 0 ? QByteArray() : body.left(body.size() - missing);

    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(service.port()));
    QVERIFY(socket.waitForConnected(10000));
    socket.write("POST /restapi/vessik/log/add HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                 "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                 QByteArray::number(body.size()) + "\r\n\r\n" + sent);
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(10000)) {
    }
    ::shutdown(int(socket.socketDescriptor()), SHUT_WR);
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(10000))
        socket.readAll();

    QCOMPARE(service.records("usage_reports.json", "reports").size(), missing == 0 ? 1 : 0);
}

void tst_StandinStrict::formValuesMustBeUtf8_data()
{
    QTest::addColumn<QByteArray>("password"); // percent-encoded, as sent
    QTest::addColumn<bool>("accepted");

    QTest::newRow("byte FF") << QByteArray("%FF") << false;
    QTest::newRow("byte FE") << QByteArray("%FE") << false;
    QTest::newRow("cut-off sequence") << QByteArray("ab%F0%9F%98") << false;
    QTest::newRow("encoded surrogate") << QByteArray("%ED%A0%80") << false;
    QTest::newRow("overlong slash") << QByteArray("%C0%AF") << false;
    QTest::newRow("chinese") << QByteArray("%E5%AF%86") << true;
    QTest::newRow("leading byte order mark") << QByteArray("%EF%BB%BFpw") << true;
}

void tst_StandinStrict::formValuesMustBeUtf8()
{
    QFETCH(QByteArray, password);
    QFETCH(bool, accepted);

    StandinService service;
    QVERIFY(service.start());
    const QJsonObject answer =
        call(service, "/api/user/auth/register",
             "username=u&nickname=n&password=" + password + "&re_password=" + password);
    QCOMPARE(answer.value("status").toInt(), accepted ? 200 : 400);
    QCOMPARE(answer.value("error").toString().isEmpty(), accepted);
    QCOMPARE(service.userId("u").isEmpty(), !accepted);
    if (!accepted)
        return;
    // The password is exactly the text sent: with its byte order mark, and only with it.
    QCOMPARE(
        call(service, "/api/user/auth/login", "username=u&password=" + password).value("zovid").toString(),
        service.userId("u"));
    const QByteArray withoutMark = QByteArray(password).replace("%EF%BB%BF", "");
    if (withoutMark != password)
        QVERIFY(call(service, "/api/user/auth/login", "username=u&password=" + withoutMark)
                    .value("zovid")
                    .toString()
                    .isEmpty());
}

// Sixty connections that send one byte every three seconds would hold every thread of the
// service if it waited for them; it cuts them off instead and keeps answering.
void tst_StandinStrict::slowClientsDoNotBlockOthers()
{
    StandinService service;
    QVERIFY(service.start());
    QVERIFY(service.addAccount("anna", "pw"));

    // Requests whose header never ends, one byte at a time.
    const QByteArray start = "POST /api/user/auth/login HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ";
    auto connectSlow = [&](int count) {
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        for (int i = 0; i < count; ++i) {
            sockets.push_back(std::make_unique<QTcpSocket>());
            sockets.back()->connectToHost(QHostAddress::LocalHost, quint16(service.port()));
        }
        // Each gets its first bytes at once: the service's idle cut-off starts at the connection.
        for (const auto& socket : sockets) {
            if (socket->waitForConnected(30000)) {
                socket->write(start);
                socket->flush();
            }
        }
        return sockets;
    };
    auto connectedCount = [](const std::vector<std::unique_ptr<QTcpSocket>>& sockets) {
        return std::count_if(sockets.begin(), sockets.end(),
                             [](const auto& s) { return s->state() == QAbstractSocket::ConnectedState; });
    };

    // The first request also sets up the test's own network code, which may take a while; the
    // trickle below must not be held up by it.
    QCOMPARE(call(service, "/api/user/auth/login", "username=anna&password=pw").value("status").toInt(), 200);

    // Clients that keep sending, a byte well within the service's cut-off each time, hold their
    // connections; another client is answered while every one of them still hangs.
    std::vector<std::unique_ptr<QTcpSocket>> hanging = connectSlow(20);
    QCOMPARE(connectedCount(hanging), std::ptrdiff_t(20));
    QTimer trickle;
    connect(&trickle, &QTimer::timeout, this, [&] {
        for (const auto& socket : hanging)
            socket->write("a");
    });
    trickle.start(200);
    const QJsonObject answer = call(service, "/api/user/auth/login", "username=anna&password=pw");
    QCOMPARE(answer.value("status").toInt(), 200);
    QCOMPARE(answer.value("zovid").toString(), service.userId("anna"));
    // Slow clients still hang at that moment. Not necessarily all: on a loaded machine the trickle
    // itself can be late by more than the cut-off, which says nothing about the service.
    QVERIFY(connectedCount(hanging) > 0);

    // Once they go quiet they are cut off, so they cannot hold the service's threads for good.
    trickle.stop();
    QTRY_COMPARE_WITH_TIMEOUT(connectedCount(hanging), std::ptrdiff_t(0), 120000);
}

void tst_StandinStrict::refusedRegistrationsAreNotRecorded()
{
    StandinService service;
    QVERIFY(service.start());
    QVERIFY(service.addAccount("anna", "pw"));
    const QByteArray zovid = service.userId("anna").toUtf8();

    // Refused: unknown user, object never stored.
    QVERIFY(!call(service, "/api/user/image/save", "zovid=99999&src=images/x")
                 .value("error")
                 .toString()
                 .isEmpty());
    QVERIFY(!call(service, "/api/user/image/save", "zovid=" + zovid + "&src=images/none")
                 .value("error")
                 .toString()
                 .isEmpty());
    QVERIFY(service.records("registrations.json", "registrations").isEmpty());
    QVERIFY(service.records("uploads.json", "uploads").isEmpty());

    // Accepted ones are appended to the log file in place: it is never replaced by a new file.
    const QString log = service.dataFolder() + "/usage_reports.json";
    for (int i = 0; i < 3; ++i)
        QCOMPARE(
            call(service, "/restapi/vessik/log/add", "data=" + QByteArray::number(i)).value("status").toInt(),
            200);
    struct stat before = {};
    QCOMPARE(::stat(QFile::encodeName(log).constData(), &before), 0);
    QCOMPARE(call(service, "/restapi/vessik/log/add", "data=3").value("status").toInt(), 200);
    struct stat after = {};
    QCOMPARE(::stat(QFile::encodeName(log).constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    const QJsonArray reports = service.records("usage_reports.json", "reports");
    QCOMPARE(reports.size(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(reports.at(i).toObject().value("data").toString(), QString::number(i));
}

QTEST_GUILESS_MAIN(tst_StandinStrict)
#include "tst_standinstrict.moc"
