// SPDX-License-Identifier: MIT
// The start-up repair of an installation (CInstallJournal::recover) with journals and lock files
// as a power cut, a kill or a hand leaves them: it finishes or undoes only what a journal of the
// updater proves, never reaches outside the installation and never takes the user's own files.
#include "CInstallJournal.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

enum class Case
{
    EmptyLock,
    EmptyLockTwoDaysOld,
    LockOfAGoneOwner,
    LockOfALiveOwner,
    EntryThroughAFolderLink,
    EntryWithoutExisted,
    AddedFileNotProven,
    TruncatedJournal,
    UsersFilesWithoutJournal,
    KeptOriginalWithoutNewFilePlacing,
    KeptOriginalWithoutNewFilePlaced,
    ScratchNamedByTheJournal
};

bool writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray sha256(const QByteArray& content)
{
    return QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex();
}

// Every entry under root, links as links (never followed), files with their content.
QMap<QString, QByteArray> tree(const QString& root)
{
    QMap<QString, QByteArray> entries;
    const QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = base.relativeFilePath(info.filePath());
        if (info.isSymLink()) {
            entries.insert(name, "-> " + info.symLinkTarget().toUtf8());
        } else if (info.isDir()) {
            entries.insert(name + QLatin1Char('/'), QByteArray());
        } else {
            QFile file(info.filePath());
            file.open(QIODevice::ReadOnly);
            entries.insert(name, file.readAll());
        }
    }
    return entries;
}

QJsonObject entry(const QString& path, bool existed, const QByteArray& newContent)
{
    return QJsonObject{
        {"path", path}, {"existed", existed}, {"sha256", QString::fromLatin1(sha256(newContent))}};
}

QByteArray journal(const QString& phase, const QJsonArray& files, const QStringList& folders = {})
{
    return QJsonDocument(QJsonObject{{"phase", phase},
                                     {"files", files},
                                     {"folders", QJsonArray::fromStringList(folders)},
                                     {"scratch", QJsonArray{"Vellora.zip", "tmpExt"}}})
        .toJson();
}

} // namespace

Q_DECLARE_METATYPE(Case)
Q_DECLARE_METATYPE(CInstallJournal::Recovery)

class tst_InstallRepair : public QObject
{
    Q_OBJECT
private slots:
    void repairTakesOnlyWhatTheJournalProves_data();
    void repairTakesOnlyWhatTheJournalProves();
};

void tst_InstallRepair::repairTakesOnlyWhatTheJournalProves_data()
{
    using R = CInstallJournal::Recovery;
    QTest::addColumn<Case>("situation");
    QTest::addColumn<R>("recovery");
    QTest::addColumn<bool>("oldProgramBack"); // else the installation stays exactly as it was found

    // A power cut right after the lock was created leaves it empty; its owner is gone all the same.
    QTest::newRow("empty lock") << Case::EmptyLock << R::RolledBack << true;
    QTest::newRow("empty lock, two days old") << Case::EmptyLockTwoDaysOld << R::RolledBack << true;
    QTest::newRow("lock of a gone owner") << Case::LockOfAGoneOwner << R::RolledBack << true;
    QTest::newRow("lock of a live owner") << Case::LockOfALiveOwner << R::Busy << false;
    QTest::newRow("entry through a folder link") << Case::EntryThroughAFolderLink << R::RolledBack << false;
    QTest::newRow("entry without \"existed\"") << Case::EntryWithoutExisted << R::RolledBack << false;
    QTest::newRow("added file not proven") << Case::AddedFileNotProven << R::RolledBack << false;
    QTest::newRow("truncated journal") << Case::TruncatedJournal << R::Unreadable << false;
    QTest::newRow("user's files, no journal") << Case::UsersFilesWithoutJournal << R::Nothing << false;
    QTest::newRow("kept original, new file absent, placing")
        << Case::KeptOriginalWithoutNewFilePlacing << R::RolledBack << true;
    QTest::newRow("kept original, new file absent, placed")
        << Case::KeptOriginalWithoutNewFilePlaced << R::Completed << true;
    QTest::newRow("scratch named by the journal") << Case::ScratchNamedByTheJournal << R::Nothing << false;
}

void tst_InstallRepair::repairTakesOnlyWhatTheJournalProves()
{
    QFETCH(Case, situation);
    QFETCH(CInstallJournal::Recovery, recovery);
    QFETCH(bool, oldProgramBack);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString install = root.filePath("install");
    const QString outside = root.filePath("outside");
    auto at = [&install](const QString& name) { return install + QLatin1Char('/') + name; };
    QVERIFY(writeFile(at("QVellora"), "old main program"));
    QVERIFY(writeFile(at("version.js"), "{\"version\": 6}"));
    QVERIFY(writeFile(at("lib/plugin.so"), "old plugin"));
    QVERIFY(writeFile(root.filePath("outside/victim.txt"), "the user's own file"));
    const QMap<QString, QByteArray> original = tree(install);

    // The usual half install: the main program replaced (its original kept aside), a new library added.
    const QByteArray halfInstall = journal(
        "placing", {entry("QVellora", true, "new main program"), entry("lib/new.so", false, "new library")});
    auto cutShort = [&] {
        QVERIFY(QFile::copy(at("QVellora"), at("QVellora.tarnwick-old")));
        QVERIFY(writeFile(at("QVellora"), "new main program"));
        QVERIFY(writeFile(at("lib/new.so"), "new library"));
        QVERIFY(writeFile(at("tarnwick-journal.json"), halfInstall));
    };
    QLockFile liveLock(at("tarnwick.lock"));
    switch (situation) {
    case Case::EmptyLock:
    case Case::EmptyLockTwoDaysOld: {
        cutShort();
        QVERIFY(writeFile(at("tarnwick.lock"), QByteArray()));
        if (situation == Case::EmptyLockTwoDaysOld) {
            QFile lock(at("tarnwick.lock"));
            QVERIFY(lock.open(QIODevice::ReadWrite));
            QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                     QFileDevice::FileModificationTime));
        }
        break;
    }
    case Case::LockOfAGoneOwner:
        cutShort();
        QVERIFY(writeFile(at("tarnwick.lock"),
                          "2147483000\nQTarnwick\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
        break;
    case Case::LockOfALiveOwner:
        cutShort();
        QVERIFY(liveLock.tryLock(0));
        break;
    case Case::EntryThroughAFolderLink:
        QVERIFY(QFile::link(outside, at("linked")));
        QVERIFY(writeFile(at("tarnwick-journal.json"),
                          journal("placing", {entry("linked/victim.txt", false, "the user's own file")})));
        break;
    case Case::EntryWithoutExisted: {
        QJsonObject bare = entry("QVellora", false, "old main program");
        bare.remove("existed");
        QVERIFY(writeFile(at("tarnwick-journal.json"), journal("placing", {bare})));
        break;
    }
    case Case::AddedFileNotProven:
        QVERIFY(
            writeFile(at("tarnwick-journal.json"), journal("placing", {entry("QVellora", false, "other")})));
        break;
    case Case::TruncatedJournal:
        cutShort();
        QVERIFY(writeFile(at("tarnwick-journal.json"), halfInstall.left(halfInstall.size() / 2)));
        break;
    case Case::UsersFilesWithoutJournal:
        QVERIFY(writeFile(at("Vellora.zip"), "a download the user keeps here"));
        QVERIFY(writeFile(at("tmpExt/mine.txt"), "the user's notes"));
        QVERIFY(writeFile(at("notes.tarnwick-new"), "a file of the user's"));
        QVERIFY(writeFile(at("lib/plugin.so.tarnwick-old"), "a file of the user's"));
        break;
    case Case::KeptOriginalWithoutNewFilePlacing:
    case Case::KeptOriginalWithoutNewFilePlaced:
        QVERIFY(QFile::rename(at("QVellora"), at("QVellora.tarnwick-old")));
        QVERIFY(writeFile(at("tarnwick-journal.json"),
                          journal(situation == Case::KeptOriginalWithoutNewFilePlaced ? "placed" : "placing",
                                  {entry("QVellora", true, "new main program")})));
        break;
    case Case::ScratchNamedByTheJournal:
        QVERIFY(writeFile(at("Vellora.zip"), "the downloaded archive"));
        QVERIFY(writeFile(at("tmpExt/QVellora"), "unpacked"));
        QVERIFY(writeFile(at("tarnwick-journal.json"), journal("scratch", {})));
        break;
    }
    const QMap<QString, QByteArray> found = tree(install);

    QCOMPARE(CInstallJournal::recover(install), recovery);

    QMap<QString, QByteArray> now = tree(install);
    // Whatever happened, nothing outside the installation changed.
    QCOMPARE(tree(outside), (QMap<QString, QByteArray>{{"victim.txt", "the user's own file"}}));
    if (oldProgramBack) {
        QCOMPARE(now, original);
        return;
    }
    QMap<QString, QByteArray> expected = found;
    switch (situation) {
    case Case::TruncatedJournal:
        // Kept for a person to read, out of the next update's way.
        expected.insert("tarnwick-journal.json.broken", expected.take("tarnwick-journal.json"));
        break;
    case Case::ScratchNamedByTheJournal:
        expected = original;
        break;
    case Case::LockOfALiveOwner:
    case Case::UsersFilesWithoutJournal:
        break;
    default:
        // A journal that proved nothing is spent.
        expected.remove("tarnwick-journal.json");
    }
    QCOMPARE(now, expected);
}

QTEST_GUILESS_MAIN(tst_InstallRepair)
#include "tst_installrepair.moc"
