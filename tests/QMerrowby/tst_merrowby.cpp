// SPDX-License-Identifier: MIT
// Runs the real usage reporter against the stand-in service. The program is copied into a fresh
// folder for each case, so "user_data.js" is the one next to that copy, as after an installation.
#include "StandinService.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using TestSupport::readFile;
using TestSupport::writeFile;

namespace {
const QByteArray SampleRecords = "{\n    \"auth\": {\n        \"md5\": \"flagABC\"\n    },\n"
                                 "    \"records\": {\n        \"0\": {\n            \"folders\": {}\n"
                                 "        }\n    }\n}\n";
} // namespace

class tst_Merrowby : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void answerDecidesAboutTheFile_data();
    void answerDecidesAboutTheFile();
    void textArrivesExactly_data();
    void textArrivesExactly();
    void fileRewrittenDuringPostSurvives();
    void noFileNoRequest();
    void hangingServiceStillEnds();
    void runRecordedWhileForgettingSurvives();
    void refusedReportJoinsNewRuns();
    void claimOfKilledReporterGoesNextTime();
    void terminatedReporterGivesTheRecordsBack();
    void misbehavingServiceEnds_data();
    void misbehavingServiceEnds();
    void slowlyReadReportIsAccepted();
    void unreachableConnectionEndsAtStallLimit();
    void loggingAreaFollowsRules_data();
    void loggingAreaFollowsRules();
    void unreadableRecordsGivenBackAreKeptAside();
    void answerPastTheCapIsNotRead_data();
    void answerPastTheCapIsNotRead();

private:
    // Runs the reporter copy to its end; false when it did not end by itself within 20 s.
    bool runReporter(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                     const std::function<void(QProcess&)>& whileRunning = {});
    QString userData() const { return m_dir->filePath("user_data.js"); }
    QJsonArray reports(const StandinService& service) const
    {
        return service.records("usage_reports.json", "reports");
    }

    QScopedPointer<QTemporaryDir> m_dir;
    QString m_program;
    QByteArray m_output;
};

void tst_Merrowby::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    m_program = m_dir->filePath(QFileInfo(VELLORA_MERROWBY).fileName());
    QVERIFY(QFile::copy(VELLORA_MERROWBY, m_program));
}

bool tst_Merrowby::runReporter(const QProcessEnvironment& environment,
                               const std::function<void(QProcess&)>& whileRunning)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    m_output.clear();
    process.start(m_program, {"/k", m_program});
    if (!process.waitForStarted(10000))
        return false;
    if (whileRunning)
        whileRunning(process);
    // Waits with the event loop running, so that a server inside the test can answer.
    qRegisterMetaType<QProcess::ExitStatus>();
    QSignalSpy finished(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    connect(&process, &QProcess::readyRead, &process, [&] { m_output += process.readAll(); });
    const bool ended = process.state() == QProcess::NotRunning || finished.wait(20000);
    m_output += process.readAll();
    if (!ended) {
        process.kill();
        process.waitForFinished(5000);
    }
    return ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void tst_Merrowby::answerDecidesAboutTheFile_data()
{
    QTest::addColumn<QStringList>("serviceArguments"); // empty list: no service at all
    QTest::addColumn<bool>("serviceRuns");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<int>("reportsKept");

    QTest::newRow("accepted") << QStringList() << true << true << 1;
    QTest::newRow("server error") << QStringList{"--fail", "500:1:/restapi"} << true << false << 0;
    QTest::newRow("not found") << QStringList{"--fail", "404:1"} << true << false << 0;
    QTest::newRow("connection dropped") << QStringList{"--drop", "5:/restapi"} << true << false << 0;
    QTest::newRow("no service") << QStringList() << false << false << 0;
    // A redirect is not the service taking the report, whatever its body says.
    QTest::newRow("302 with a success body")
        << QStringList{"--fail", "302:1:/restapi:{\"error\":\"\",\"msg\":\"ok\"}"} << true << false << 0;
    QTest::newRow("301 with a success body")
        << QStringList{"--fail", "301:1:/restapi:{\"error\":\"\",\"msg\":\"ok\"}"} << true << false << 0;
}

void tst_Merrowby::answerDecidesAboutTheFile()
{
    QFETCH(QStringList, serviceArguments);
    QFETCH(bool, serviceRuns);
    QFETCH(bool, removed);
    QFETCH(int, reportsKept);

    QVERIFY(writeFile(userData(), SampleRecords));
    StandinService service(serviceArguments);
    QVERIFY(service.start());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!serviceRuns)
        environment.insert("VELLORA_SERVICE_URL", StandinService::unusedUrl().toString());

    QVERIFY2(runReporter(environment), m_output.constData());
    QCOMPARE(QFile::exists(userData()), !removed);
    if (!removed)
        QCOMPARE(readFile(userData()), SampleRecords);
    const QJsonArray arrived = reports(service);
    QCOMPARE(arrived.size(), reportsKept);
    if (reportsKept)
        QCOMPARE(arrived.at(0).toObject().value("data").toString().toUtf8(), SampleRecords);
}

void tst_Merrowby::textArrivesExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("chinese") << QString("春天 照片 海边");
    QTest::newRow("form characters") << QString("a+b & c=d 100% %26 %zz");
    QTest::newRow("quotes and escapes") << QString("say \\\"hi\\\"\\t#?/");
    // Over the 8 KiB many form parsers accept by default, as a file of ten runs is.
    QTest::newRow("over 8 KiB") << QString(3000, QChar(0x6625));
}

void tst_Merrowby::textArrivesExactly()
{
    QFETCH(QString, text);
    const QByteArray content = "{\n    \"records\": {\n        \"0\": {\n            \"time\": {\n"
                               "                \"feedback\": \"" +
                               text.toUtf8() + "\"\n            }\n        }\n    }\n}\n";
    // Written with Windows line ends: the reporter reads in text mode and sends plain LF.
    QByteArray windows = content;
    windows.replace("\n", "\r\n");
    QVERIFY(writeFile(userData(), windows));
    StandinService service;
    QVERIFY(service.start());

    QVERIFY2(runReporter(), m_output.constData());
    const QJsonArray arrived = reports(service);
    QCOMPARE(arrived.size(), 1);
    QCOMPARE(arrived.at(0).toObject().value("data").toString(), QString::fromUtf8(content));
    QVERIFY(!QFile::exists(userData()));
}

void tst_Merrowby::fileRewrittenDuringPostSurvives()
{
    QVERIFY(writeFile(userData(), SampleRecords));
    // The service holds the answer back long enough for the main program to write a new run.
    StandinService service({"--delay", "1500"});
    QVERIFY(service.start());
    QByteArray rewritten = SampleRecords;
    rewritten.replace("\"records\": {", "\"records\": {\n        \"1\": {},");

    bool replaced = false;
    QVERIFY2(runReporter(QProcessEnvironment::systemEnvironment(),
                         [&](QProcess& process) {
                             // Once the reporter has sent the file, the main program writes a new run.
                             while (!m_output.contains("post") && process.waitForReadyRead(10000))
                                 m_output += process.readAll();
                             replaced = m_output.contains("post") && writeFile(userData(), rewritten);
                         }),
             m_output.constData());
    QVERIFY(replaced);
    QCOMPARE(reports(service).size(), 1);
    QCOMPARE(readFile(userData()), rewritten);
}

void tst_Merrowby::noFileNoRequest()
{
    StandinService service;
    QVERIFY(service.start());
    QVERIFY2(runReporter(), m_output.constData());
    QVERIFY(reports(service).isEmpty());
    QVERIFY(!m_output.contains("post"));
}

void tst_Merrowby::hangingServiceStillEnds()
{
    QVERIFY(writeFile(userData(), SampleRecords));
    StandinService service({"--delay", "8000"});
    QVERIFY(service.start());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VELLORA_REPORT_TIMEOUT_MS", "1000");

    QVERIFY2(runReporter(environment), m_output.constData());
    QVERIFY(m_output.contains("giving up"));
    QCOMPARE(readFile(userData()), SampleRecords);
}

namespace {
// A usage file as the main program writes it: the records in order, counts as numbers.
QByteArray usageFile(const QStringList& runs)
{
    QJsonObject records;
    for (int i = 0; i < runs.size(); ++i)
        records.insert(QString::number(i), QJsonObject{{"time", QJsonObject{{"feedback", runs.at(i)}}}});
    return QJsonDocument(QJsonObject{{"auth", QJsonObject{{"md5", "flagABC"}}}, {"records", records}})
        .toJson();
}

// The feedback texts of a usage file's records, in key order.
QStringList runsIn(const QByteArray& file)
{
    QStringList runs;
    for (const QJsonValue& record : QJsonDocument::fromJson(file).object().value("records").toObject())
        runs.append(record.toObject().value("time").toObject().value("feedback").toString());
    return runs;
}

// What the main program does at close: the records in the file, if there is one, and its own run.
bool recordRun(const QString& path, const QString& run)
{
    QStringList runs = runsIn(readFile(path));
    runs.append(run);
    return writeFile(path, usageFile(runs));
}

bool waitForOutput(QProcess& process, QByteArray* output, const QByteArray& text)
{
    while (!output->contains(text) && process.waitForReadyRead(10000))
        *output += process.readAll();
    return output->contains(text);
}

char processState(qint64 pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return '?';
    const QByteArray text = stat.readAll();
    const int end = text.lastIndexOf(')');
    return end > 0 && end + 2 < text.size() ? text.at(end + 2) : '?';
}
} // namespace

void tst_Merrowby::runRecordedWhileForgettingSurvives()
{
    QVERIFY(writeFile(userData(), usageFile({"first"})));
    StandinService service;
    QVERIFY(service.start());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VELLORA_REPORT_STOP_BEFORE_FORGET", "1");

    bool recorded = false;
    QVERIFY2(runReporter(environment,
                         [&](QProcess& process) {
                             // The service took the report; the reporter is about to forget it.
                             QTRY_COMPARE_WITH_TIMEOUT(processState(process.processId()), 'T', 10000);
                             recorded = recordRun(userData(), "second");
                             ::kill(pid_t(process.processId()), SIGCONT);
                         }),
             m_output.constData());
    QVERIFY(recorded);
    QCOMPARE(reports(service).size(), 1);
    QCOMPARE(runsIn(reports(service).at(0).toObject().value("data").toString().toUtf8()),
             QStringList{"first"});
    QCOMPARE(runsIn(readFile(userData())), QStringList{"second"});
}

void tst_Merrowby::refusedReportJoinsNewRuns()
{
    QVERIFY(writeFile(userData(), usageFile({"first", "second"})));
    StandinService service({"--delay", "1500", "--fail", "500:1:/restapi"});
    QVERIFY(service.start());

    bool recorded = false;
    QVERIFY2(runReporter(QProcessEnvironment::systemEnvironment(),
                         [&](QProcess& process) {
                             QVERIFY(waitForOutput(process, &m_output, "post"));
                             recorded = recordRun(userData(), "third");
                         }),
             m_output.constData());
    QVERIFY(recorded);
    QCOMPARE(runsIn(readFile(userData())), (QStringList{"first", "second", "third"}));
    QVERIFY(!QFile::exists(userData() + ".sending"));
}

void tst_Merrowby::claimOfKilledReporterGoesNextTime()
{
    const QByteArray records = usageFile({"first"});
    QVERIFY(writeFile(userData(), records));
    {
        StandinService hanging({"--delay", "10000"});
        QVERIFY(hanging.start());
        runReporter(QProcessEnvironment::systemEnvironment(), [&](QProcess& process) {
            QVERIFY(waitForOutput(process, &m_output, "post"));
            process.kill();
        });
    }
    QVERIFY(recordRun(userData(), "second"));

    StandinService service;
    QVERIFY(service.start());
    QVERIFY2(runReporter(), m_output.constData());
    QCOMPARE(reports(service).size(), 1);
    QCOMPARE(runsIn(reports(service).at(0).toObject().value("data").toString().toUtf8()),
             (QStringList{"first", "second"}));
    QVERIFY(!QFile::exists(userData()));
    QVERIFY(!QFile::exists(userData() + ".sending"));
}

void tst_Merrowby::terminatedReporterGivesTheRecordsBack()
{
    QVERIFY(writeFile(userData(), SampleRecords));
    StandinService hanging({"--delay", "10000"});
    QVERIFY(hanging.start());
    // Ended by the desktop at log-out while the service has not answered yet.
    QVERIFY2(runReporter(QProcessEnvironment::systemEnvironment(),
                         [&](QProcess& process) {
                             QVERIFY(waitForOutput(process, &m_output, "post"));
                             process.terminate();
                         }),
             m_output.constData());
    QCOMPARE(readFile(userData()), SampleRecords);
    QVERIFY(!QFile::exists(userData() + ".sending"));
}

void tst_Merrowby::misbehavingServiceEnds_data()
{
    QTest::addColumn<QByteArray>("head"); // sent once the whole report arrived
    QTest::addColumn<int>("trickleMs");   // then one byte this often (0: the rest at once)
    QTest::addColumn<QByteArray>("rest");
    QTest::addColumn<QString>("timeoutMs"); // VELLORA_REPORT_TIMEOUT_MS
    QTest::addColumn<bool>("removed");

    const QByteArray ok = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n";
    // Each byte comes well within the stall limit; only the overall deadline ends it.
    QTest::newRow("answer trickling") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n")
                                      << 100 << QByteArray() << "2000" << false;
    // A success, but far longer than any answer of the service: not read, the records stay.
    QTest::newRow("answer of 8 MiB") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 8388608\r\n\r\n") << 0
                                     << QByteArray(8 * 1024 * 1024, 'x') << "20000" << false;
    // 0 is no time-out at all: the default applies and an answer after 1.5 s is taken.
    QTest::newRow("time-out 0 means the default") << ok << 0 << QByteArray("{}") << "0" << true;
}

void tst_Merrowby::misbehavingServiceEnds()
{
    QFETCH(QByteArray, head);
    QFETCH(int, trickleMs);
    QFETCH(QByteArray, rest);
    QFETCH(QString, timeoutMs);
    QFETCH(bool, removed);

    QVERIFY(writeFile(userData(), SampleRecords));
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, this, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        auto* request = new QByteArray;
        connect(socket, &QObject::destroyed, [request] { delete request; });
        connect(socket, &QTcpSocket::readyRead, socket, [=] {
            request->append(socket->readAll());
            if (!request->contains("\r\n\r\n") || !request->endsWith(QUrl::toPercentEncoding("}\n")))
                return;
            QTimer::singleShot(removed ? 1500 : 0, socket, [=] {
                socket->write(head);
                socket->write(rest);
                if (trickleMs > 0) {
                    auto* timer = new QTimer(socket);
                    connect(timer, &QTimer::timeout, socket, [socket] { socket->write("x"); });
                    timer->start(trickleMs);
                }
            });
        });
    });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VELLORA_SERVICE_URL", QString("http://127.0.0.1:%1").arg(server.serverPort()));
    environment.insert("VELLORA_REPORT_TIMEOUT_MS", timeoutMs);
    environment.insert("VELLORA_REPORT_DEADLINE_MS", "1500");
    if (removed)
        environment.remove("VELLORA_REPORT_DEADLINE_MS");

    QVERIFY2(runReporter(environment), m_output.constData());
    QCOMPARE(QFile::exists(userData()), !removed);
    if (!removed)
        QCOMPARE(readFile(userData()), SampleRecords);
}

void tst_Merrowby::slowlyReadReportIsAccepted()
{
    // Far more than the sockets buffer, so that the upload waits for the reader again and again
    // and takes longer than the stall limit in all.
    const QByteArray filler(40 * 1024 * 1024, 'a');
    const QByteArray records = "{\"records\": {\"0\": {\"time\": {\"feedback\": \"" + filler + "\"}}}}\n";
    QVERIFY(writeFile(userData(), records));
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QByteArray head;
    qint64 expected = -1;
    qint64 received = 0;
    connect(&server, &QTcpServer::newConnection, this, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        // Small buffers: the sender is held back by what this reader takes.
        socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 256 * 1024);
        socket->setReadBufferSize(1024 * 1024);
        // Takes what arrived every 100 ms: the gaps stay well under the stall limit.
        auto* timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [&, socket, timer] {
            const QByteArray bytes = socket->readAll();
            if (expected < 0) {
                head += bytes;
                const int end = head.indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                const QRegularExpression length("Content-Length: (\\d+)",
                                                QRegularExpression::CaseInsensitiveOption);
                expected = length.match(QString::fromLatin1(head.left(end))).captured(1).toLongLong();
                received = head.size() - end - 4;
            } else {
                received += bytes.size();
            }
            if (received >= expected) {
                timer->stop();
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{}");
            }
        });
        timer->start(100);
    });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VELLORA_SERVICE_URL", QString("http://127.0.0.1:%1").arg(server.serverPort()));
    environment.insert("VELLORA_REPORT_TIMEOUT_MS", "2000");

    QVERIFY2(runReporter(environment), m_output.right(2000).constData());
    QVERIFY2(!QFile::exists(userData()), m_output.right(2000).constData());
    QCOMPARE(received, expected);
}

void tst_Merrowby::unreachableConnectionEndsAtStallLimit()
{
    // A listening socket whose queue is full: the reporter's connection is never completed, so
    // nothing is ever sent and no progress ever restarts the clock.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(listener >= 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QVERIFY(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
    socklen_t length = sizeof address;
    QVERIFY(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0);
    QVERIFY(::listen(listener, 0) == 0);
    QList<QTcpSocket*> fillers;
    for (int i = 0; i < 3; ++i) {
        fillers.append(new QTcpSocket(this));
        fillers.last()->connectToHost(QHostAddress::LocalHost, ntohs(address.sin_port));
        fillers.last()->waitForConnected(300);
    }
    QVERIFY(writeFile(userData(), SampleRecords));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VELLORA_SERVICE_URL", QString("http://127.0.0.1:%1").arg(ntohs(address.sin_port)));
    environment.insert("VELLORA_REPORT_TIMEOUT_MS", "1000");

    const bool ended = runReporter(environment);
    qDeleteAll(fillers);
    ::close(listener);
    QVERIFY2(ended, m_output.constData());
    QVERIFY(m_output.contains("giving up"));
    QCOMPARE(readFile(userData()), SampleRecords);
}

void tst_Merrowby::initTestCase()
{
    // Cases read what the reporter says: its debug lines are off by default, so they are asked for.
    qputenv("QT_LOGGING_RULES", "vellora.*.debug=true");
}

void tst_Merrowby::loggingAreaFollowsRules_data()
{
    QTest::addColumn<QString>("rules");
    QTest::addColumn<bool>("shown");
    // The program's debug lines are off unless asked for.
    QTest::newRow("no rules") << QString() << false;
    QTest::newRow("every area on") << "vellora.*.debug=true" << true;
    QTest::newRow("reporter on") << "vellora.reporter.debug=true" << true;
    QTest::newRow("reporter off") << "vellora.reporter.debug=false" << false;
    QTest::newRow("every area off") << "vellora.*.debug=false" << false;
    QTest::newRow("every area off but the reporter")
        << "vellora.*.debug=false;vellora.reporter.debug=true" << true;
    QTest::newRow("another area off") << "vellora.updater.debug=false" << false;
    QTest::newRow("all on but another area") << "vellora.*.debug=true;vellora.updater.debug=false" << true;
}

void tst_Merrowby::loggingAreaFollowsRules()
{
    QFETCH(QString, rules);
    QFETCH(bool, shown);
    // Without a usage file the reporter says so and ends; that line is its area's to silence.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_MESSAGE_PATTERN");
    environment.remove("QT_LOGGING_CONF");
    if (rules.isEmpty())
        environment.remove("QT_LOGGING_RULES");
    else
        environment.insert("QT_LOGGING_RULES", rules);
    QVERIFY2(runReporter(environment), m_output.constData());
    // Qt's default message pattern names the category before the text.
    QCOMPARE(m_output.contains("vellora.reporter: no usage file"), shown);
    QCOMPARE(m_output.contains("no usage file"), shown);
}

void tst_Merrowby::unreadableRecordsGivenBackAreKeptAside()
{
    // A usage file torn by an old crash: sent as it is, refused, and meanwhile a new run recorded.
    const QByteArray torn = usageFile({"first"}).left(40);
    QVERIFY(writeFile(userData(), torn));
    StandinService service({"--delay", "1500", "--fail", "500:1:/restapi"});
    QVERIFY(service.start());

    bool recorded = false;
    QVERIFY2(runReporter(QProcessEnvironment::systemEnvironment(),
                         [&](QProcess& process) {
                             QVERIFY(waitForOutput(process, &m_output, "post"));
                             recorded = recordRun(userData(), "second");
                         }),
             m_output.constData());
    QVERIFY(recorded);
    // The merge cannot read the torn records, so they are kept aside whole before the claim goes.
    QCOMPARE(runsIn(readFile(userData())), QStringList{"second"});
    QVERIFY(!QFile::exists(userData() + ".sending"));
    QCOMPARE(readFile(userData() + ".sending.broken"), torn);
}

void tst_Merrowby::answerPastTheCapIsNotRead_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("piece"); // sent once; with "endless", again whenever it was taken
    QTest::addColumn<bool>("endless");

    // A success with a body of 100 KiB, arriving at once: over the cap, so no answer at all.
    QTest::newRow("100 KiB at once") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 102400\r\n\r\n")
                                     << QByteArray(100 * 1024, 'x') << false;
    QTest::newRow("endless chunked") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
                                     << QByteArray("1000\r\n") + QByteArray(0x1000, 'x') + "\r\n"
                                     << true;
}

void tst_Merrowby::answerPastTheCapIsNotRead()
{
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, piece);
    QFETCH(bool, endless);

    QVERIFY(writeFile(userData(), SampleRecords));
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, this, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        auto* request = new QByteArray;
        connect(socket, &QObject::destroyed, [request] { delete request; });
        connect(socket, &QTcpSocket::readyRead, socket, [=] {
            request->append(socket->readAll());
            if (!request->contains("\r\n\r\n") || !request->endsWith(QUrl::toPercentEncoding("}\n")))
                return;
            socket->write(head + piece);
            if (endless) {
                // Four times the cap at once, then more for as long as the connection lasts; the
                // chunked answer never ends.
                socket->write(piece.repeated(64));
                auto* more = new QTimer(socket);
                connect(more, &QTimer::timeout, socket, [=] {
                    if (socket->bytesToWrite() < 256 * 1024)
                        socket->write(piece.repeated(16));
                });
                more->start(10);
            }
        });
    });
    // Neither the stall limit nor the deadline can end these within the test's wait: only the cap.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VELLORA_SERVICE_URL", QString("http://127.0.0.1:%1").arg(server.serverPort()));
    environment.insert("VELLORA_REPORT_TIMEOUT_MS", "60000");
    environment.insert("VELLORA_REPORT_DEADLINE_MS", "60000");

    QVERIFY2(runReporter(environment), m_output.right(2000).constData());
    QVERIFY2(m_output.contains("the answer is longer than 65536 bytes"), m_output.right(2000).constData());
    QCOMPARE(readFile(userData()), SampleRecords);
}

QTEST_GUILESS_MAIN(tst_Merrowby)
#include "tst_merrowby.moc"
