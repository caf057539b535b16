// SPDX-License-Identifier: MIT
#include "AnsweredDialogs.h"
#include "CProgramFiles.h"
#include "CatePage/QCateMakeWidget.h"
#include "CatePage/QCatePage.h"
#include "Dialogs/QConnectCustomerDlg.h"
#include "Dialogs/QShortcutsDlg.h"
#include "Dialogs/QShowHelpDlg.h"
#include "Dialogs/QUserDialogs.h"
#include "EditPageActions.h"
#include "InitPage/QInitPage.h"
#include "OtherWidget/QDrawImageButton.h"
#include "OtherWidget/QOutPutImageWidget.h"
#include "PageParts.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Pictures/CPictureListModel.h"
#include "Pictures/CSelectImageData.h"
#include "Selection/CSelection.h"
#include "TestSupport.h"
#include "Thread/QPictureFeed.h"
#include "ViewPage/QTimeViewButton.h"
#include "ViewPage/QTimeViewWidget.h"
#include "ViewPage/QViewPage.h"
#include "mainwindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

using EditPageActions::dragTicked;

// The window with all four pages, driven as a user drives it: a scan of real pictures, sorting them
// on the edit page, the category page and back, an export, the history, the menus and the survey.
class tst_WindowPages : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void categoryPageFollowsTheEditPage();
    void wrappedColoursKeepTheirMarks();
    void categoryThumbnailsStayWithinTheirBudget();
    void exportOfThisRunInTheHistory();
    void informationActionsRunTheirDialogs_data();
    void informationActionsRunTheirDialogs();
    void surveyCloseClosesTheWindow();

private:
    // Paints count pictures into the photos folder, scans it through the start page and waits
    // until the edit page shows them all.
    QStringList scanPictures(MainWindow& window, int count);
    // Drags these pictures from the edit page's grid onto its category row cate.
    static bool drag(MainWindow& window, const QStringList& pictures, int cate);
    static void nameRow(QEditPage* page, int row, const QString& name);
    static void emptyRow(QCategoryRow* row);
    static QCategoryRow* editRow(MainWindow& window, int row);
    static QStringList editPaths(MainWindow& window, int row);
    static void goForward(MainWindow& window);
    static void goBack(MainWindow& window);
    // Every tile carries exactly the colours of the edit page's rows that hold its picture.
    static bool marksMatchCategories(QEditPage* page);
    static QAction* action(MainWindow& window, const QString& text);
    static void saveShot(MainWindow& window, const QString& name);

    QScopedPointer<QTemporaryDir> m_dir;
    std::unique_ptr<AnsweredDialogs> m_answers;
};

namespace {
// What the category page shows, row by row: each row's name and pictures.
struct ShownRow
{
    QString name;
    QStringList paths;
};
QList<ShownRow> shownRows(QCatePage* page)
{
    QList<ShownRow> rows;
    for (int i = 0; i < CategoryParts::rowCount(page); ++i) {
        QCategoryRow* row = CategoryParts::row(page, i);
        rows.append({CategoryParts::name(row), CategoryParts::paths(row)});
    }
    return rows;
}
} // namespace

void tst_WindowPages::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    m_answers = std::make_unique<AnsweredDialogs>(m_dir->filePath("records"));
}

void tst_WindowPages::cleanup()
{
    m_answers.reset();
}

QStringList tst_WindowPages::scanPictures(MainWindow& window, int count)
{
    QStringList paths = TestSupport::writePhotos(m_dir->filePath("photos"), count);
    if (paths.isEmpty())
        return {};
    m_answers->folder = m_dir->filePath("photos");
    window.pageStack()->setCurrentIndex(0);
    QTest::mouseClick(window.initPage()->GetScanButton(), Qt::LeftButton);
    if (!QTest::qWaitFor(
            [&] {
                return PageParts::find<QPhotoViewListWidget>(window.editPage(), "photoList")->count() ==
                       count;
            },
            20000))
        return {};
    return paths;
}

bool tst_WindowPages::drag(MainWindow& window, const QStringList& pictures, int cate)
{
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(window.editPage(), "photoList");
    QList<int> rows;
    for (int row = 0; row < grid->count(); ++row) {
        if (pictures.contains(grid->PathAt(row)))
            rows << row;
    }
    return rows.size() == pictures.size() && dragTicked(*window.editPage(), rows, cate);
}

void tst_WindowPages::nameRow(QEditPage* page, int row, const QString& name)
{
    QLineEdit* box = CategoryParts::nameBox(CategoryParts::row(page, row))->lineEdit();
    box->selectAll();
    QTest::keyClicks(box, name);
}

void tst_WindowPages::emptyRow(QCategoryRow* row)
{
    QCategoryPicturesView* list = CategoryParts::pictures(row);
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_Delete);
}

QCategoryRow* tst_WindowPages::editRow(MainWindow& window, int row)
{
    return CategoryParts::row(window.editPage(), row);
}

QStringList tst_WindowPages::editPaths(MainWindow& window, int row)
{
    return CategoryParts::paths(editRow(window, row));
}

void tst_WindowPages::goForward(MainWindow& window)
{
    QTest::mouseClick(
        PageParts::find<QOutPutImageWidget>(window.editPage(), "buttonBar")->GetNextPageButton(),
        Qt::LeftButton);
    QCOMPARE(window.pageStack()->currentIndex(), 2);
}

void tst_WindowPages::goBack(MainWindow& window)
{
    QTest::mouseClick(PageParts::find<QCateMakeWidget>(window.catePage(), "makeWidget")
                          ->findChild<QDrawImageButton*>("backButton"),
                      Qt::LeftButton);
    QCOMPARE(window.pageStack()->currentIndex(), 1);
}

bool tst_WindowPages::marksMatchCategories(QEditPage* page)
{
    QHash<QString, QList<QRgb>> expected;
    for (int row = 0; row < CategoryParts::rowCount(page); ++row) {
        const QRgb colour = CategoryParts::colour(CategoryParts::row(page, row)).rgba();
        for (const QString& path : CategoryParts::paths(CategoryParts::row(page, row))) {
            if (!expected[path].contains(colour))
                expected[path].append(colour);
        }
    }
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(page, "photoList");
    for (int i = 0; i < grid->count(); ++i) {
        QList<QRgb> want = expected.value(grid->PathAt(i));
        QList<QRgb> have;
        for (const QColor& colour :
             grid->model()->index(i, 0).data(CPictureListModel::MarksRole).value<QList<QColor>>())
            have.append(colour.rgba());
        std::sort(want.begin(), want.end());
        std::sort(have.begin(), have.end());
        if (want != have) {
            qWarning() << "marks of" << grid->PathAt(i) << have << "expected" << want;
            return false;
        }
    }
    return true;
}

QAction* tst_WindowPages::action(MainWindow& window, const QString& text)
{
    for (QAction* menu : window.menuBar()->actions()) {
        for (QAction* entry : menu->menu()->actions()) {
            if (entry->text() == text)
                return entry;
        }
    }
    return nullptr;
}

// With VELLORA_SHOTS set to a folder, the window as the user sees it is saved there as a PNG.
void tst_WindowPages::saveShot(MainWindow& window, const QString& name)
{
    const QString folder = qEnvironmentVariable("VELLORA_SHOTS");
    if (folder.isEmpty())
        return;
    window.grab().save(folder + "/" + name + ".png");
}

void tst_WindowPages::categoryPageFollowsTheEditPage()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QStringList p = scanPictures(window, 6);
    QVERIFY(!p.isEmpty());
    QEditPage* edit = window.editPage();
    QCatePage* cate = window.catePage();

    QVERIFY(drag(window, {p.at(0), p.at(1)}, 0));
    QVERIFY(drag(window, {p.at(2)}, 1));
    QVERIFY(drag(window, {p.at(3), p.at(4)}, 2));
    nameRow(edit, 1, "Summer");
    nameRow(edit, 2, "Autumn");
    // The first row is emptied again: the last filled row must still reach the category page.
    emptyRow(editRow(window, 0));
    QCOMPARE(edit->selection()->filledRows().size(), 2);
    QVERIFY(marksMatchCategories(edit));
    // The edit row's order (the order of the drop) is the order the category page must keep.
    const QStringList autumnPaths = editPaths(window, 2);
    QCOMPARE(QSet<QString>(autumnPaths.begin(), autumnPaths.end()), (QSet<QString>{p.at(3), p.at(4)}));

    goForward(window);
    QCOMPARE(cate->GetUserID(), QString()); // nobody logged in: nothing handed over
    QList<ShownRow> rows = shownRows(cate);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).name, QString("Summer"));
    QCOMPARE(rows.at(0).paths, QStringList{p.at(2)});
    QCOMPARE(rows.at(1).name, QString("Autumn"));
    QCOMPARE(rows.at(1).paths, autumnPaths);
    // Every picture has its thumbnail from the edit page's store (one dragged while it still
    // loaded arrives a moment later).
    const QAbstractItemModel* shownAutumn = CategoryParts::pictures(CategoryParts::row(cate, 1))->model();
    QCOMPARE(shownAutumn->rowCount(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(!shownAutumn->index(0, 0).data(Qt::DecorationRole).isNull(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!shownAutumn->index(1, 0).data(Qt::DecorationRole).isNull(), 10000);

    // On the category page the user empties Summer and takes Autumn's first picture out.
    emptyRow(CategoryParts::row(cate, 0));
    QCategoryPicturesView* autumn = CategoryParts::pictures(CategoryParts::row(cate, 1));
    autumn->selectionModel()->select(autumn->model()->index(0, 0), QItemSelectionModel::Select);
    QTest::keyClick(autumn, Qt::Key_Delete);
    QCOMPARE(CategoryParts::paths(CategoryParts::row(cate, 1)), QStringList{autumnPaths.at(1)});

    // Back: each row lands on the edit row it came from; names stay as they were on the edit page.
    goBack(window);
    QVERIFY(editPaths(window, 0).isEmpty());
    QVERIFY(editPaths(window, 1).isEmpty());
    QCOMPARE(editPaths(window, 2), QStringList{autumnPaths.at(1)});
    QCOMPARE(CategoryParts::name(CategoryParts::row(edit, 2)), QString("Autumn"));
    QVERIFY(marksMatchCategories(edit));

    // Forward again: only what is filled now, no row left over from the first visit.
    window.onGetZovID("user-7");
    goForward(window);
    QCOMPARE(cate->GetUserID(), QString("user-7"));
    rows = shownRows(cate);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0).name, QString("Autumn"));
    QCOMPARE(rows.at(0).paths, QStringList{autumnPaths.at(1)});
    goBack(window);
    QVERIFY(marksMatchCategories(edit));

    // On the edit page the user sorts p5 into the first row and removes Autumn's pictures.
    QVERIFY(drag(window, {p.at(5)}, 0));
    emptyRow(editRow(window, 2));
    goForward(window);
    rows = shownRows(cate);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0).paths, QStringList{p.at(5)});
    goBack(window);
    QCOMPARE(editPaths(window, 0), QStringList{p.at(5)});
    QVERIFY(editPaths(window, 2).isEmpty());
    QVERIFY(marksMatchCategories(edit));
}

void tst_WindowPages::wrappedColoursKeepTheirMarks()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QStringList p = scanPictures(window, 2);
    QVERIFY(!p.isEmpty());
    QEditPage* edit = window.editPage();
    // p0 in the first and the thirteenth row, which share the first colour; p1 fills the rows between.
    QVERIFY(drag(window, {p.at(0)}, 0));
    for (int row = 1; row < 12; ++row)
        QVERIFY(drag(window, {p.at(1)}, row));
    QVERIFY(drag(window, {p.at(0)}, 12));
    const QColor first = CSelection::colors().at(0);
    QCOMPARE(CategoryParts::colour(CategoryParts::row(edit, 12)), first);

    // On the category page p0 leaves the thirteenth row only.
    goForward(window);
    // Every row holds pictures, so the thirteenth category is the thirteenth row there.
    QCOMPARE(CategoryParts::rowCount(window.catePage()), 13);
    QCategoryRow* thirteenth = CategoryParts::row(window.catePage(), 12);
    QCOMPARE(CategoryParts::paths(thirteenth), QStringList{p.at(0)});
    QCategoryPicturesView* view = CategoryParts::pictures(thirteenth);
    view->selectionModel()->select(view->model()->index(0, 0), QItemSelectionModel::Select);
    QTest::keyClick(view, Qt::Key_Delete);
    QVERIFY(CategoryParts::paths(thirteenth).isEmpty());

    // Back: the first row still holds p0, so its tile keeps the first colour's mark.
    goBack(window);
    QCOMPARE(editPaths(window, 0), QStringList{p.at(0)});
    QVERIFY(editPaths(window, 12).isEmpty());
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(edit, "photoList");
    for (int i = 0; i < grid->count(); ++i) {
        if (grid->PathAt(i) == p.at(0))
            QVERIFY(grid->model()
                        ->index(i, 0)
                        .data(CPictureListModel::MarksRole)
                        .value<QList<QColor>>()
                        .contains(first));
    }
    QVERIFY(marksMatchCategories(edit));
}

// A whole folder sorted into one category: the thumbnails the categories keep beside the grid's
// stay within their budget, and both pages' rows still show every picture, those let go made
// again when asked for.
void tst_WindowPages::categoryThumbnailsStayWithinTheirBudget()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QStringList p = scanPictures(window, 24);
    QVERIFY(!p.isEmpty());
    QEditPage* edit = window.editPage();
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(edit, "photoList");
    QTRY_VERIFY_WITH_TIMEOUT(PageParts::find<QPictureFeed>(edit, "pictureFeed")->isDone(), 30000);
    QList<int> rows;
    for (int row = 0; row < grid->count(); ++row)
        rows << row;
    QVERIFY(dragTicked(*edit, rows, 0));
    QCOMPARE(editPaths(window, 0).size(), p.size());
    goForward(window);
    QCOMPARE(CategoryParts::paths(CategoryParts::row(window.catePage(), 0)).size(), p.size());

    // Room for five: a sixth of the category. Hidden, so that only what is asked for below is
    // painted and asked for again.
    window.hide();
    CSelectImageData* store = edit->GetSelectImageData();
    const qint64 one = QPixmap::fromImage(grid->pictureModel()->thumbnail(p.at(0))).toImage().sizeInBytes();
    const qint64 budget = 5 * one;
    store->SetThumbnailBudget(budget);
    QCOMPARE(store->Count(), p.size());
    QVERIFY(store->ThumbnailBytes() <= budget);
    QCOMPARE(edit->CurrentSession().cachedPaths.size(), p.size());

    for (QObject* page : {static_cast<QObject*>(window.catePage()), static_cast<QObject*>(edit)}) {
        const QAbstractItemModel* row = CategoryParts::pictures(CategoryParts::row(page, 0))->model();
        for (int i = 0; i < row->rowCount(); ++i) {
            QTRY_VERIFY_WITH_TIMEOUT(!row->index(i, 0).data(Qt::DecorationRole).isNull(), 10000);
            QVERIFY2(store->ThumbnailBytes() <= budget, qPrintable(QString::number(store->ThumbnailBytes())));
        }
    }
    QCOMPARE(store->Count(), p.size());
}

void tst_WindowPages::exportOfThisRunInTheHistory()
{
    MainWindow window;
    window.resize(1400, 900);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QViewPage* history = window.viewPage();
    QDrawImageButton* historyButton = window.initPage()->GetHistoryButton();
    QDrawImageButton* historyBack = history->findChild<QDrawImageButton*>("backButton");

    // Nothing exported yet: the start page's history button shows an empty page.
    QTest::mouseClick(historyButton, Qt::LeftButton);
    QCOMPARE(window.pageStack()->currentIndex(), 3);
    QCOMPARE(history->GetEntryCount(), 0);
    QTest::mouseClick(historyBack, Qt::LeftButton);
    QCOMPARE(window.pageStack()->currentIndex(), 0);

    const QStringList p = scanPictures(window, 5);
    QVERIFY(!p.isEmpty());
    QVERIFY(drag(window, {p.at(0), p.at(1), p.at(2)}, 0));
    QVERIFY(drag(window, {p.at(3), p.at(4)}, 1));
    nameRow(window.editPage(), 0, "Spring");
    nameRow(window.editPage(), 1, "Summer");
    goForward(window);

    const QString exportFolder = m_dir->filePath("export");
    QVERIFY(QDir().mkpath(exportFolder));
    m_answers->folder = exportFolder;
    QSignalSpy finished(window.catePage(), &QCatePage::sigExportFinished);
    QTest::mouseClick(PageParts::find<QCateMakeWidget>(window.catePage(), "makeWidget")
                          ->findChild<QDrawImageButton*>("exportButton"),
                      Qt::LeftButton);
    QVERIFY(finished.wait(20000));
    QVERIFY(finished.first().first().toBool());
    QCOMPARE(m_answers->notices, QStringList{"保存图片成功"});
    QVERIFY(QFile::exists(exportFolder + "/Spring/p2.jpg"));
    QVERIFY(QFile::exists(exportFolder + "/Summer/p4.jpg"));
    saveShot(window, "window_catepage");

    // The menu's "浏览已扫描照片" and later the start page's button both list this run's export.
    QAction* browse = action(window, QStringLiteral("浏览已扫描照片"));
    QVERIFY(browse && browse->isEnabled());
    for (int visit = 0; visit < 2; ++visit) {
        if (visit == 0) {
            QSignalSpy loaded(history, &QViewPage::sigThumbnailsLoaded);
            browse->trigger();
            QVERIFY(loaded.count() > 0 || loaded.wait(20000));
        } else {
            QTest::mouseClick(historyButton, Qt::LeftButton);
        }
        QCOMPARE(window.pageStack()->currentIndex(), 3);
        QCOMPARE(history->GetEntryCount(), 2);
        QCOMPARE(history->GetEntry(0)->GetButton()->GetText(), QString("Spring"));
        QCOMPARE(history->GetEntry(1)->GetButton()->GetText(), QString("Summer"));
        QVERIFY(!history->GetEntry(0)->GetDateText().isEmpty());
        QTRY_COMPARE(history->GetPhotoGrid()->count(), 3);
        QCOMPARE(QDir::cleanPath(QDir::fromNativeSeparators(history->GetCurrentFolder())),
                 QDir::cleanPath(exportFolder + "/Spring"));
        if (visit == 0)
            saveShot(window, "window_history");
        QTest::mouseClick(historyBack, Qt::LeftButton);
        QCOMPARE(window.pageStack()->currentIndex(), 0);
    }
}

void tst_WindowPages::informationActionsRunTheirDialogs_data()
{
    QTest::addColumn<QString>("actionText");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("dialogClass");
    QTest::newRow("help") << QStringLiteral("&新手帮助") << QStringLiteral("新手指引")
                          << QString(QShowHelpDlg::staticMetaObject.className());
    QTest::newRow("contact") << QStringLiteral("&联系客服") << QStringLiteral("客服服务")
                             << QString(QConnectCustomerDlg::staticMetaObject.className());
    QTest::newRow("keys") << QStringLiteral("键盘快捷键") << QStringLiteral("键盘快捷键")
                          << QString(QShortcutsDlg::staticMetaObject.className());
}

void tst_WindowPages::informationActionsRunTheirDialogs()
{
    QFETCH(QString, actionText);
    QFETCH(QString, title);
    QFETCH(QString, dialogClass);

    MainWindow window;
    QStringList shown;
    m_answers->exec = [&](QDialog* dialog) {
        shown << QString(dialog->metaObject()->className()) + "|" + dialog->windowTitle();
        return int(QDialog::Accepted);
    };
    QAction* entry = action(window, actionText);
    QVERIFY(entry && entry->isEnabled());
    entry->trigger();
    entry->trigger();
    // The same dialog each time.
    QCOMPARE(shown, QStringList({dialogClass + "|" + title, dialogClass + "|" + title}));
}

void tst_WindowPages::surveyCloseClosesTheWindow()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.pageStack()->setCurrentIndex(1);
    goForward(window);

    // "提交并返回" keeps the window; "提交后关闭软件" closes it the way the title bar does.
    QString button = "submitBackButton";
    m_answers->exec = [&](QDialog* dialog) {
        dialog->show();
        QTest::keyClicks(dialog->findChild<QLineEdit*>("qqEdit"), "12345");
        QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
        return int(QDialog::Accepted);
    };
    QDrawImageButton* finish = PageParts::find<QCateMakeWidget>(window.catePage(), "makeWidget")
                                   ->findChild<QDrawImageButton*>("finishButton");
    QTest::mouseClick(finish, Qt::LeftButton);
    QVERIFY(window.isVisible());
    QVERIFY(!window.closeTime().isValid());

    button = "submitCloseButton";
    QTest::mouseClick(finish, Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.closeTime().timeSpec(), Qt::UTC);
    QVERIFY(window.closeTime() >= window.openTime());
    QVERIFY(window.catePage()->GetSubmitText().endsWith("12345"));
}

QTEST_MAIN(tst_WindowPages)
#include "tst_windowpages.moc"
