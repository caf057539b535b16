// SPDX-License-Identifier: MIT
// Runs the real usage reporter against the stand-in service. The program is copied into a fresh
// folder for each case, so "user_data.js" is the one next to that copy, as after an installation.
#include "StandinService.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>

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
    void init();

    void answerDecidesAboutTheFile_data();
    void answerDecidesAboutTheFile();
    void textArrivesExactly_data();
    void textArrivesExactly();
    void fileRewrittenDuringPostSurvives();
    void noFileNoRequest();
    void hangingServiceStillEnds();

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
    const bool ended = process.waitForFinished(20000);
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

QTEST_GUILESS_MAIN(tst_Merrowby)
#include "tst_merrowby.moc"
