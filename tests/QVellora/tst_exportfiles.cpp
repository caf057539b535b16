// SPDX-License-Identifier: MIT
#include "Export/CExportHistory.h"
#include "Export/CExportSelection.h"
#include "Export/CSelectionFileWriter.h"
#include "Export/QExportThread.h"
#include "Records/CJsonFile.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QWaitCondition>
#include <QtTest>

#include <algorithm>
#include <atomic>

using TestSupport::readFile;
using TestSupport::writeFile;

class tst_ExportFiles : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void selectionWithGaps();
    void selectionKeepsChineseAsText();
    void selectionWithElevenCategoriesReadsInKeyTextOrder();
    void selectionReplacedOnlyAtCommit();
    void selectionInUnwritableFolder();
    void selectionReaderToleratesBadInput_data();
    void selectionReaderToleratesBadInput();

    void historyAdd_data();
    void historyAdd();
    void historyRenumbersInKeyTextOrder();
    void historyKeepsUnparsableFileAside();
    void historyKeepsWrongShapeAside_data();
    void historyKeepsWrongShapeAside();
    void selectionReaderSkipsNamesLeavingTheFolder();
    void historyUnwritableLeavesOldFile();
    void stoppingAnExportEndsItsCopies_data();
    void stoppingAnExportEndsItsCopies();
    void copiesOverlapAndEveryOneIsCounted();

private:
    QString path(const QString& relative) const { return m_dir->filePath(relative); }
    QScopedPointer<QTemporaryDir> m_dir;
};

void tst_ExportFiles::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

void tst_ExportFiles::selectionWithGaps()
{
    const QString folder = path("export");
    QVERIFY(QDir().mkpath(folder));
    CSelectionFileWriter writer(folder);
    QVERIFY(writer.open());
    writer.addPage(0, "Spring", {"/photos/a/1.jpg", "/photos/b/2.JPG", "/photos/c/3.png"});
    writer.addPage(2, "Autumn", {"/photos/d/4.bmp"});
    QVERIFY(writer.commit(QDate(2015, 3, 7)));

    const QByteArray text = readFile(CExportSelection::filePath(folder));
    QVERIFY(text.contains("\n    \"addition\": {")); // indented form
    const QJsonObject root = QJsonDocument::fromJson(text).object();
    const QJsonObject pages = root.value("page").toObject();
    QCOMPARE(pages.keys(), (QStringList{"0", "2"}));
    QCOMPARE(pages.value("0").toObject().value("page_files").toObject().keys(), (QStringList{"0", "1", "2"}));
    QCOMPARE(pages.value("0")
                 .toObject()
                 .value("page_files")
                 .toObject()
                 .value("1")
                 .toObject()
                 .value("picture_name")
                 .toString(),
             QString("2.JPG"));
    QCOMPARE(root.value("addition").toObject().value("save_data").toString(), QString("2015-03-07"));
    QCOMPARE(root.value("addition").toObject().value("save_path").toString(), folder + QDir::separator());

    bool ok = false;
    const CExportSelection read = CExportSelection::read(folder, &ok);
    QVERIFY(ok);
    QCOMPARE(read.saveDate, QString("2015-03-07"));
    QCOMPARE(read.savePath, folder + QDir::separator());
    QCOMPARE(read.pages.size(), 2);
    QCOMPARE(read.pages.at(1).key, QString("2"));
    QCOMPARE(read.pages.at(1).name, QString("Autumn"));
    QCOMPARE(read.pages.at(0).pictureNames, (QStringList{"1.jpg", "2.JPG", "3.png"}));
    QVERIFY(writeFile(folder + "/Autumn/4.bmp", "picture"));
    QCOMPARE(readFile(CExportSelection::picturePath(folder, read.pages.at(1).name,
                                                    read.pages.at(1).pictureNames.at(0))),
             QByteArray("picture"));
}

void tst_ExportFiles::selectionKeepsChineseAsText()
{
    CSelectionFileWriter writer(m_dir->path());
    QVERIFY(writer.open());
    writer.addPage(0, QStringLiteral("家人"), {QStringLiteral("/相册/旅游.jpg")});
    QVERIFY(writer.commit());
    const QByteArray text = readFile(CExportSelection::filePath(m_dir->path()));
    QVERIFY(text.contains(QStringLiteral("\"page_name\": \"家人\"").toUtf8()));
    QVERIFY(text.contains(QStringLiteral("旅游.jpg").toUtf8()));
    QVERIFY(!text.contains("\\u"));
}

void tst_ExportFiles::selectionWithElevenCategoriesReadsInKeyTextOrder()
{
    CSelectionFileWriter writer(m_dir->path());
    QVERIFY(writer.open());
    for (int row = 0; row < 12; ++row)
        writer.addPage(row, QStringLiteral("cat%1").arg(row), {QStringLiteral("/p/%1.jpg").arg(row)});
    QVERIFY(writer.commit());

    QStringList names;
    for (const CExportSelection::Page& page : CExportSelection::read(m_dir->path()).pages)
        names << page.name;
    QCOMPARE(names, (QStringList{"cat0", "cat1", "cat10", "cat11", "cat2", "cat3", "cat4", "cat5", "cat6",
                                 "cat7", "cat8", "cat9"}));
}

void tst_ExportFiles::selectionReplacedOnlyAtCommit()
{
    const QString file = CExportSelection::filePath(m_dir->path());
    QVERIFY(writeFile(file, "{\"page\": {\"0\": {\"page_name\": \"old\"}}}"));
    {
        CSelectionFileWriter abandoned(m_dir->path());
        QVERIFY(abandoned.open());
        abandoned.addPage(0, "new", {"/x/1.jpg"});
        abandoned.cancel();
    }
    {
        CSelectionFileWriter forgotten(m_dir->path());
        QVERIFY(forgotten.open());
        forgotten.addPage(0, "new", {"/x/1.jpg"});
    }
    QCOMPARE(CExportSelection::read(m_dir->path()).pages.value(0).name, QString("old"));

    CSelectionFileWriter writer(m_dir->path());
    QVERIFY(writer.open());
    QVERIFY(writer.commit());
    QVERIFY(CExportSelection::read(m_dir->path()).pages.isEmpty());
    const QJsonObject root = CJsonFile::read(file);
    QVERIFY(root.value("page").isObject());
    QVERIFY(root.value("addition").toObject().contains("save_data"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"select.js"}); // no temporary left
}

void tst_ExportFiles::selectionInUnwritableFolder()
{
    CSelectionFileWriter writer(path("does/not/exist"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^open pro error"));
    QVERIFY(!writer.open());
    QVERIFY(!writer.commit());
}

void tst_ExportFiles::selectionReaderToleratesBadInput_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("pages");

    QTest::newRow("not JSON") << QByteArray("{\"page\": ") << false << 0;
    QTest::newRow("array") << QByteArray("[1, 2]") << false << 0;
    QTest::newRow("page is a string") << QByteArray("{\"page\": \"x\"}") << true << 0;
    QTest::newRow("files missing") << QByteArray("{\"page\": {\"3\": {\"page_name\": \"A\"}}}") << true << 1;
    QTest::newRow("member not an object") << QByteArray("{\"page\": {\"0\": 5}}") << true << 1;
}

void tst_ExportFiles::selectionReaderToleratesBadInput()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, ok);
    QFETCH(int, pages);
    QVERIFY(writeFile(CExportSelection::filePath(m_dir->path()), content));
    bool parsed = !ok;
    const CExportSelection selection = CExportSelection::read(m_dir->path(), &parsed);
    QCOMPARE(parsed, ok);
    QCOMPARE(selection.pages.size(), pages);
    for (const CExportSelection::Page& page : selection.pages)
        QVERIFY(page.pictureNames.isEmpty());
}

void tst_ExportFiles::historyAdd_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("no file") << QByteArray() << "/e/one" << QStringList{"/e/one"};
    QTest::newRow("new folder appended") << QByteArray(R"({"page": {"0": {"save_path": "/e/one"}}})")
                                         << "/e/two" << QStringList{"/e/one", "/e/two"};
    QTest::newRow("listed folder not added again")
        << QByteArray(R"({"page": {"0": {"save_path": "/e/one"}, "1": {"save_path": "/e/two"}}})") << "/e/one"
        << QStringList{"/e/one", "/e/two"};
    QTest::newRow("case differs: a new folder") << QByteArray(R"({"page": {"0": {"save_path": "/e/one"}}})")
                                                << "/e/ONE" << QStringList{"/e/one", "/e/ONE"};
    QTest::newRow("gaps renumbered")
        << QByteArray(R"({"page": {"3": {"save_path": "/e/a"}, "7": {"save_path": "/e/b"}}})") << "/e/c"
        << QStringList{"/e/a", "/e/b", "/e/c"};
    QTest::newRow("member without save_path keeps its place")
        << QByteArray(R"({"page": {"0": {"x": 1}, "1": {"save_path": "/e/b"}}})") << "/e/c"
        << QStringList{"", "/e/b", "/e/c"};
}

void tst_ExportFiles::historyAdd()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, folder);
    QFETCH(QStringList, after);

    const QString history = path("history_data.js");
    if (!before.isEmpty())
        QVERIFY(writeFile(history, before));
    QVERIFY(CExportHistory::addFolder(history, folder));
    QCOMPARE(CExportHistory::readFolders(history), after);

    const QJsonObject pages = CJsonFile::read(history).value("page").toObject();
    QCOMPARE(pages.size(), after.size());
    for (int i = 0; i < after.size(); ++i)
        QCOMPARE(pages.value(QString::number(i)).toObject().value("save_path").toString(), after.at(i));
}

void tst_ExportFiles::historyRenumbersInKeyTextOrder()
{
    const QString history = path("history_data.js");
    QJsonObject pages;
    for (int i = 0; i <= 10; ++i)
        pages.insert(QString::number(i), QJsonObject{{"save_path", QStringLiteral("/e/%1").arg(i)}});
    QVERIFY(CJsonFile::write(history, QJsonObject{{"page", pages}}));

    QVERIFY(CExportHistory::addFolder(history, "/e/new"));
    // Read in key-text order ("0", "1", "10", "2", ...), renumbered in that order, new one last.
    const QStringList renumbered{"/e/0", "/e/1", "/e/10", "/e/2", "/e/3", "/e/4",
                                 "/e/5", "/e/6", "/e/7",  "/e/8", "/e/9", "/e/new"};
    const QJsonObject written = CJsonFile::read(history).value("page").toObject();
    QCOMPARE(written.size(), renumbered.size());
    for (int i = 0; i < renumbered.size(); ++i)
        QCOMPARE(written.value(QString::number(i)).toObject().value("save_path").toString(),
                 renumbered.at(i));
}

void tst_ExportFiles::historyKeepsUnparsableFileAside()
{
    const QString history = path("history_data.js");
    const QByteArray broken("{\"page\": {\"0\": {\"save_path\": \"/e/precious\"");
    QVERIFY(writeFile(history, broken));
    QVERIFY(CExportHistory::readFolders(history).isEmpty());

    QVERIFY(CExportHistory::addFolder(history, "/e/new"));
    QCOMPARE(CExportHistory::readFolders(history), QStringList{"/e/new"});
    QCOMPARE(readFile(history + ".broken"), broken);
}

void tst_ExportFiles::historyKeepsWrongShapeAside_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("page is an array")
        << QByteArray(R"({"page": [{"save_path": "/e/precious"}]})") << QStringList{"/e/new"};
    QTest::newRow("page is a text") << QByteArray(R"({"page": "/e/precious"})") << QStringList{"/e/new"};
    QTest::newRow("member is a text")
        << QByteArray(R"({"page": {"0": "/e/precious", "1": {"save_path": "/e/b"}}})")
        << QStringList{"", "/e/b", "/e/new"};
    QTest::newRow("save_path is a number")
        << QByteArray(R"({"page": {"0": {"save_path": 7}}})") << QStringList{"", "/e/new"};
    QTest::newRow("another top-level member")
        << QByteArray(R"({"pages": {"0": {"save_path": "/e/precious"}}})") << QStringList{"/e/new"};
}

void tst_ExportFiles::historyKeepsWrongShapeAside()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, after);
    const QString history = path("history_data.js");
    QVERIFY(writeFile(history, before));

    QVERIFY(CExportHistory::addFolder(history, "/e/new"));
    QCOMPARE(CExportHistory::readFolders(history), after);
    QCOMPARE(readFile(history + ".broken"), before);
}

void tst_ExportFiles::selectionReaderSkipsNamesLeavingTheFolder()
{
    const QByteArray content = R"({"page": {
        "0": {"page_name": "../outside", "page_files": {"0": {"picture_name": "a.jpg"}}},
        "1": {"page_name": "..", "page_files": {"0": {"picture_name": "a.jpg"}}},
        "2": {"page_name": "sub\\dir", "page_files": {"0": {"picture_name": "a.jpg"}}},
        "3": {"page_name": "/abs", "page_files": {"0": {"picture_name": "a.jpg"}}},
        "4": {"page_name": "海边", "page_files": {
            "0": {"picture_name": "../../x.jpg"}, "1": {"picture_name": "ok.jpg"},
            "2": {"picture_name": ".."}, "3": {"picture_name": "d\\e.jpg"},
            "4": {"picture_name": "/etc/passwd"}, "5": {"picture_name": "..jpg"}}}}})";
    QVERIFY(writeFile(CExportSelection::filePath(m_dir->path()), content));
    bool parsed = false;
    const CExportSelection selection = CExportSelection::read(m_dir->path(), &parsed);
    QVERIFY(parsed);
    QCOMPARE(selection.pages.size(), 1);
    QCOMPARE(selection.pages.at(0).name, QStringLiteral("海边"));
    QCOMPARE(selection.pages.at(0).pictureNames, (QStringList{"ok.jpg", "..jpg"}));
}

void tst_ExportFiles::historyUnwritableLeavesOldFile()
{
    // A folder standing where the file should be: nothing can be written, nothing is lost.
    const QString history = path("history_data.js");
    QVERIFY(QDir().mkpath(history));
    QVERIFY(!CExportHistory::addFolder(history, "/e/new"));
    QVERIFY(QFileInfo(history).isDir());

    const QString missingFolder = path("gone/history_data.js");
    QVERIFY(!CExportHistory::addFolder(missingFolder, "/e/new"));
    QVERIFY(!QFile::exists(missingFolder));
}

void tst_ExportFiles::stoppingAnExportEndsItsCopies_data()
{
    QTest::addColumn<bool>("destroy");
    QTest::newRow("stopped") << false;
    QTest::newRow("page closed") << true;
}

void tst_ExportFiles::stoppingAnExportEndsItsCopies()
{
    QFETCH(bool, destroy);
    // Many large pictures to a slow card: each copy takes a while.
    const int total = 400;
    QStringList pictures;
    for (int i = 0; i < total; ++i)
        pictures << QString("/photos/IMG_%1.jpg").arg(i, 4, 10, QChar('0'));
    std::atomic<int> copies{0};
    auto thread = std::make_unique<QExportThread>();
    thread->SetPlan(CExportPlan(path("export"), {{"Trip", pictures}}));
    thread->SetCopier([&copies](const QString&, const QString&) {
        ++copies;
        QThread::msleep(25);
        return true;
    });
    QVERIFY(QDir().mkpath(path("export")));
    QSignalSpy progress(thread.get(), &QExportThread::exportProgress);
    QSignalSpy finished(thread.get(), &QExportThread::exportFinished);
    thread->start();
    QVERIFY(progress.wait(10000));

    // The user stops the export (or closes the page) after the first picture arrived.
    if (destroy)
        thread.reset();
    else
        thread->Stop();
    const int copiedWhenStopped = copies;
    QVERIFY2(copiedWhenStopped < total, qPrintable(QString::number(copiedWhenStopped)));
    QTest::qWait(100);
    QCOMPARE(int(copies), copiedWhenStopped);
    // A stopped export reports nothing and lists nothing.
    QCOMPARE(finished.count(), 0);
    QVERIFY(!QFile::exists(CExportSelection::filePath(path("export"))));
}

void tst_ExportFiles::copiesOverlapAndEveryOneIsCounted()
{
    // Twelve pictures to a slow card: the first copies hold on until four are under way at once,
    // which only happens when the export really runs them side by side.
    const int total = 12;
    const int atOnce = 4;
    QStringList pictures;
    for (int i = 0; i < total; ++i)
        pictures << QString("/photos/IMG_%1.jpg").arg(i, 4, 10, QChar('0'));
    QMutex mutex;
    QWaitCondition wave;
    int inFlight = 0;
    int mostInFlight = 0;
    bool released = false;
    QStringList copiedOnWorkers;
    QExportThread thread;
    thread.SetPlan(CExportPlan(path("export"), {{"Trip", pictures}}));
    thread.SetCopier([&](const QString& source, const QString&) {
        QMutexLocker lock(&mutex);
        mostInFlight = qMax(mostInFlight, ++inFlight);
        if (inFlight == atOnce)
            released = true;
        wave.wakeAll();
        // Copies one after the other would wait here for good: give up after a while instead.
        while (!released) {
            if (!wave.wait(&mutex, 5000))
                released = true;
        }
        --inFlight;
        copiedOnWorkers << source;
        return !source.endsWith("IMG_0007.jpg");
    });
    QVERIFY(QDir().mkpath(path("export")));
    QSignalSpy progress(&thread, &QExportThread::exportProgress);
    QSignalSpy finished(&thread, &QExportThread::exportFinished);
    thread.start();
    QVERIFY(finished.wait(20000));

    QCOMPARE(mostInFlight, atOnce);
    QCOMPARE(copiedOnWorkers.size(), total);
    // Every copy is counted once, always out of the same total.
    QList<int> counts;
    for (const QList<QVariant>& arguments : progress) {
        counts << arguments.at(0).toInt();
        QCOMPARE(arguments.at(1).toInt(), total);
    }
    std::sort(counts.begin(), counts.end());
    QList<int> expected;
    for (int i = 1; i <= total; ++i)
        expected << i;
    QCOMPARE(counts, expected);
    const CExportResult result = finished.at(0).at(0).value<CExportResult>();
    QCOMPARE(result.outcome, CExportResult::Done);
    QCOMPARE(result.copied, total - 1);
    QCOMPARE(result.failedNames, QStringList{"IMG_0007.jpg"});
}

QTEST_GUILESS_MAIN(tst_ExportFiles)
#include "tst_exportfiles.moc"
