// SPDX-License-Identifier: MIT
#include "AnsweredDialogs.h"
#include "CFileCopy.h"
#include "CNormalFuntion.h"
#include "CSafeWrite.h"
#include "CatePage/QCateMakeWidget.h"
#include "CatePage/QCatePage.h"
#include "Export/CExportHistory.h"
#include "Export/CExportSelection.h"
#include "Export/CSelectionFileWriter.h"
#include "Export/QExportThread.h"
#include "OtherWidget/QDrawImageButton.h"
#include "PageParts.h"
#include "Pictures/CSelectImageData.h"
#include "Records/CJsonFile.h"
#include "Records/CLastSession.h"
#include "Records/CUserDataFile.h"
#include "Selection/CSelection.h"
#include "SmallDisk.h"
#include "TestSupport.h"
#include "mainwindow.h"

#include <QDir>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using TestSupport::readFile;
using TestSupport::writeFile;

// What the user keeps when a write runs out of room: every record file and every exported picture
// is either the old one, whole, or the new one, whole; never empty, torn or missing, and the
// writer says it failed.
class tst_FullDisk : public QObject
{
    Q_OBJECT
private slots:
    void recordFilesSurviveAFullDisk();
    void exportOntoAFullDiskKeepsTheOldPictures();
    void theUserIsToldWhatCouldNotBeSaved();
    void recordWriteCutShortKeepsTheOldFile();
    void copyCutShortLeavesNoPartialFile();
    void brokenFilesAreKeptUnderNamesOfTheirOwn();

private:
    // Names of the files in folder, temporary leftovers included.
    static QStringList filesIn(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
};

namespace {

// A JSON document large enough to need several of Qt's buffers, small enough for the disk.
QJsonObject bulky(int entries)
{
    QJsonObject page;
    for (int i = 0; i < entries; ++i)
        page.insert(QString::number(i),
                    QStringLiteral("/photos/holiday/IMG_%1.jpg").arg(i, 5, 10, QChar('0')));
    return QJsonObject{{QStringLiteral("page"), page}};
}

struct RecordWriter
{
    const char* name;
    // Writes a version of the record at path; `version` makes each one different and larger.
    std::function<bool(const QString& path, int version)> write;
};

QList<RecordWriter> recordWriters()
{
    return {
        {"user_data.js",
         [](const QString& path, int version) {
             QList<QPair<QString, int>> folders;
             for (int i = 0; i < version * 40; ++i)
                 folders.append({QStringLiteral("category %1").arg(i), i});
             const CUserRecord run = CUserRecord::forRun(folders, QDateTime::currentDateTime(),
                                                         QDateTime::currentDateTime(), version, QString());
             return CUserDataFile::addRun(path, run, [] { return QStringLiteral("id"); });
         }},
        {"history_data.js",
         [](const QString& path, int version) {
             bool ok = true;
             for (int i = 0; i < version * 40 && ok; ++i)
                 ok = CExportHistory::addFolder(path,
                                                QStringLiteral("/exports/v%1/folder %2").arg(version).arg(i));
             return ok;
         }},
        {"save_last.js",
         [](const QString& path, int version) {
             CLastSession session;
             QStringList pictures;
             for (int i = 0; i < version * 60; ++i)
                 pictures << QStringLiteral("/photos/v%1/IMG_%2.jpg").arg(version).arg(i);
             session.categories = {{QStringLiteral("海边"), pictures}};
             session.cachedPaths = pictures;
             return session.write(path);
         }},
        {"select.js",
         [](const QString& path, int version) {
             CSelectionFileWriter writer(QFileInfo(path).path());
             if (!writer.open())
                 return false;
             QStringList pictures;
             for (int i = 0; i < version * 60; ++i)
                 pictures << QStringLiteral("/photos/v%1/IMG_%2.jpg").arg(version).arg(i);
             writer.addPage(0, QStringLiteral("Trip"), pictures);
             return writer.commit(QDate(2026, 12, 9));
         }},
    };
}

} // namespace

void tst_FullDisk::recordFilesSurviveAFullDisk()
{
    SmallDisk disk;
    SKIP_UNLESS_MOUNTED(disk);
    QHash<QString, QByteArray> before;
    for (const RecordWriter& writer : recordWriters()) {
        const QString path = disk.filePath(QLatin1String(writer.name));
        QVERIFY2(writer.write(path, 1), writer.name);
        before.insert(path, readFile(path));
        QVERIFY(!before.value(path).isEmpty());
    }

    disk.fill();
    for (const RecordWriter& writer : recordWriters()) {
        const QString path = disk.filePath(QLatin1String(writer.name));
        // A small change fits in Qt's buffer and only fails at the flush: it must still fail.
        QVERIFY2(!writer.write(path, 2), writer.name);
        QVERIFY2(readFile(path) == before.value(path), writer.name);
    }
    // No temporary files left to take up the little room there is.
    QStringList expected = before.keys();
    for (QString& path : expected)
        path = QFileInfo(path).fileName();
    expected << QStringLiteral(".filler");
    expected.sort();
    QCOMPARE(filesIn(disk.path()), expected);

    // With room again the same writers succeed: nothing was left half-way that blocks them.
    disk.release();
    for (const RecordWriter& writer : recordWriters())
        QVERIFY2(writer.write(disk.filePath(QLatin1String(writer.name)), 2), writer.name);
}

void tst_FullDisk::exportOntoAFullDiskKeepsTheOldPictures()
{
    SmallDisk disk(1024 * 1024);
    SKIP_UNLESS_MOUNTED(disk);
    QTemporaryDir sources;
    QVERIFY(sources.isValid());
    // The new pictures are bigger than the room left; the old ones are already on the disk.
    const QByteArray newBytes(200 * 1024, 'n');
    const QString first = sources.filePath(QStringLiteral("card/IMG_0001.jpg"));
    const QString second = sources.filePath(QStringLiteral("card/IMG_0002.jpg"));
    QVERIFY(writeFile(first, newBytes));
    QVERIFY(writeFile(second, newBytes));

    const QString exportFolder = disk.filePath(QStringLiteral("prints"));
    const QString oldPicture = QDir(exportFolder).filePath(QStringLiteral("Trip/IMG_0001.jpg"));
    const QByteArray oldBytes(50 * 1024, 'o');
    QVERIFY(writeFile(oldPicture, oldBytes));
    disk.fill(64 * 1024);

    QExportThread thread;
    thread.SetPlan(CExportPlan(exportFolder, {{QStringLiteral("Trip"), {first, second}}}));
    QSignalSpy finished(&thread, &QExportThread::exportFinished);
    thread.start();
    QVERIFY(finished.wait(30000));
    const CExportResult result = finished.first().first().value<CExportResult>();

    // Both copies are reported as failed, and the picture of the last export is still there.
    QCOMPARE(result.copied, 0);
    QCOMPARE(result.failedNames,
             (QStringList{QStringLiteral("IMG_0001.jpg"), QStringLiteral("IMG_0002.jpg")}));
    QCOMPARE(readFile(oldPicture), oldBytes);
    for (const QString& name : filesIn(QFileInfo(oldPicture).path())) {
        const QByteArray bytes = readFile(QDir(QFileInfo(oldPicture).path()).filePath(name));
        QVERIFY2(bytes == oldBytes || bytes == newBytes, qPrintable(name + " is a partial copy"));
    }
}

void tst_FullDisk::theUserIsToldWhatCouldNotBeSaved()
{
    SmallDisk disk;
    SKIP_UNLESS_MOUNTED(disk);
    // The record files live on the full disk; the pictures and the export folder do not.
    AnsweredDialogs answers(disk.path());
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    const QString picture = elsewhere.filePath(QStringLiteral("card/IMG_0001.jpg"));
    QVERIFY(TestSupport::writeImage(picture, QSize(40, 30)));
    QVERIFY(CExportHistory::addFolder(CProgramFiles::historyFile(), QStringLiteral("/exports/earlier")));
    const QByteArray history = readFile(CProgramFiles::historyFile());
    disk.fill();

    {
        // The export itself succeeds; the user learns that the history page will not list it.
        QCatePage page;
        CSelection selection;
        CSelectImageData thumbnails;
        thumbnails.AddImage(picture, QPixmap(picture));
        selection.addPictures(selection.addCategory(QStringLiteral("Trip")), {picture});
        page.SetSelection(&selection, &thumbnails);
        page.ShowCategories();
        answers.folder = elsewhere.filePath(QStringLiteral("prints"));
        QVERIFY(QDir().mkpath(answers.folder));
        QSignalSpy finished(&page, &QCatePage::sigExportFinished);
        QTest::mouseClick(PageParts::find<QCateMakeWidget>(&page, "makeWidget")
                              ->findChild<QDrawImageButton*>(QStringLiteral("exportButton")),
                          Qt::LeftButton);
        QVERIFY(finished.count() == 1 || finished.wait(20000));
        QVERIFY(QFile::exists(elsewhere.filePath(QStringLiteral("prints/Trip/IMG_0001.jpg"))));
        QCOMPARE(answers.notices.size(), 1);
        QVERIFY2(answers.notices.first().contains(QStringLiteral("导出记录未能保存")),
                 qPrintable(answers.notices.first()));
        QCOMPARE(readFile(CProgramFiles::historyFile()), history);
    }
    {
        // Closing the window: the run's record cannot be written, and the user is told so.
        answers.notices.clear();
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.close());
        QCOMPARE(answers.notices.size(), 1);
        QVERIFY2(answers.notices.first().contains(QStringLiteral("本次的工作记录未能保存")),
                 qPrintable(answers.notices.first()));
        QVERIFY(!QFile::exists(CProgramFiles::userDataFile()));
    }
}

void tst_FullDisk::recordWriteCutShortKeepsTheOldFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("history_data.js"));
    QVERIFY(CJsonFile::write(path, bulky(10)));
    const QByteArray before = readFile(path);
    {
        // Room for the old file but not for the new one: the write fails partway.
        FileSizeCap cap(before.size() + 1024);
        QVERIFY(!CJsonFile::write(path, bulky(400)));
        // Also when all of it fits in the write buffer and only the flush fails.
        QVERIFY(!writeFileSafely(path, QByteArray(before.size() + 4096, '{')));
    }
    QCOMPARE(readFile(path), before);
    bool parsed = false;
    QCOMPARE(CJsonFile::read(path, &parsed), bulky(10));
    QVERIFY(parsed);
    QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("history_data.js")});
}

void tst_FullDisk::copyCutShortLeavesNoPartialFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = dir.filePath(QStringLiteral("card/IMG_0001.jpg"));
    QVERIFY(writeFile(source, QByteArray(256 * 1024, 's')));
    const QString fresh = dir.filePath(QStringLiteral("out/IMG_0001.jpg"));
    const QString existing = dir.filePath(QStringLiteral("out/IMG_0002.jpg"));
    QVERIFY(writeFile(existing, "old picture"));
    {
        FileSizeCap cap(64 * 1024);
        QVERIFY(!copyFileContents(source, fresh));
        QVERIFY(!copyFileContents(source, existing, true));
        QVERIFY(!copyFileToPath(source, existing, true));
    }
    QVERIFY(!QFile::exists(fresh));
    QCOMPARE(readFile(existing), QByteArray("old picture"));
    QCOMPARE(filesIn(dir.filePath(QStringLiteral("out"))), QStringList{QStringLiteral("IMG_0002.jpg")});

    // With room, replacing puts the whole new picture under the old name.
    QVERIFY(copyFileToPath(source, existing, true));
    QCOMPARE(readFile(existing), readFile(source));
}

void tst_FullDisk::brokenFilesAreKeptUnderNamesOfTheirOwn()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString history = dir.filePath(QStringLiteral("history_data.js"));
    // Three different broken files in turn: each is kept, none replaces an earlier copy.
    const QList<QByteArray> broken{"{\"page\": {\"0\"", "[1, 2, 3]", "\xff\xfe not json"};
    for (const QByteArray& bytes : broken) {
        QVERIFY(writeFile(history, bytes));
        QVERIFY(CExportHistory::addFolder(history, QStringLiteral("/exports/new")));
        QCOMPARE(CExportHistory::readFolders(history), QStringList{QStringLiteral("/exports/new")});
    }
    QCOMPARE(readFile(history + ".broken"), broken.at(0));
    QCOMPARE(readFile(history + ".broken.2"), broken.at(1));
    QCOMPARE(readFile(history + ".broken.3"), broken.at(2));

    // The usage records: an unreadable file is kept aside before the run is recorded.
    const QString usage = dir.filePath(QStringLiteral("user_data.js"));
    QVERIFY(writeFile(usage, "{\"records\": {\"0\": {\"folders\""));
    const CUserRecord run = CUserRecord::forRun({{QStringLiteral("A"), 2}}, QDateTime::currentDateTime(),
                                                QDateTime::currentDateTime(), 0, QString());
    QVERIFY(CUserDataFile::addRun(usage, run, [] { return QStringLiteral("id"); }));
    QCOMPARE(readFile(usage + ".broken"), QByteArray("{\"records\": {\"0\": {\"folders\""));
    QCOMPARE(CJsonFile::read(usage)[QStringLiteral("records")].toObject().size(), 1);
}

QTEST_MAIN(tst_FullDisk)
#include "tst_fulldisk.moc"
