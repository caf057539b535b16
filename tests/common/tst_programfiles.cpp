// SPDX-License-Identifier: MIT
#include "CProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

class tst_ProgramFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void recordFolderRule_data();
    void recordFolderRule();
    void systemFolders_data();
    void systemFolders();
    void overrideAddressesEveryRecordFile();
    void configFromInstallationWhenRecordsLiveElsewhere();
};

void tst_ProgramFiles::initTestCase()
{
    // The per-user folder then lies under ~/.qttest, away from a real installation's records.
    QStandardPaths::setTestModeEnabled(true);
}

void tst_ProgramFiles::recordFolderRule_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("nextToProgram");

    QTest::newRow("writable program folder") << "writable" << true;
    // Nothing can be created below a regular file, whatever the user's rights.
    QTest::newRow("program folder below a file") << "below-file" << false;
    QTest::newRow("read-only program folder") << "read-only" << false;
#ifdef Q_OS_LINUX
    // Full for the moment is not "not ours": the records stay, and their writes fail aloud.
    QTest::newRow("program folder out of inodes") << "no-inodes" << true;
    QTest::newRow("program folder on a read-only mount") << "read-only-mount" << false;
#endif
#ifdef Q_OS_UNIX
    // An installed copy run by root could write there, but those are the package manager's files.
    QTest::newRow("installed under /usr") << "system" << false;
#endif
}

void tst_ProgramFiles::recordFolderRule()
{
    QFETCH(QString, kind);
    QFETCH(bool, nextToProgram);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString programFolder = dir.filePath("bin");
    QVERIFY(QDir().mkpath(programFolder));
    if (kind == "below-file") {
        QFile file(dir.filePath("program"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        programFolder = file.fileName() + "/bin";
    } else if (kind == "system") {
        programFolder = "/usr/bin";
    } else if (kind == "read-only") {
        QVERIFY(QFile::setPermissions(programFolder, QFile::ReadOwner | QFile::ExeOwner));
        QFile probe(programFolder + "/probe");
        if (probe.open(QIODevice::WriteOnly)) { // the superuser writes anyway
            probe.remove();
            QFile::setPermissions(programFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("permission bits do not bind this user");
        }
    }

#ifdef Q_OS_LINUX
    struct Unmount
    {
        QString folder;
        ~Unmount()
        {
            if (!folder.isEmpty())
                ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
        }
    } mounted;
    if (kind == "no-inodes" || kind == "read-only-mount") {
        const bool readOnly = kind == "read-only-mount";
        if (::mount("tmpfs", QFile::encodeName(programFolder).constData(), "tmpfs", readOnly ? MS_RDONLY : 0,
                    "size=256k,nr_inodes=8") != 0)
            QSKIP("a small disk is a tmpfs, which only root can mount");
        mounted.folder = programFolder;
        // Every inode taken: no file at all can be created there now.
        for (int i = 0; !readOnly && i < 100; ++i) {
            QFile file(programFolder + QString("/f%1").arg(i));
            if (!file.open(QIODevice::WriteOnly))
                break;
        }
        QFile probe(programFolder + "/probe");
        QVERIFY(!probe.open(QIODevice::WriteOnly));
    }
#endif
    const QString folder = CProgramFiles::recordFolderFor(programFolder);
    QFile::setPermissions(dir.filePath("bin"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (kind == "no-inodes") {
        QCOMPARE(folder, programFolder);
        return;
    }
    if (nextToProgram) {
        QCOMPARE(folder, programFolder);
    } else {
        const QString perUser =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Vellora";
        QCOMPARE(QDir::fromNativeSeparators(folder), perUser);
    }
    // Whichever folder it is, a record file can be written there.
    QFile record(CProgramFiles::join(folder, "user_data.js"));
    QVERIFY2(record.open(QIODevice::WriteOnly), qPrintable(record.fileName()));
    record.remove();
    // The probe leaves nothing behind.
    if (nextToProgram)
        QCOMPARE(QDir(programFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
}

void tst_ProgramFiles::systemFolders_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("system");
#ifdef Q_OS_UNIX
    QTest::newRow("/usr") << "/usr" << true;
    QTest::newRow("/usr/bin") << "/usr/bin" << true;
    QTest::newRow("/opt/vellora/bin") << "/opt/vellora/bin" << true;
    QTest::newRow("/sbin/") << "/sbin/" << true;
    QTest::newRow("/usr/local/../bin") << "/usr/local/../bin" << true;
    // Names that only begin like one.
    QTest::newRow("/usrdata") << "/usrdata" << false;
    QTest::newRow("/optical/bin") << "/optical/bin" << false;
    QTest::newRow("/binaries") << "/binaries" << false;
    QTest::newRow("/home/u/usr") << "/home/u/usr" << false;
    QTest::newRow("/usr/../home/u") << "/usr/../home/u" << false;
#endif
    QTest::newRow("relative usr") << "usr/bin" << false;
}

void tst_ProgramFiles::systemFolders()
{
    QFETCH(QString, folder);
    QFETCH(bool, system);
    QCOMPARE(CProgramFiles::isSystemFolder(folder), system);
}

void tst_ProgramFiles::overrideAddressesEveryRecordFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath("records/nested");
    CProgramFiles::setRecordFolderOverride(folder);
    const QStringList files{CProgramFiles::saveLastFile(), CProgramFiles::userDataFile(),
                            CProgramFiles::configFile(), CProgramFiles::historyFile()};
    CProgramFiles::setRecordFolderOverride(QString());

    QVERIFY(QFileInfo(folder).isDir()); // created on demand
    const QStringList names{"save_last.js", "user_data.js", "config.js", "history_data.js"};
    for (int i = 0; i < files.size(); ++i)
        QCOMPARE(files.at(i), CProgramFiles::join(folder, names.at(i)));
    QVERIFY(!CProgramFiles::saveLastFile().startsWith(folder));
}

void tst_ProgramFiles::configFromInstallationWhenRecordsLiveElsewhere()
{
    QTemporaryDir records;
    QVERIFY(records.isValid());
    CProgramFiles::setRecordFolderOverride(records.path());
    const QString installed = CProgramFiles::path("config.js");
    const QString own = CProgramFiles::join(records.path(), "config.js");

    QVERIFY(!QFile::exists(installed));
    const QString withoutAny = CProgramFiles::configFile();
    QFile file(installed);
    const bool shipped = file.open(QIODevice::WriteOnly) && file.write("{}") == 2;
    file.close();
    const QString fromInstallation = CProgramFiles::configFile();
    QFile ownFile(own);
    const bool written = ownFile.open(QIODevice::WriteOnly);
    ownFile.close();
    const QString fromRecords = CProgramFiles::configFile();
    QFile::remove(installed);
    CProgramFiles::setRecordFolderOverride(QString());

    QVERIFY(shipped && written);
    QCOMPARE(withoutAny, own);
    QCOMPARE(fromInstallation, installed);
    QCOMPARE(fromRecords, own);
}

QTEST_GUILESS_MAIN(tst_ProgramFiles)
#include "tst_programfiles.moc"
