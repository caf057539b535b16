// SPDX-License-Identifier: MIT
// Runs the real updater in a temporary installation against the stand-in service, with releases
// made by tools/make_release.sh.
#include "CInstallJournal.h"
#include "QTarnwick.h"
#include "RawZip.h"
#include "StandinService.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// Where a test's release archive comes from.
enum class ArchiveKind
{
    GoodRelease, // the release folder, zipped by the script
    Entries,     // the hostile entries, written raw
    Truncated,   // the first half of those
    Empty
};

enum class ManifestTweak
{
    None,
    WrongSha256,
    BadSignature,
    NoSignature
};

bool writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every entry under root with what it holds: files by content digest, links by target.
QStringList snapshot(const QString& root)
{
    QStringList lines;
    const QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = base.relativeFilePath(info.filePath());
        if (info.isSymLink())
            lines.append(name + QStringLiteral(" -> ") + info.symLinkTarget());
        else if (info.isDir())
            lines.append(name + QLatin1Char('/'));
        else
            lines.append(
                name + QLatin1Char(' ') +
                QString::fromLatin1(
                    QCryptographicHash::hash(readFile(info.filePath()), QCryptographicHash::Sha256).toHex()));
    }
    lines.sort();
    return lines;
}

// What the installation must look like after installing the release: the old tree with the
// release's entries laid over it.
QStringList overlaid(const QStringList& installation, const QStringList& release)
{
    QMap<QString, QString> byName;
    for (const QStringList* list : {&installation, &release}) {
        for (const QString& line : *list)
            byName.insert(line.section(QLatin1Char(' '), 0, 0), line);
    }
    return byName.values();
}

// The digest line snapshot() gives a file holding content.
QString digestLine(const QString& name, const QByteArray& content)
{
    return name + QLatin1Char(' ') +
           QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex());
}

// The release every test publishes: a new main program, a replaced library, new sub-folders.
void writeReleaseSource(const QString& folder, int version)
{
    writeFile(folder + QStringLiteral("/version.js"),
              QByteArray("{\"version\": ") + QByteArray::number(version) + "}");
    writeFile(folder + QStringLiteral("/QVellora"), "new main program");
    // The running updater replaces itself too: only a rename can do that.
    writeFile(folder + QStringLiteral("/QTarnwick"), "new updater");
    writeFile(folder + QStringLiteral("/lib/plugin.so"), "new plugin");
    writeFile(folder + QStringLiteral("/lib/deep/extra.dat"), QByteArray(5000, 'x'));
    writeFile(folder + QStringLiteral("/docs/readme.txt"), "read me");
}

} // namespace

class tst_QTarnwick : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void versionDecision_data();
    void versionDecision();
    void redirectIsNoManifest_data();
    void redirectIsNoManifest();
    void hostileRelease_data();
    void hostileRelease();
    void failedCopyRollsBack();
    void unreachableServiceChangesNothing();
    void stalledDownloadEnds_data();
    void stalledDownloadEnds();
    void boundedAnswersEnd_data();
    void boundedAnswersEnd();
    void archiveDeadlineGrowsWithItsSize();
    void releaseOvertakenWhileDownloading_data();
    void releaseOvertakenWhileDownloading();
    void damagedInstalledVersionAllowsNoDowngrade_data();
    void damagedInstalledVersionAllowsNoDowngrade();
    void truncatedJournalNeverLabelsAMixedTreeNew();
    void olderReleaseRefused_data();
    void olderReleaseRefused();
    void installedVersionFollowsManifest_data();
    void installedVersionFollowsManifest();
    void cutInstallLeavesWholeProgram_data();
    void cutInstallLeavesWholeProgram();

private:
    // An installation at root/install: the updater itself, its manifest (none when version < 0)
    // and a few files of the old release.
    QString makeInstallation(int version);
    bool makeRelease(int version, const QString& source, ManifestTweak tweak = ManifestTweak::None);
    // Runs the updater from the installation; its exit code, or -1 when it did not end.
    int runUpdater(QByteArray* log, const QString& serviceUrl = QString(),
                   const QProcessEnvironment& extra = QProcessEnvironment());
    // Serves the release made, runs the updater and expects it to refuse for reason (a text of
    // its log) with nothing under the test's root changed. Fails the calling test otherwise.
    void expectRefused(const QString& reason, const QStringList& serviceOptions = QStringList());

    QScopedPointer<QTemporaryDir> m_root;
    QString m_install;
    QString m_release;
};

void tst_QTarnwick::expectRefused(const QString& reason, const QStringList& serviceOptions)
{
    const QStringList before = snapshot(m_root->path());
    StandinService service(QStringList{QStringLiteral("--release"), m_release} + serviceOptions);
    QVERIFY(service.start());
    QByteArray log;
    QCOMPARE(runUpdater(&log), 1);
    QVERIFY2(QString::fromUtf8(log).contains(reason), log.constData());
    QCOMPARE(snapshot(m_root->path()), before);
}

void tst_QTarnwick::initTestCase()
{
    // Some cases read what the updater says: its debug lines, off by default, are asked for here
    // and in the copies it starts.
    qputenv("QT_LOGGING_RULES", "vellora.*.debug=true");
    QLoggingCategory::setFilterRules(QStringLiteral("vellora.*.debug=true"));
    qRegisterMetaType<QTarnwick::Outcome>();
    QVERIFY(QFile::exists(QStringLiteral(QTARNWICK_PROGRAM)));
}

void tst_QTarnwick::init()
{
    m_root.reset(new QTemporaryDir);
    QVERIFY(m_root->isValid());
    m_install = m_root->filePath(QStringLiteral("install"));
    m_release = m_root->filePath(QStringLiteral("release"));
}

QString tst_QTarnwick::makeInstallation(int version)
{
    QDir().mkpath(m_install);
    QFile::copy(QStringLiteral(QTARNWICK_PROGRAM), m_install + QStringLiteral("/QTarnwick"));
    if (version >= 0)
        writeFile(m_install + QStringLiteral("/version.js"),
                  "{\"version\": " + QByteArray::number(version) + "}");
    writeFile(m_install + QStringLiteral("/QVellora"), "old main program");
    writeFile(m_install + QStringLiteral("/lib/plugin.so"), "old plugin");
    writeFile(m_install + QStringLiteral("/keep.txt"), "not in the release");
    return m_install;
}

bool tst_QTarnwick::makeRelease(int version, const QString& source, ManifestTweak tweak)
{
    QProcess script;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VELLORA_RELEASE_SIGN"), QStringLiteral(VELLORA_RELEASE_SIGN));
    script.setProcessEnvironment(environment);
    script.start(QStringLiteral("bash"),
                 {QStringLiteral(VELLORA_MAKE_RELEASE), m_release, QString::number(version), source});
    if (!script.waitForFinished(30000) || script.exitCode() != 0) {
        qWarning() << script.readAllStandardError();
        return false;
    }
    if (tweak == ManifestTweak::None)
        return true;
    const QString manifestPath = m_release + QStringLiteral("/version.js");
    QJsonObject manifest = QJsonDocument::fromJson(readFile(manifestPath)).object();
    QJsonObject update = manifest.value(QStringLiteral("soft_update")).toObject();
    if (tweak == ManifestTweak::WrongSha256)
        update.insert(QStringLiteral("sha256"), QString(64, QLatin1Char('0')));
    if (tweak == ManifestTweak::NoSignature)
        update.remove(QStringLiteral("signature"));
    if (tweak == ManifestTweak::BadSignature) {
        QByteArray signature =
            QByteArray::fromBase64(update.value(QStringLiteral("signature")).toString().toLatin1());
        signature[10] = char(signature.at(10) ^ 0x01);
        update.insert(QStringLiteral("signature"), QString::fromLatin1(signature.toBase64()));
    }
    manifest.insert(QStringLiteral("soft_update"), update);
    return writeFile(manifestPath, QJsonDocument(manifest).toJson());
}

int tst_QTarnwick::runUpdater(QByteArray* log, const QString& serviceUrl, const QProcessEnvironment& extra)
{
    QProcess updater;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!serviceUrl.isEmpty())
        environment.insert(QStringLiteral("VELLORA_SERVICE_URL"), serviceUrl);
    environment.insert(extra);
    updater.setProcessEnvironment(environment);
    updater.setProcessChannelMode(QProcess::MergedChannels);
    updater.start(m_install + QStringLiteral("/QTarnwick"), {QStringLiteral("/k"), m_install});
    const bool ended = updater.waitForFinished(60000);
    *log = updater.readAll();
    if (!ended) {
        updater.kill();
        updater.waitForFinished();
        return -1;
    }
    return updater.exitStatus() == QProcess::NormalExit ? updater.exitCode() : -1;
}

void tst_QTarnwick::versionDecision_data()
{
    QTest::addColumn<int>("localVersion"); // -1: no local manifest
    QTest::addColumn<QJsonValue>("remoteVersion");
    QTest::addColumn<bool>("installs");

    QTest::newRow("7 over 6") << 6 << QJsonValue(7) << true;
    QTest::newRow("6 over 6") << 6 << QJsonValue(6) << false;
    QTest::newRow("5 over 6") << 6 << QJsonValue(5) << false;
    QTest::newRow("\"7\" as a string over 6") << 6 << QJsonValue(QStringLiteral("7")) << true;
    QTest::newRow("100 over no manifest") << -1 << QJsonValue(100) << false;
    QTest::newRow("101 over no manifest") << -1 << QJsonValue(101) << true;
}

void tst_QTarnwick::redirectIsNoManifest_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("301") << 301;
    QTest::newRow("302") << 302;
}

void tst_QTarnwick::redirectIsNoManifest()
{
    QFETCH(int, status);

    const QString source = m_root->filePath(QStringLiteral("source"));
    writeReleaseSource(source, 7);
    QVERIFY(makeRelease(7, source));
    makeInstallation(6);
    const QStringList before = snapshot(m_root->path());

    // The redirect's body is the genuine, newer manifest; it still is no answer of the service.
    const QString manifest = QString::fromUtf8(readFile(m_release + QStringLiteral("/version.js")));
    StandinService service({QStringLiteral("--release"), m_release, QStringLiteral("--fail"),
                            QStringLiteral("%1:1:/Vellora/version.js:%2").arg(status).arg(manifest)});
    QVERIFY(service.start());
    QByteArray log;
    QCOMPARE(runUpdater(&log), 0);
    QVERIFY2(log.contains("Outcome::UpToDate"), log.constData());
    QVERIFY2(!log.contains("good"), log.constData());
    QCOMPARE(snapshot(m_root->path()), before);
}

void tst_QTarnwick::versionDecision()
{
    QFETCH(int, localVersion);
    QFETCH(QJsonValue, remoteVersion);
    QFETCH(bool, installs);

    const int number = remoteVersion.toVariant().toInt();
    const QString source = m_root->filePath(QStringLiteral("source"));
    writeReleaseSource(source, number);
    QVERIFY(makeRelease(number, source));
    if (remoteVersion.isString()) {
        const QString manifestPath = m_release + QStringLiteral("/version.js");
        QJsonObject manifest = QJsonDocument::fromJson(readFile(manifestPath)).object();
        manifest.insert(QStringLiteral("version"), remoteVersion);
        QVERIFY(writeFile(manifestPath, QJsonDocument(manifest).toJson()));
    }
    makeInstallation(localVersion);
    const QStringList before = snapshot(m_install);

    StandinService service({QStringLiteral("--release"), m_release});
    QVERIFY(service.start());
    QByteArray log;
    QCOMPARE(runUpdater(&log), 0);
    // The installed "version.js" is the published manifest, whatever the archive's own one says.
    const QStringList expected =
        installs ? overlaid(overlaid(before, snapshot(source)),
                            {digestLine(QStringLiteral("version.js"),
                                        readFile(m_release + QStringLiteral("/version.js")))})
                 : before;
    if (snapshot(m_install) != expected)
        qWarning().noquote() << log;
    QCOMPARE(snapshot(m_install), expected);
}

void tst_QTarnwick::hostileRelease_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QVector<RawZipEntry>>("entries"); // "@ROOT@" in names stands for the test's root
    QTest::addColumn<QStringList>("serviceOptions");
    QTest::addColumn<int>("tweak");
    QTest::addColumn<QString>("reason"); // what the updater's log must name

    // Every hostile archive starts with harmless entries, so that nothing may be written before
    // the whole archive has been checked.
    const QVector<RawZipEntry> good{RawZipEntry::file("version.js", "{\"version\": 7}"),
                                    RawZipEntry::file("QVellora", "hostile main program")};
    const int raw = int(ArchiveKind::Entries);
    const int release = int(ArchiveKind::GoodRelease);
    const int none = int(ManifestTweak::None);
    const QString unsafe = QStringLiteral("unsafe entry name");
    const QString failed = QStringLiteral("incomplete or failed answer");
    const auto row = [&](const char* name, const QVector<RawZipEntry>& extra, const QString& reason) {
        QTest::newRow(name) << raw << good + extra << QStringList() << none << reason;
    };

    row("../ entries", {RawZipEntry::file("../../escape.txt", "x")}, unsafe);
    row(".. inside a path", {RawZipEntry::file("lib/../../../escape.txt", "x")}, unsafe);
    row("absolute name", {RawZipEntry::file("@ROOT@/escape.txt", "x")}, unsafe);
    row("backslash absolute", {RawZipEntry::file("\\escape.txt", "x")}, unsafe);
    row("drive letter", {RawZipEntry::file("C:escape.txt", "x")}, unsafe);
    row("drive letter and slash", {RawZipEntry::file("C:/escape.txt", "x")}, unsafe);
    row("backslash traversal", {RawZipEntry::file("..\\..\\escape.txt", "x")}, unsafe);
    row("symlink, then a file through it",
        {RawZipEntry::symlink("link", "@ROOT@"), RawZipEntry::file("link/escape.txt", "x")},
        QStringLiteral("link or special entry"));
    row("bomb declaring small sizes",
        {RawZipEntry::deflated("bomb.bin", QByteArray(16 * 1024 * 1024, '\0'), 1000)},
        QStringLiteral("file.close()"));
    RawZipEntry huge = RawZipEntry::file("huge.bin", "small in fact");
    huge.declaredSize = (qint64(1) << 30) + 1;
    row("bomb declaring over 1 GiB", {huge}, QStringLiteral("declares more than"));
    QVector<RawZipEntry> many;
    for (int i = 0; i < 20000; ++i)
        many.append(RawZipEntry::file("f" + QByteArray::number(i), QByteArray()));
    row("20,002 entries", many, QStringLiteral("more than 20000 entries"));
    row("entry into the extraction folder", {RawZipEntry::file("tmpExt/escape.txt", "x")},
        QStringLiteral("it holds"));
    QTest::newRow("truncated zip") << int(ArchiveKind::Truncated)
                                   << good + QVector<RawZipEntry>{RawZipEntry::file("lib/plugin.so",
                                                                                    QByteArray(4000, 'p'))}
                                   << QStringList() << none << QStringLiteral("zip.open()");
    QTest::newRow("empty body") << int(ArchiveKind::Empty) << QVector<RawZipEntry>() << QStringList() << none
                                << QStringLiteral("zip.open()");
    QTest::newRow("404 page") << release << QVector<RawZipEntry>()
                              << QStringList{QStringLiteral("--fail"),
                                             QStringLiteral("404:1:/Vellora/Vellora.zip")}
                              << none << failed;
    QTest::newRow("connection cut mid-answer")
        << release << QVector<RawZipEntry>()
        << QStringList{QStringLiteral("--cut"), QStringLiteral("1:/Vellora/Vellora.zip")} << none << failed;
    QTest::newRow("wrong sha256") << release << QVector<RawZipEntry>() << QStringList()
                                  << int(ManifestTweak::WrongSha256) << QStringLiteral("sha256");
    QTest::newRow("bad signature") << release << QVector<RawZipEntry>() << QStringList()
                                   << int(ManifestTweak::BadSignature)
                                   << QStringLiteral("signature does not verify");
    QTest::newRow("missing signature")
        << release << QVector<RawZipEntry>() << QStringList() << int(ManifestTweak::NoSignature)
        << QStringLiteral("carries no signature");
}

void tst_QTarnwick::hostileRelease()
{
    QFETCH(int, kind);
    QFETCH(QVector<RawZipEntry>, entries);
    QFETCH(QStringList, serviceOptions);
    QFETCH(int, tweak);
    QFETCH(QString, reason);

    QString source = m_root->filePath(QStringLiteral("source"));
    if (ArchiveKind(kind) == ArchiveKind::GoodRelease) {
        writeReleaseSource(source, 7);
    } else {
        for (RawZipEntry& entry : entries) {
            entry.name.replace("@ROOT@", m_root->path().toUtf8());
            entry.content.replace("@ROOT@", m_root->path().toUtf8());
        }
        QByteArray archive = ArchiveKind(kind) == ArchiveKind::Empty ? QByteArray() : rawZip(entries);
        if (ArchiveKind(kind) == ArchiveKind::Truncated)
            archive.truncate(archive.size() / 2);
        source = m_root->filePath(QStringLiteral("hostile.zip"));
        QVERIFY(writeFile(source, archive));
    }
    QVERIFY(makeRelease(7, source, ManifestTweak(tweak)));
    makeInstallation(6);
    expectRefused(reason, serviceOptions);
}

void tst_QTarnwick::failedCopyRollsBack()
{
    // A folder stands where the release brings a file; the files placed before it must go back.
    const QString source = m_root->filePath(QStringLiteral("source"));
    writeReleaseSource(source, 7);
    QVERIFY(writeFile(source + QStringLiteral("/zz-last.dat"), "cannot replace a folder"));
    QVERIFY(makeRelease(7, source));
    makeInstallation(6);
    QVERIFY(writeFile(m_install + QStringLiteral("/zz-last.dat/inside.txt"), "a folder in the way"));
    expectRefused(QStringLiteral("a folder stands where the release has a file"));
}

void tst_QTarnwick::unreachableServiceChangesNothing()
{
    makeInstallation(6);
    const QStringList before = snapshot(m_root->path());
    QByteArray log;
    QCOMPARE(runUpdater(&log, StandinService::unusedUrl().toString()), 0);
    QCOMPARE(snapshot(m_root->path()), before);
}

void tst_QTarnwick::stalledDownloadEnds_data()
{
    QTest::addColumn<bool>("stallOnArchive"); // false: the manifest request stalls
    QTest::addColumn<QTarnwick::Outcome>("outcome");
    QTest::newRow("manifest") << false << QTarnwick::Outcome::UpToDate;
    QTest::newRow("archive") << true << QTarnwick::Outcome::Failed;
}

void tst_QTarnwick::stalledDownloadEnds()
{
    QFETCH(bool, stallOnArchive);
    QFETCH(QTarnwick::Outcome, outcome);

    // A server that announces an answer and then goes quiet, keeping the connection open.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, this, [&server, stallOnArchive] {
        QTcpSocket* socket = server.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [socket, stallOnArchive] {
            const QByteArray request = socket->readAll();
            // No installation manifest lies next to this test, so the local version counts as 100.
            if (stallOnArchive && request.contains("version.js")) {
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 16\r\n\r\n{\"version\": 101}");
                return;
            }
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nPK");
        });
    });
    qputenv("VELLORA_SERVICE_URL", QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()).toUtf8());
    QVERIFY(!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/version.js")));

    QTarnwick updater;
    updater.setStallTimeout(300);
    QSignalSpy finished(&updater, &QTarnwick::finished);
    updater.RequestVersion();
    QVERIFY(finished.wait(20000));
    qunsetenv("VELLORA_SERVICE_URL");
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().value<QTarnwick::Outcome>(), outcome);
    QVERIFY(!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/Vellora.zip")));
}

void tst_QTarnwick::boundedAnswersEnd_data()
{
    QTest::addColumn<bool>("onArchive");  // false: the manifest misbehaves
    QTest::addColumn<QByteArray>("head"); // what the server sends at once
    QTest::addColumn<int>("trickle");     // then one byte every this many ms (0: nothing more)
    QTest::addColumn<QTarnwick::Outcome>("outcome");

    const QByteArray announced = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n";
    QByteArray padded = "{\"version\": 101}";
    padded.append(QByteArray(70 * 1024, ' '));
    QTest::newRow("manifest trickling")
        << false << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 60000\r\n\r\n") << 50
        << QTarnwick::Outcome::UpToDate;
    QTest::newRow("archive trickling") << true << announced << 50 << QTarnwick::Outcome::Failed;
    // Valid and newer, but longer than any manifest may be: never read, so no archive is asked for.
    QTest::newRow("manifest over 64 KiB, no length")
        << false << QByteArray("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n") + padded << 0
        << QTarnwick::Outcome::UpToDate;
    QTest::newRow("archive announcing over 1 GiB")
        << true << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1073741825\r\n\r\nPK") << 0
        << QTarnwick::Outcome::Failed;
}

void tst_QTarnwick::boundedAnswersEnd()
{
    QFETCH(bool, onArchive);
    QFETCH(QByteArray, head);
    QFETCH(int, trickle);
    QFETCH(QTarnwick::Outcome, outcome);

    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    int archiveRequests = 0;
    connect(&server, &QTcpServer::newConnection, this, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [&, socket] {
            const QByteArray request = socket->readAll();
            const bool archive = request.contains("Vellora.zip");
            archiveRequests += archive ? 1 : 0;
            if (onArchive && !archive) {
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 16\r\n\r\n{\"version\": 101}");
                return;
            }
            socket->write(head);
            if (head.contains("Connection: close"))
                socket->disconnectFromHost();
            if (trickle > 0) {
                auto* timer = new QTimer(socket);
                connect(timer, &QTimer::timeout, socket, [socket] { socket->write(" "); });
                timer->start(trickle);
            }
        });
    });
    qputenv("VELLORA_SERVICE_URL", QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()).toUtf8());

    QTarnwick updater;
    // Each byte comes well within the stall time-out; only the overall deadline or a cap ends these.
    updater.setStallTimeout(trickle > 0 ? 2000 : 60000);
    updater.setDeadline(trickle > 0 ? 800 : 60000);
    QSignalSpy finished(&updater, &QTarnwick::finished);
    updater.RequestVersion();
    QVERIFY(finished.wait(20000));
    qunsetenv("VELLORA_SERVICE_URL");
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().value<QTarnwick::Outcome>(), outcome);
    QCOMPARE(archiveRequests, onArchive ? 1 : 0);
}

namespace {
QStringList g_messages;
void keepMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    g_messages.append(message);
}

// Runs an in-process update check against the service named in VELLORA_SERVICE_URL, keeping the
// updater's messages in g_messages; unsets the variable afterwards. Whether it finished.
bool checkKeepingMessages(QTarnwick& updater, QSignalSpy& finished)
{
    g_messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
    updater.RequestVersion();
    const bool ended = finished.wait(20000);
    qInstallMessageHandler(previous);
    qunsetenv("VELLORA_SERVICE_URL");
    return ended;
}
} // namespace

void tst_QTarnwick::archiveDeadlineGrowsWithItsSize()
{
    // A large archive arrives in two halves with a pause longer than the base deadline between
    // them: its own deadline, grown with its announced size, is not reached.
    const QByteArray half(512 * 1024, 'z');
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, this, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [&, socket] {
            if (!socket->readAll().contains("Vellora.zip")) {
                // A digest no archive has: the archive is refused before anything is written.
                const QByteArray manifest =
                    R"({"version": 101, "soft_update": {"sha256": ")" + QByteArray(64, '0') + "\"}}";
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(manifest.size()) +
                              "\r\n\r\n" + manifest);
                return;
            }
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(2 * half.size()) +
                          "\r\n\r\n" + half);
            QTimer::singleShot(1000, socket, [&, socket] { socket->write(half); });
        });
    });
    qputenv("VELLORA_SERVICE_URL", QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()).toUtf8());

    QTarnwick updater;
    updater.setStallTimeout(20000);
    updater.setDeadline(300);
    updater.setReleasePublicKey(QByteArray());
    QSignalSpy finished(&updater, &QTarnwick::finished);
    const bool ended = checkKeepingMessages(updater, finished);
    QVERIFY(ended);
    // The whole archive arrived and was checked (and refused: it does not match the digest).
    QVERIFY2(g_messages.contains(QStringLiteral("new bata %1 bytes").arg(2 * half.size())),
             qPrintable(g_messages.join('\n')));
    QCOMPARE(finished.first().first().value<QTarnwick::Outcome>(), QTarnwick::Outcome::Failed);
}

void tst_QTarnwick::releaseOvertakenWhileDownloading_data()
{
    QTest::addColumn<int>("meanwhile");
    QTest::newRow("200 installed meanwhile") << 200;
    // The same version is not newer: an up-to-date installation is never installed again.
    QTest::newRow("101 installed meanwhile") << 101;
}

void tst_QTarnwick::releaseOvertakenWhileDownloading()
{
    QFETCH(int, meanwhile);
    const QByteArray installedText = "{\"version\": " + QByteArray::number(meanwhile) + "}";
    // While the archive of 101 downloads, another updater installs a release. The archive is
    // genuine (it matches its digest) but no longer above the installed version: it is not installed.
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/version.js");
    QVERIFY(!QFile::exists(installed));
    const QByteArray archive = rawZip({RawZipEntry::file("version.js", "{\"version\": 101}")});
    const QByteArray manifest = R"({"version": 101, "soft_update": {"sha256": ")" +
                                QCryptographicHash::hash(archive, QCryptographicHash::Sha256).toHex() +
                                "\"}}";
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, this, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [&, socket] {
            const bool forArchive = socket->readAll().contains("Vellora.zip");
            if (forArchive)
                writeFile(installed, installedText);
            const QByteArray body = forArchive ? archive : manifest;
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
                          "\r\n\r\n" + body);
        });
    });
    qputenv("VELLORA_SERVICE_URL", QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()).toUtf8());

    QTarnwick updater;
    updater.setReleasePublicKey(QByteArray());
    QSignalSpy finished(&updater, &QTarnwick::finished);
    const bool ended = checkKeepingMessages(updater, finished);
    const QByteArray after = readFile(installed);
    QFile::remove(installed);
    QVERIFY(ended);
    QCOMPARE(finished.first().first().value<QTarnwick::Outcome>(), QTarnwick::Outcome::Failed);
    QVERIFY2(g_messages.contains(QStringLiteral("release refused: not above the installed version")),
             qPrintable(g_messages.join('\n')));
    QCOMPARE(after, installedText);
}

void tst_QTarnwick::damagedInstalledVersionAllowsNoDowngrade_data()
{
    QTest::addColumn<QByteArray>("installed"); // the installation's damaged "version.js"
    QTest::addColumn<int>("release");
    QTest::addColumn<bool>("installs");

    // Read like a missing file (100): a genuine, signed old release never goes in over it.
    for (const QByteArray& damaged :
         {QByteArray(), QByteArray("garbage"), QByteArray("{\"version\": \"six\"}"),
          QByteArray("{\"version\": 6e99}"), QByteArray("{\"version\": -1}")})
        QTest::addRow("signed 4 over '%s'", damaged.constData()) << damaged << 4 << false;
    QTest::newRow("signed 101 over 'garbage'") << QByteArray("garbage") << 101 << true;
}

void tst_QTarnwick::damagedInstalledVersionAllowsNoDowngrade()
{
    QFETCH(QByteArray, installed);
    QFETCH(int, release);
    QFETCH(bool, installs);

    const QString source = m_root->filePath(QStringLiteral("source"));
    writeReleaseSource(source, release);
    QVERIFY(QFile::remove(source + QStringLiteral("/QTarnwick")));
    QVERIFY(makeRelease(release, source));
    makeInstallation(6);
    QVERIFY(writeFile(m_install + QStringLiteral("/version.js"), installed));
    const QStringList before = snapshot(m_install);

    StandinService service({QStringLiteral("--release"), m_release});
    QVERIFY(service.start());
    QByteArray log;
    QCOMPARE(runUpdater(&log), 0);
    if (installs) {
        QVERIFY2(log.contains("Outcome::Installed"), log.constData());
        QCOMPARE(readFile(m_install + QStringLiteral("/QVellora")), QByteArray("new main program"));
    } else {
        QVERIFY2(log.contains("Outcome::UpToDate"), log.constData());
        QCOMPARE(snapshot(m_install), before);
    }
}

void tst_QTarnwick::truncatedJournalNeverLabelsAMixedTreeNew()
{
    // A release whose files sort after "version.js": the number must still change last.
    const QString source = m_root->filePath(QStringLiteral("source"));
    writeReleaseSource(source, 7);
    QVERIFY(QFile::remove(source + QStringLiteral("/QTarnwick")));
    writeFile(source + QStringLiteral("/zoneinfo/zone.dat"), "new zones");
    writeFile(source + QStringLiteral("/zz.so"), "new last library");
    QVERIFY(makeRelease(7, source));
    StandinService service({QStringLiteral("--release"), m_release});
    QVERIFY(service.start());

    const QByteArray oldVersion = "{\"version\": 6}";
    const QByteArray newVersion = readFile(m_release + QStringLiteral("/version.js"));
    bool ranThrough = false;
    for (int step = 1; step < 100 && !ranThrough; ++step) {
        QDir(m_install).removeRecursively();
        makeInstallation(6);
        QProcessEnvironment stop;
        stop.insert(QStringLiteral("VELLORA_INSTALL_STOP_AT"), QString::number(step));
        QByteArray log;
        ranThrough = runUpdater(&log, QString(), stop) == 0 && log.contains("Outcome::Installed");
        // The journal of the killed install, torn in half.
        const QString journalPath = m_install + QLatin1Char('/') + CInstallJournal::journalName();
        const QByteArray journal = readFile(journalPath);
        if (journal.contains("\"placing\"") || journal.contains("\"placed\""))
            QVERIFY(writeFile(journalPath, journal.left(journal.size() / 2)));
        CInstallJournal::recover(m_install);
        const QByteArray label = readFile(m_install + QStringLiteral("/version.js"));
        const bool whollyNew = readFile(m_install + QStringLiteral("/zz.so")) == "new last library" &&
                               readFile(m_install + QStringLiteral("/QVellora")) == "new main program" &&
                               readFile(m_install + QStringLiteral("/lib/plugin.so")) == "new plugin";
        // Labelled new only when it is new; otherwise the next update puts the release in whole.
        QVERIFY2(
            label == oldVersion || (label == newVersion && whollyNew),
            qPrintable(QStringLiteral("killed at change %1: %2").arg(step).arg(QString::fromUtf8(label))));
    }
    QVERIFY(ranThrough);
}

void tst_QTarnwick::olderReleaseRefused_data()
{
    QTest::addColumn<int>("installed");
    QTest::addColumn<int>("signedAs");
    QTest::addColumn<int>("announcedAs");

    // A genuine old release, announced under a higher number than the installed one.
    QTest::newRow("7 announced as 9 over 8") << 8 << 7 << 9;
    // The same release announced again under a higher number, to be installed once more.
    QTest::newRow("8 announced as 9 over 8") << 8 << 8 << 9;
}

void tst_QTarnwick::olderReleaseRefused()
{
    QFETCH(int, installed);
    QFETCH(int, signedAs);
    QFETCH(int, announcedAs);

    const QString source = m_root->filePath(QStringLiteral("source"));
    writeReleaseSource(source, signedAs);
    QVERIFY(makeRelease(signedAs, source));
    const QString manifestPath = m_release + QStringLiteral("/version.js");
    QJsonObject manifest = QJsonDocument::fromJson(readFile(manifestPath)).object();
    manifest.insert(QStringLiteral("version"), announcedAs);
    QVERIFY(writeFile(manifestPath, QJsonDocument(manifest).toJson()));
    makeInstallation(installed);
    expectRefused(QStringLiteral("signature does not verify"));
}

void tst_QTarnwick::installedVersionFollowsManifest_data()
{
    QTest::addColumn<QByteArray>("ownManifest"); // the release's own "version.js"; empty: none

    QTest::newRow("release without its own version.js") << QByteArray();
    QTest::newRow("release whose version.js says 5") << QByteArray("{\"version\": 5}");
    QTest::newRow("release whose version.js is broken") << QByteArray("{\"version\":");
}

void tst_QTarnwick::installedVersionFollowsManifest()
{
    QFETCH(QByteArray, ownManifest);

    const QString source = m_root->filePath(QStringLiteral("source"));
    writeReleaseSource(source, 7);
    if (ownManifest.isEmpty())
        QVERIFY(QFile::remove(source + QStringLiteral("/version.js")));
    else
        QVERIFY(writeFile(source + QStringLiteral("/version.js"), ownManifest));
    // The release does not replace the updater here, so that it can run a second time.
    QVERIFY(QFile::remove(source + QStringLiteral("/QTarnwick")));
    QVERIFY(makeRelease(7, source));
    makeInstallation(6);

    StandinService service({QStringLiteral("--release"), m_release});
    QVERIFY(service.start());
    QByteArray log;
    QCOMPARE(runUpdater(&log), 0);
    QVERIFY2(log.contains("updater done: QTarnwick::Outcome::Installed"), log.constData());
    QCOMPARE(readFile(m_install + QStringLiteral("/version.js")),
             readFile(m_release + QStringLiteral("/version.js")));

    // The next close finds the installation up to date and asks for no archive.
    const QStringList installed = snapshot(m_root->path());
    QCOMPARE(runUpdater(&log), 0);
    QVERIFY2(log.contains("updater done: QTarnwick::Outcome::UpToDate"), log.constData());
    QVERIFY2(!log.contains("good"), log.constData());
    QCOMPARE(snapshot(m_root->path()), installed);
}

void tst_QTarnwick::cutInstallLeavesWholeProgram_data()
{
    QTest::addColumn<bool>("kill"); // true: SIGKILL, repaired at the next start; false: SIGTERM
    QTest::newRow("killed") << true;
    QTest::newRow("terminated") << false;
}

void tst_QTarnwick::cutInstallLeavesWholeProgram()
{
    QFETCH(bool, kill);

    // The release leaves the updater alone, so that the one in the installation can repair it.
    const QString source = m_root->filePath(QStringLiteral("source"));
    writeReleaseSource(source, 7);
    QVERIFY(QFile::remove(source + QStringLiteral("/QTarnwick")));
    QVERIFY(makeRelease(7, source));
    StandinService service({QStringLiteral("--release"), m_release});
    QVERIFY(service.start());

    const QString unreachable = StandinService::unusedUrl().toString();
    QStringList before;
    QStringList after;
    bool ranThrough = false;
    int rolledBack = 0;
    for (int step = 1; step < 100 && !ranThrough; ++step) {
        QDir(m_install).removeRecursively();
        makeInstallation(6);
        if (before.isEmpty()) {
            before = snapshot(m_install);
            after = overlaid(overlaid(before, snapshot(source)),
                             {digestLine(QStringLiteral("version.js"),
                                         readFile(m_release + QStringLiteral("/version.js")))});
        }
        QProcessEnvironment stop;
        stop.insert(QStringLiteral("VELLORA_INSTALL_STOP_AT"),
                    QString::number(step) + (kill ? QString() : QStringLiteral(":term")));
        QByteArray log;
        const int exitCode = runUpdater(&log, QString(), stop);
        ranThrough = exitCode == 0 && log.contains("Outcome::Installed");
        const QString where = QStringLiteral("stopped at change %1").arg(step);

        // Whenever it was cut short, every program file is there under its own name.
        for (const QString& line : qAsConst(before)) {
            const QString name = line.section(QLatin1Char(' '), 0, 0);
            QVERIFY2(QFileInfo::exists(m_install + QLatin1Char('/') + name),
                     qPrintable(where + QStringLiteral(": no ") + name));
        }
        if (kill) {
            // The next start of the updater, or of the main program, repairs the installation.
            if (step % 2 == 0) {
                QCOMPARE(runUpdater(&log, unreachable), 0);
            } else {
                QVERIFY(CInstallJournal::recover(m_install) != CInstallJournal::Recovery::Busy);
            }
        }
        const QStringList now = snapshot(m_install);
        if (now != before && now != after)
            qWarning().noquote() << where << log << now;
        QVERIFY2(now == before || now == after, qPrintable(where));
        if (!kill) {
            // Asked to end, the updater puts the old files back unless all new ones were in place.
            QVERIFY2(exitCode == 0 || now == before, qPrintable(where));
            rolledBack += now == before ? 1 : 0;
        }
    }
    QVERIFY(kill || rolledBack > 0);
    QVERIFY(ranThrough);
}

QTEST_GUILESS_MAIN(tst_QTarnwick)
#include "tst_qtarnwick.moc"
