// SPDX-License-Identifier: MIT
#include "CProgramFiles.h"
#include "CategoryParts.h"
#include "Dialogs/QBusyDialog.h"
#include "Dialogs/QUserDialogs.h"
#include "EditPageActions.h"
#include "Editing/QSelectionEditor.h"
#include "InitPage/QInitPage.h"
#include "OtherWidget/QDrawImageButton.h"
#include "PageParts.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Pictures/CSelectImageData.h"
#include "Records/CJsonFile.h"
#include "Records/CLastSession.h"
#include "Records/CSessionAutosave.h"
#include "Selection/CSelection.h"
#include "StandinService.h"
#include "mainwindow.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QInputMethodEvent>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

using namespace EditPageActions;

// The edit page's work surviving the end of a run: saved at close and while working, brought
// back by "continue the last session", with the close-time usage record beside it.
class tst_SessionRestore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sortingSurvivesCloseAndContinue();
    void closeWithoutWorkKeepsTheLastSession();
    void manyCategoriesComeBackInKeyTextOrder();
    void restoreTakesExactPathsAndTheSavedFolder_data();
    void restoreTakesExactPathsAndTheSavedFolder();
    void changesReachTheFileWithoutAClose();
    void killedWhileSortingLosesAtMostTheLastSeconds();
    void picturesThatCannotBeShownStayInTheRecord();
    void unreadableSessionIsKeptAside();
    void aRestoreCanBeCancelled();
    void manySpellingsOfOnePictureRestoreOnePicture();
    void pictureTakenOutOfARestoredRowStaysOut();

private:
    static bool showWindow(QWidget& window);
    static QAction* action(MainWindow& window, const QString& text);
    // Enters a name into a category row's name box, as the user does.
    static void nameRow(QEditPage* page, int row, const QString& name);
    // Waits for a restore to end; false when its wait dialog never closed.
    static bool waitForRestore(QEditPage* page);
    static QList<CCategory> rows(QEditPage* page);
    // A numbered list as the session file gives it back: "0", "1", "10", "11", ..., "2", ...
    static QStringList inKeyTextOrder(const QStringList& list);
    QString sessionFile() const { return m_dir->filePath("records/save_last.js"); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_SessionRestore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkpath("records"));
    CProgramFiles::setRecordFolderOverride(m_dir->filePath("records"));
    qputenv("VELLORA_SERVICE_URL", StandinService::unusedUrl().toString().toUtf8());
}

void tst_SessionRestore::cleanup()
{
    QUserDialogs::clearAnswers();
    CProgramFiles::setRecordFolderOverride(QString());
    m_dir.reset();
}

bool tst_SessionRestore::showWindow(QWidget& window)
{
    window.resize(1300, 800);
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

QAction* tst_SessionRestore::action(MainWindow& window, const QString& text)
{
    for (QAction* menu : window.menuBar()->actions()) {
        for (QAction* candidate : menu->menu()->actions()) {
            if (candidate->text() == text)
                return candidate;
        }
    }
    return nullptr;
}

void tst_SessionRestore::nameRow(QEditPage* page, int row, const QString& name)
{
    QLineEdit* edit = CategoryParts::nameBox(CategoryParts::row(page, row))->lineEdit();
    edit->selectAll();
    // Committed by an input method, as Chinese names are typed.
    QInputMethodEvent typed;
    typed.setCommitString(name);
    QApplication::sendEvent(edit, &typed);
}

bool tst_SessionRestore::waitForRestore(QEditPage* page)
{
    return QTest::qWaitFor([page] { return !PageParts::find<QBusyDialog>(page, "loadWait")->isVisible(); },
                           30000);
}

QList<CCategory> tst_SessionRestore::rows(QEditPage* page)
{
    QList<CCategory> categories;
    for (int i = 0; i < CategoryParts::rowCount(page); ++i) {
        QCategoryRow* row = CategoryParts::row(page, i);
        categories.append({CategoryParts::name(row), CategoryParts::paths(row)});
    }
    return categories;
}

QStringList tst_SessionRestore::inKeyTextOrder(const QStringList& list)
{
    QMap<QString, QString> byKey;
    for (int i = 0; i < list.size(); ++i)
        byKey.insert(QString::number(i), list.at(i));
    return byKey.values();
}

void tst_SessionRestore::sortingSurvivesCloseAndContinue()
{
    const QStringList photos = writePictures(m_dir->path(), "photos", 4, QSize(60, 40));
    QCOMPARE(photos.size(), 4);
    QUserDialogs::Answers answers;
    answers.folder = [this](const QString&, const QString&) { return m_dir->filePath("photos"); };
    QUserDialogs::setAnswers(answers);
    StandinService service;
    QVERIFY(service.start());
    const QList<QColor> colours = CSelection::colors();
    QList<CCategory> sorted;
    QStringList shown; // the grid's order: the search's

    {
        MainWindow window;
        QVERIFY(showWindow(window));
        QTest::mouseClick(window.initPage()->GetScanButton(), Qt::LeftButton);
        QEditPage* page = window.editPage();
        QTRY_COMPARE(PageParts::find<QPhotoViewListWidget>(page, "photoList")->count(), 4);
        shown = tilePaths(PageParts::find<QPhotoViewListWidget>(page, "photoList"));
        sorted = {{"A", shown.mid(0, 3)}, {"B", {}}};
        QVERIFY(dragTicked(*page, {0, 1, 2}, 0));
        QCOMPARE(CategoryParts::rowCount(page), 2); // the free row below "A"
        nameRow(page, 0, "A");
        nameRow(page, 1, "B");
        QVERIFY(window.close());

        const CLastSession saved = CLastSession::read(sessionFile());
        QCOMPARE(saved.categories, sorted);
        QCOMPARE(saved.sourceKind, int(CLastSession::SearchResult));
        QCOMPARE(saved.chosenFolder, m_dir->filePath("photos"));
        QCOMPARE(saved.cachedPaths, shown);

        // The run's usage record: counts as numbers, no uploads, the untouched survey's answer.
        const QJsonObject run =
            CJsonFile::read(CProgramFiles::userDataFile())["records"].toObject()["0"].toObject();
        const QJsonObject folders = run["folders"].toObject();
        QCOMPARE(folders.size(), 2);
        QCOMPARE(folders["0"].toObject(), (QJsonObject{{"folder_name", "A"}, {"pic_number", 3}}));
        QCOMPARE(folders["1"].toObject(), (QJsonObject{{"folder_name", "B"}, {"pic_number", 0}}));
        QCOMPARE(run["time"].toObject()["upload_count"].toVariant(), QVariant(0));
        QCOMPARE(run["time"].toObject()["feedback"].toVariant(), QVariant(QStringLiteral("满意")));
        // The file is left to the usage reporter: the window posts nothing of its own on its way out.
        QTest::qWait(300);
        QCOMPARE(service.records("usage_reports.json", "reports").size(), 0);
    }

    // Two cycles: continued from the menu, closed, continued from the start page's button.
    for (int cycle = 0; cycle < 2; ++cycle) {
        MainWindow window;
        QVERIFY(showWindow(window));
        QEditPage* page = window.editPage();
        if (cycle == 0) {
            QAction* resume = action(window, QStringLiteral("&继续上次扫描"));
            QVERIFY(resume && resume->isEnabled());
            resume->trigger();
        } else {
            QTest::mouseClick(window.initPage()->GetLastButton(), Qt::LeftButton);
        }
        QCOMPARE(window.pageStack()->currentIndex(), 1);
        QVERIFY(PageParts::find<QBusyDialog>(page, "loadWait")->isVisible());
        QVERIFY(waitForRestore(page));

        // Same names, same pictures, the colours in turn; "B" is the one free row.
        QCOMPARE(rows(page), sorted);
        QCOMPARE(CategoryParts::colour(CategoryParts::row(page, 0)), colours.at(0));
        QCOMPARE(CategoryParts::colour(CategoryParts::row(page, 1)), colours.at(1));
        QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(page, "photoList");
        QCOMPARE(tilePaths(grid), shown);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(grid->model()->index(i, 0).data(CPictureListModel::MarksRole).value<QList<QColor>>(),
                     i < 3 ? QList<QColor>{colours.at(0)} : QList<QColor>{});
        if (cycle == 1) {
            // Restored rows answer like new ones: filling "B" adds a free row, the add button a row.
            QVERIFY(dragTicked(*page, {3}, 1));
            QCOMPARE(CategoryParts::rowCount(page), 3);
            QTest::mouseClick(PageParts::find<QDrawImageButton>(CategoryParts::row(page, 0), "addCategory"),
                              Qt::LeftButton);
            QCOMPARE(CategoryParts::rowCount(page), 4);
        }
        QVERIFY(window.close());
    }
}

void tst_SessionRestore::closeWithoutWorkKeepsTheLastSession()
{
    CLastSession last;
    last.categories = {{"家人", {"/photos/a.jpg"}}, {"B", {}}};
    last.chosenFolder = "/photos";
    last.cachedPaths = QStringList{"/photos/a.jpg"};
    QVERIFY(last.write(sessionFile()));
    QVERIFY(TestSupport::setModified(sessionFile(), QDateTime(QDate(2020, 1, 2), QTime(3, 4))));
    const QByteArray before = TestSupport::readFile(sessionFile());

    {
        MainWindow window;
        QVERIFY(showWindow(window));
        // Looking at the pages is not work.
        window.pageStack()->setCurrentIndex(1);
        QVERIFY(window.close());
    }
    QCOMPARE(TestSupport::readFile(sessionFile()), before);
    QCOMPARE(QFileInfo(sessionFile()).lastModified(), QDateTime(QDate(2020, 1, 2), QTime(3, 4)));
    // The usage record is still written, with no categories.
    const QJsonObject records = CJsonFile::read(CProgramFiles::userDataFile())["records"].toObject();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records["0"].toObject()["folders"].toObject(), QJsonObject());
}

void tst_SessionRestore::manyCategoriesComeBackInKeyTextOrder()
{
    const QStringList photos = writePictures(m_dir->path(), "many", 15);
    QCOMPARE(photos.size(), 15);

    QEditPage page;
    QVERIFY(showWindow(page));
    // Without a session file nothing happens: no wait dialog, no rows.
    page.ReOpenLastData();
    QVERIFY(!PageParts::find<QBusyDialog>(&page, "loadWait")->isVisible());
    QCOMPARE(CategoryParts::rowCount(&page), 0);

    CLastSession last;
    for (int i = 0; i < 15; ++i)
        last.categories.append({QString("c%1").arg(i), {photos.at(i)}});
    last.chosenFolder = m_dir->filePath("many");
    last.cachedPaths = photos;
    QVERIFY(last.write(sessionFile()));

    page.ReOpenLastData();
    QVERIFY(waitForRestore(&page));
    QCOMPARE(CategoryParts::rowCount(&page), 16);
    QStringList keys;
    for (int i = 0; i < 15; ++i)
        keys << QString::number(i);
    std::sort(keys.begin(), keys.end()); // "0", "1", "10", ..., "14", "2", ...
    const QList<QColor> colours = CSelection::colors();
    for (int row = 0; row < 15; ++row) {
        const int saved = keys.at(row).toInt();
        QCOMPARE(CategoryParts::name(CategoryParts::row(&page, row)), QString("c%1").arg(saved));
        QCOMPARE(CategoryParts::paths(CategoryParts::row(&page, row)), QStringList{photos.at(saved)});
        // Rows 13 to 15 wrap round to the first colours.
        QCOMPARE(CategoryParts::colour(CategoryParts::row(&page, row)), colours.at(row % 12));
    }
    // Every restored row holds a picture: one free row below them, with the next colour.
    QVERIFY(CategoryParts::paths(CategoryParts::row(&page, 15)).isEmpty());
    QCOMPARE(CategoryParts::colour(CategoryParts::row(&page, 15)), colours.at(3));
}

void tst_SessionRestore::restoreTakesExactPathsAndTheSavedFolder_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("search result") << int(CLastSession::SearchResult);
    QTest::newRow("chosen folder") << int(CLastSession::ChosenFolder);
}

void tst_SessionRestore::restoreTakesExactPathsAndTheSavedFolder()
{
    QFETCH(int, kind);
    QStringList files;
    for (const char* name : {"trip/1.jpg", "trip/11.jpg", "trip/21.jpg", "trip/sub/1.jpg", "trip2/1.jpg"}) {
        files << m_dir->filePath(name);
        QVERIFY(TestSupport::writeImage(files.last(), QSize(30, 20)));
    }
    CLastSession last;
    last.categories = {{"one", {files.at(0)}}, {"eleven", {files.at(1), m_dir->filePath("trip/gone.jpg")}}};
    last.sourceKind = kind;
    last.chosenFolder = QDir::toNativeSeparators(m_dir->filePath("trip"));
    last.cachedPaths = files;
    last.cachedPaths << m_dir->filePath("trip/gone.jpg");
    QVERIFY(last.write(sessionFile()));

    QEditPage page;
    QVERIFY(showWindow(page));
    page.ReOpenLastData();
    QVERIFY(waitForRestore(&page));

    // "1.jpg" brings back only itself; a picture that is gone is left out.
    const QList<CCategory> expected{{"one", {files.at(0)}}, {"eleven", {files.at(1)}}, {"点击命名", {}}};
    QCOMPARE(rows(&page), expected);
    // The grid: the saved folder's pictures at any depth, not those of "trip2"; the one that is
    // gone leaves it as the workers find it.
    QTRY_COMPARE(tilePaths(PageParts::find<QPhotoViewListWidget>(&page, "photoList")), files.mid(0, 4));
    QCOMPARE(page.CurrentSession().chosenFolder, last.chosenFolder);
    QCOMPARE(page.CurrentSession().sourceKind, kind);

    const QModelIndex current = PageParts::find<QTreeView>(&page, "folderTree")->currentIndex();
    if (kind == CLastSession::ChosenFolder)
        QCOMPARE(current,
                 PageParts::find<QFileSystemModel>(&page, "folderModel")->index(m_dir->filePath("trip")));
    else
        QVERIFY(!current.isValid());
}

void tst_SessionRestore::changesReachTheFileWithoutAClose()
{
    const QStringList photos = writePictures(m_dir->path(), "photos", 12, QSize(40, 30));
    QCOMPARE(photos.size(), 12);
    QVERIFY(QDir(m_dir->path()).mkpath("other"));
    auto saved = [this] { return CLastSession::read(sessionFile()); };

    QEditPage page;
    QVERIFY(showWindow(page));
    QSignalSpy writes(PageParts::find<CSessionAutosave>(&page, "sessionAutosave"), &CSessionAutosave::saved);
    page.SetInitScanPath(m_dir->filePath("photos"));
    page.SetInitPageImageList(photos);
    QTRY_COMPARE(PageParts::find<QPhotoViewListWidget>(&page, "photoList")->count(), 12);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(sessionFile()), 10000);

    // Thumbnails arriving reach the file as well (read back in key-text order).
    QTRY_COMPARE_WITH_TIMEOUT(saved().cachedPaths, inKeyTextOrder(photos), 10000);

    // A drag of ten pictures is written once.
    writes.clear();
    QVERIFY(dragTicked(page, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0));
    QTRY_COMPARE_WITH_TIMEOUT(saved().categories.value(0).pictures, photos.mid(0, 10), 10000);
    QVERIFY(!writes.wait(3000));
    QCOMPARE(writes.count(), 1);
    QCOMPARE(saved().categories.size(), 2);

    // A new name, a removed picture, another folder.
    nameRow(&page, 0, "海边 & 山+");
    QTRY_COMPARE_WITH_TIMEOUT(saved().categories.value(0).name, QString("海边 & 山+"), 10000);
    QCategoryPicturesView* first = CategoryParts::pictures(CategoryParts::row(&page, 0));
    first->setCurrentIndex(first->model()->index(0, 0));
    QTest::keyClick(first, Qt::Key_Delete);
    QTRY_COMPARE_WITH_TIMEOUT(saved().categories.value(0).pictures, photos.mid(1, 9), 10000);
    page.OpenFolder(m_dir->filePath("other"), true);
    QTRY_COMPARE_WITH_TIMEOUT(saved().chosenFolder, m_dir->filePath("other"), 10000);
    QCOMPARE(saved().sourceKind, int(CLastSession::ChosenFolder));
}

// A session file naming one picture 20,000 ways (as a hostile or broken writer might) restores
// one picture: one thumbnail made and kept, one tile, one category entry.
void tst_SessionRestore::manySpellingsOfOnePictureRestoreOnePicture()
{
    const QStringList photos = writePictures(m_dir->path(), "roll", 1);
    QCOMPARE(photos.size(), 1);
    for (int i = 0; i < 100; ++i)
        QVERIFY(QDir().mkpath(m_dir->filePath(QString("roll/s%1").arg(i))));
    QStringList spellings{photos.first()};
    const QString name = QFileInfo(photos.first()).fileName();
    for (int dots = 0; spellings.size() < 20000; ++dots) {
        for (int sub = 0; sub < 100 && spellings.size() < 20000; ++sub)
            spellings << m_dir->filePath("roll/") + QString("./").repeated(dots) +
                             QString("s%1/../").arg(sub) + name;
    }
    CLastSession last;
    last.categories.append({"Roll", spellings.mid(0, 500)});
    last.chosenFolder = m_dir->filePath("roll");
    last.cachedPaths = spellings;
    QVERIFY(last.write(sessionFile()));

    QEditPage page;
    QVERIFY(showWindow(page));
    page.ReOpenLastData();
    QVERIFY(waitForRestore(&page));
    QCOMPARE(page.GetSelectImageData()->Count(), 1);
    QCOMPARE(tilePaths(PageParts::find<QPhotoViewListWidget>(&page, "photoList")), photos);
    QCOMPARE(CategoryParts::paths(CategoryParts::row(&page, 0)), photos);
    QCOMPARE(page.CurrentSession().cachedPaths, photos);
}

// The killed run: this test program again, told by the environment to sort instead of testing.
// The monotonic clock, which on Linux all processes share.
static qint64 monotonicMs()
{
    QElapsedTimer clock;
    clock.start();
    return clock.msecsSinceReference();
}

namespace SortingChild {
const char Records[] = "VELLORA_TEST_SORTING_RECORDS";
const char Photos[] = "VELLORA_TEST_SORTING_PHOTOS";

// Hands the photos to an edit page, then puts one more into the first category every 100 ms,
// printing "step <pictures in the category> <monotonic ms>" after each, until it is killed.
int run()
{
    CProgramFiles::setRecordFolderOverride(qEnvironmentVariable(Records));
    const QString folder = qEnvironmentVariable(Photos);
    QStringList photos;
    for (const QFileInfo& file : QDir(folder).entryInfoList({"*.jpg"}, QDir::Files, QDir::Name))
        photos << file.absoluteFilePath();
    QEditPage page;
    page.show();
    page.SetInitScanPath(folder);
    page.SetInitPageImageList(photos);
    QTextStream out(stdout);
    int next = 0;
    QTimer step;
    QObject::connect(&step, &QTimer::timeout, [&] {
        const QImage thumbnail = PageParts::find<QPhotoViewListWidget>(&page, "photoList")
                                     ->pictureModel()
                                     ->thumbnail(photos.value(next));
        if (thumbnail.isNull())
            return; // not loaded yet
        page.selectionEditor()->putInto(0, {photos.at(next++)});
        out << "step " << next << ' ' << monotonicMs() << Qt::endl;
    });
    step.start(100);
    return QApplication::exec();
}
} // namespace SortingChild

void tst_SessionRestore::killedWhileSortingLosesAtMostTheLastSeconds()
{
#ifndef Q_OS_UNIX
    QSKIP("kills the sorting run with SIGKILL");
#endif
    const QStringList photos = writePictures(m_dir->path(), "photos", 120, QSize(40, 30));
    QCOMPARE(photos.size(), 120);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(SortingChild::Records, m_dir->filePath("records"));
    environment.insert(SortingChild::Photos, m_dir->filePath("photos"));

    // Killed at different moments of the sorting: the file always parses and lags at most the
    // autosave delay (plus a generous allowance for a loaded machine).
    for (int stepsBeforeKill : {50, 75}) {
        QFile::remove(sessionFile());
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted(10000));
        QMap<int, qint64> stepTimes;
        QVERIFY(QTest::qWaitFor(
            [&] {
                while (child.canReadLine()) {
                    const QList<QByteArray> parts = child.readLine().trimmed().split(' ');
                    if (parts.size() == 3 && parts.at(0) == "step")
                        stepTimes.insert(parts.at(1).toInt(), parts.at(2).toLongLong());
                }
                return stepTimes.size() >= stepsBeforeKill || child.state() == QProcess::NotRunning;
            },
            60000));
        const qint64 killedAt = monotonicMs();
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        bool ok = false;
        const CLastSession saved = CLastSession::read(sessionFile(), &ok);
        QVERIFY(ok);
        QVERIFY(!saved.categories.isEmpty());
        const QStringList kept = saved.categories.first().pictures;
        // A state the run really had: the first pictures in order.
        QCOMPARE(kept, inKeyTextOrder(photos.mid(0, kept.size())));
        int settled = 0; // steps that were 2 s (and an allowance) old when the run was killed
        for (auto it = stepTimes.cbegin(); it != stepTimes.cend(); ++it) {
            if (it.value() <= killedAt - 2000 - 1500)
                settled = it.key();
        }
        QVERIFY2(kept.size() >= settled,
                 qPrintable(QString("%1 kept, %2 settled").arg(kept.size()).arg(settled)));
        QVERIFY(settled > 0);
    }
}

void tst_SessionRestore::picturesThatCannotBeShownStayInTheRecord()
{
    // Three pictures on the computer, two on a drive that is not plugged in right now.
    const QStringList here = writePictures(m_dir->path(), "photos", 3, QSize(40, 30));
    QCOMPARE(here.size(), 3);
    QStringList away = writePictures(m_dir->path(), "usb", 2, QSize(40, 30));
    QCOMPARE(away.size(), 2);
    CLastSession last;
    last.categories = {{"海边", {here.at(0), away.at(0), here.at(1), away.at(1)}}, {"家人", {away.at(0)}}};
    last.sourceKind = CLastSession::ChosenFolder;
    last.chosenFolder = m_dir->filePath("photos");
    last.cachedPaths = here + away;
    QVERIFY(last.write(sessionFile()));
    QVERIFY(QDir(m_dir->filePath("usb")).removeRecursively());
    const QByteArray before = TestSupport::readFile(sessionFile());
    auto resume = [](MainWindow& window) {
        QAction* item = action(window, QStringLiteral("&继续上次扫描"));
        QVERIFY(item && item->isEnabled());
        PageParts::find<CSessionAutosave>(window.editPage(), "sessionAutosave")->setDelay(20);
        item->trigger();
        QVERIFY(waitForRestore(window.editPage()));
    };

    {
        MainWindow window;
        QVERIFY(showWindow(window));
        resume(window);
        QEditPage* page = window.editPage();
        // What can be shown is shown; the user is told how many pictures are elsewhere.
        const QList<CCategory> shown{{"海边", {here.at(0), here.at(1)}}, {"家人", {}}};
        QCOMPARE(rows(page), shown);
        QVERIFY2(window.statusBar()->currentMessage().contains(QStringLiteral("上次的 2 张照片")),
                 qPrintable(window.statusBar()->currentMessage()));
        // Restoring is not work: the file is neither rewritten now nor at close.
        QTest::qWait(200);
        QVERIFY(!PageParts::find<CSessionAutosave>(page, "sessionAutosave")->isPending());
        QCOMPARE(TestSupport::readFile(sessionFile()), before);
        QVERIFY(window.close());
        QCOMPARE(TestSupport::readFile(sessionFile()), before);
    }
    {
        // Sorting on: the pictures that cannot be shown ride along after the row's new content.
        MainWindow window;
        QVERIFY(showWindow(window));
        resume(window);
        QEditPage* page = window.editPage();
        const int tile =
            int(tilePaths(PageParts::find<QPhotoViewListWidget>(page, "photoList")).indexOf(here.at(2)));
        QVERIFY(tile >= 0);
        QVERIFY(dragTicked(*page, {tile}, 0));
        const QList<CCategory> kept{{"海边", {here.at(0), here.at(1), here.at(2), away.at(0), away.at(1)}},
                                    {"家人", {away.at(0)}}};
        QTRY_COMPARE_WITH_TIMEOUT(CLastSession::read(sessionFile()).categories.mid(0, 2), kept, 10000);
        const QStringList cached = CLastSession::read(sessionFile()).cachedPaths;
        for (const QString& path : here + away)
            QCOMPARE(cached.count(path), 1);
        QVERIFY(window.close());
    }
    {
        // The drive is back: everything is where the user left it.
        away = writePictures(m_dir->path(), "usb", 2, QSize(40, 30));
        MainWindow window;
        QVERIFY(showWindow(window));
        resume(window);
        const QList<CCategory> whole{{"海边", {here.at(0), here.at(1), here.at(2), away.at(0), away.at(1)}},
                                     {"家人", {away.at(0)}}};
        QCOMPARE(rows(window.editPage()).mid(0, 2), whole);
        QVERIFY(!window.statusBar()->currentMessage().contains(QStringLiteral("找不到")));
    }
}

void tst_SessionRestore::unreadableSessionIsKeptAside()
{
    QStringList notices;
    QUserDialogs::Answers answers;
    answers.notice = [&notices](const QString&, const QString& text) { notices.append(text); };
    QUserDialogs::setAnswers(answers);
    // Torn, JSON of another shape, not text at all, more categories than anyone sorts into: each
    // kept under a name of its own.
    CLastSession absurd;
    for (int i = 0; i <= CLastSession::MaxCategories; ++i)
        absurd.categories.append({QString("c%1").arg(i), {}});
    const QList<QByteArray> broken{"{\"page\": {\"0\": {\"name\": \"海边\", \"files\"",
                                   "{\"page\": {\"0\": [\"/photos/a.jpg\"]}, \"all_cached\": {}}",
                                   QByteArray("\x00\x01\xff", 3), QJsonDocument(absurd.toJson()).toJson()};
    const QStringList kept{sessionFile() + ".broken", sessionFile() + ".broken.2",
                           sessionFile() + ".broken.3", sessionFile() + ".broken.4"};
    for (int i = 0; i < broken.size(); ++i) {
        QVERIFY(TestSupport::writeFile(sessionFile(), broken.at(i)));
        QEditPage page;
        QVERIFY(showWindow(page));
        page.ReOpenLastData();
        QVERIFY(waitForRestore(&page));
        QCOMPARE(notices.size(), i + 1);
        QVERIFY2(notices.last().contains(QDir::toNativeSeparators(kept.at(i))), qPrintable(notices.last()));
        // Nothing but the free row, and the file stays until the user's own work replaces it.
        QCOMPARE(CategoryParts::rowCount(&page), 1);
        QVERIFY(page.SaveCloseData());
        QCOMPARE(TestSupport::readFile(sessionFile()), broken.at(i));
    }
    for (int i = 0; i < broken.size(); ++i)
        QCOMPARE(TestSupport::readFile(kept.at(i)), broken.at(i));
}

void tst_SessionRestore::aRestoreCanBeCancelled()
{
    const QStringList photos = writePictures(m_dir->path(), "many", 40, QSize(64, 48));
    QCOMPARE(photos.size(), 40);
    CLastSession last;
    last.categories = {{"全部", photos}};
    last.chosenFolder = m_dir->filePath("many");
    last.cachedPaths = photos;
    QVERIFY(last.write(sessionFile()));
    const QByteArray before = TestSupport::readFile(sessionFile());

    QEditPage page;
    QVERIFY(showWindow(page));
    page.ReOpenLastData();
    QProgressDialog* wait = PageParts::find<QBusyDialog>(&page, "loadWait");
    QVERIFY(wait->isVisible());
    QPushButton* cancel = wait->findChild<QPushButton*>();
    QVERIFY(cancel && cancel->isVisible());
    QTest::mouseClick(cancel, Qt::LeftButton);

    // Given up: no rows come back later, the page is usable and the file is as it was.
    QVERIFY(!wait->isVisible());
    QTest::qWait(300);
    QCOMPARE(CategoryParts::rowCount(&page), 0);
    QCOMPARE(PageParts::find<QPhotoViewListWidget>(&page, "photoList")->count(), 0);
    QVERIFY(page.SaveCloseData());
    QCOMPARE(TestSupport::readFile(sessionFile()), before);

    // Asked again, the restore runs to its end.
    page.ReOpenLastData();
    QVERIFY(waitForRestore(&page));
    QCOMPARE(rows(&page).value(0), (CCategory{"全部", inKeyTextOrder(photos)}));
}

void tst_SessionRestore::pictureTakenOutOfARestoredRowStaysOut()
{
    const QStringList here = writePictures(m_dir->path(), "photos", 3, QSize(40, 30));
    QCOMPARE(here.size(), 3);
    const QStringList away = writePictures(m_dir->path(), "usb", 1, QSize(40, 30));
    QCOMPARE(away.size(), 1);
    CLastSession last;
    last.categories = {{"海边", {here.at(0), away.at(0), here.at(1)}}};
    last.sourceKind = CLastSession::ChosenFolder;
    last.chosenFolder = m_dir->filePath("photos");
    last.cachedPaths = here + away;
    QVERIFY(last.write(sessionFile()));
    QVERIFY(QDir(m_dir->filePath("usb")).removeRecursively());

    QEditPage page;
    QVERIFY(showWindow(page));
    PageParts::find<CSessionAutosave>(&page, "sessionAutosave")->setDelay(20);
    page.ReOpenLastData();
    QVERIFY(waitForRestore(&page));
    QCOMPARE(rows(&page).value(0), (CCategory{"海边", {here.at(0), here.at(1)}}));

    // The user takes a shown picture out: it stays out; the one that could not be shown stays in.
    QCategoryPicturesView* row = CategoryParts::pictures(CategoryParts::row(&page, 0));
    row->selectionModel()->select(row->model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(row, Qt::Key_Delete);
    const QStringList kept{here.at(1), away.at(0)};
    QTRY_COMPARE_WITH_TIMEOUT(CLastSession::read(sessionFile()).categories.value(0).pictures, kept, 10000);
    QVERIFY(page.SaveCloseData());
    QCOMPARE(CLastSession::read(sessionFile()).categories.value(0).pictures, kept);
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet(SortingChild::Records)) {
        QApplication app(argc, argv);
        return SortingChild::run();
    }
    QTEST_MAIN_IMPL(tst_SessionRestore)
}

#include "tst_sessionrestore.moc"
