// SPDX-License-Identifier: MIT
// The updater against a service that sends without end: compressed answers that unpack to
// gigabytes, endless chunked answers, a trickle just fast enough to pass the stall limit. The real
// program runs under a memory limit, so an answer kept in memory past its cap ends it for good.
#include "QTarnwick.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <zlib.h>

namespace {

enum class Answer
{
    Gzip,    // Content-Encoding: gzip, zeros without end
    Chunked, // chunked spaces without end
};

// One part of a gzip body that unpacks to 1 MiB of zeros and ends with a full flush, so that it
// can follow itself any number of times.
QByteArray zerosPart()
{
    static QByteArray part;
    if (!part.isEmpty())
        return part;
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    QByteArray zeros(1024 * 1024, '\0');
    QByteArray out(64 * 1024, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(zeros.data());
    stream.avail_in = uInt(zeros.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FULL_FLUSH);
    part = out.left(int(out.size() - stream.avail_out));
    deflateEnd(&stream);
    return part;
}

// Sends the answer's body to socket for as long as it is read.
void sendForever(QTcpSocket* socket, Answer answer)
{
    const QByteArray piece = answer == Answer::Gzip
                                 ? zerosPart().repeated(64)
                                 : QByteArray("10000\r\n") + QByteArray(0x10000, ' ') + "\r\n";
    auto more = [socket, piece] {
        while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 4 * 1024 * 1024)
            socket->write(piece);
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
    more();
}

QByteArray head(Answer answer)
{
    if (answer == Answer::Gzip)
        return QByteArray("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nConnection: close\r\n\r\n") +
               QByteArray::fromHex("1f8b0800000000000003");
    return "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
}

} // namespace

class tst_HostileAnswers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The cases read why the updater stopped from its debug lines, off by default.
        qputenv("QT_LOGGING_RULES", "vellora.*.debug=true");
        QLoggingCategory::setFilterRules(QStringLiteral("vellora.*.debug=true"));
        qRegisterMetaType<QTarnwick::Outcome>();
        qRegisterMetaType<QProcess::ExitStatus>();
    }
    void endlessAnswersEndUnderAMemoryLimit_data();
    void endlessAnswersEndUnderAMemoryLimit();
    void trickleUnderTheRateFloorEnds();
};

void tst_HostileAnswers::endlessAnswersEndUnderAMemoryLimit_data()
{
    QTest::addColumn<bool>("onArchive"); // false: the manifest is the endless answer
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("reason");

    QTest::newRow("gzip manifest") << false << int(Answer::Gzip) << 0 << "compressed answer refused";
    QTest::newRow("gzip archive") << true << int(Answer::Gzip) << 1 << "compressed answer refused";
    QTest::newRow("endless chunked manifest")
        << false << int(Answer::Chunked) << 0 << "larger than 65536 bytes";
    QTest::newRow("endless chunked archive")
        << true << int(Answer::Chunked) << 1 << "larger than 16777216 bytes";
}

void tst_HostileAnswers::endlessAnswersEndUnderAMemoryLimit()
{
    QFETCH(bool, onArchive);
    QFETCH(int, answer);
    QFETCH(int, exitCode);
    QFETCH(QString, reason);

    QTemporaryDir install;
    QVERIFY(install.isValid());
    const QString program = install.filePath(QStringLiteral("QTarnwick"));
    QVERIFY(QFile::copy(QStringLiteral(QTARNWICK_PROGRAM), program));

    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, this, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [=] {
            const bool forArchive = socket->readAll().contains("Vellora.zip");
            if (onArchive && !forArchive) {
                // No "version.js" next to the updater: 100 is installed, 101 is newer.
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 16\r\n\r\n{\"version\": 101}");
                return;
            }
            socket->write(head(Answer(answer)));
            sendForever(socket, Answer(answer));
        });
    });

    // The updater kept in 768 MiB of address space; an answer held whole past its cap ends it.
    QProcess updater;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VELLORA_SERVICE_URL"),
                       QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()));
    environment.insert(QStringLiteral("VELLORA_UPDATE_MAX_ARCHIVE_BYTES"), QString::number(16 * 1024 * 1024));
    environment.insert(QStringLiteral("MALLOC_ARENA_MAX"), QStringLiteral("2"));
    updater.setProcessEnvironment(environment);
    updater.setProcessChannelMode(QProcess::MergedChannels);
#ifdef __SANITIZE_ADDRESS__
    // The address sanitizer reserves terabytes of address space up front: it runs without the
    // limit (the plain build checks the memory; this one what the sanitizers see).
    const QString limit;
#else
    const QString limit = QStringLiteral("ulimit -v 786432 && ");
#endif
    updater.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), limit + QStringLiteral("exec \"$0\" /k \"$0\""), program});
    QByteArray log;
    connect(&updater, &QProcess::readyRead, this, [&] { log += updater.readAll(); });
    QSignalSpy finished(&updater, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    const bool ended = finished.wait(60000);
    log += updater.readAll();
    if (!ended)
        updater.kill();
    QVERIFY2(ended, log.constData());
    QVERIFY2(updater.exitStatus() == QProcess::NormalExit, log.right(2000).constData());
    QCOMPARE(updater.exitCode(), exitCode);
    QVERIFY2(QString::fromUtf8(log).contains(reason), log.right(2000).constData());
    // Nothing of the refused answer reached the installation.
    QCOMPARE(QDir(install.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("QTarnwick")});
}

void tst_HostileAnswers::trickleUnderTheRateFloorEnds()
{
    // An archive announced as 1 GiB, one byte every 20 ms: within the stall limit, and its
    // deadline grown with its size is hours away. The rate floor ends it after one window.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, this, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            if (!socket->readAll().contains("Vellora.zip")) {
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 16\r\n\r\n{\"version\": 101}");
                return;
            }
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n\r\nP");
            auto* timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket] { socket->write("K"); });
            timer->start(20);
        });
    });
    qputenv("VELLORA_SERVICE_URL", QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()).toUtf8());
    QVERIFY(!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/version.js")));

    QTarnwick updater;
    updater.setStallTimeout(2000);
    // The floor scaled down with its window: 1 KiB/s over 0.5 s.
    updater.setRateFloor(1024, 500);
    QSignalSpy finished(&updater, &QTarnwick::finished);
    updater.RequestVersion();
    const bool ended = finished.wait(20000);
    qunsetenv("VELLORA_SERVICE_URL");
    QVERIFY(ended);
    QCOMPARE(finished.first().first().value<QTarnwick::Outcome>(), QTarnwick::Outcome::Failed);
    QVERIFY(!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/Vellora.zip")));
}

QTEST_GUILESS_MAIN(tst_HostileAnswers)
#include "tst_hostileanswers.moc"
