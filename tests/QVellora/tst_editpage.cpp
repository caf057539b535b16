// SPDX-License-Identifier: MIT
#include "CProgramFiles.h"
#include "CategoryParts.h"
#include "Dialogs/QBusyDialog.h"
#include "Dialogs/QUserDialogs.h"
#include "EditPage/QEditPage.h"
#include "EditPageActions.h"
#include "OtherWidget/QDrawImageButton.h"
#include "PageParts.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Pictures/CSelectImageData.h"
#include "Selection/CSelection.h"
#include "TestSupport.h"
#include "Thread/QPictureFeed.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace EditPageActions;
using namespace WidgetTestHelpers;

// The edit page driven as a user drives it: hand-over from the start page, folders opened from the
// tree and the folder list, pictures ticked and dragged into category rows.
namespace {
// The folders the page lists as looked at, in order.
QStringList folderPaths(const QEditPage& page)
{
    QStringList paths;
    auto* list = PageParts::find<QListWidget>(&page, "folderList");
    for (int row = 0; row < list->count(); ++row)
        paths.append(list->item(row)->data(Qt::UserRole).toString());
    return paths;
}
} // namespace

class tst_EditPage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void handOverListsEveryPicture_data();
    void handOverListsEveryPicture();
    void openingFolders();
    void onlyTheNewestFolderReachesTheGrid();
    void aBurstOfTheOldFolderNeverReachesTheGrid();
    void rowsTakeTheColoursInTurn();
    void droppedPicturesAreMarkedAndAFreeRowKept();
    void openedFolderShowsInTheTreeAndNamesFit();

private:
    QStringList pictures(const QString& folder, int count, const QSize& size = QSize(16, 12));
    static bool showPage(QEditPage& page);
    static bool doubleClickFolder(QEditPage& page, const QString& path);

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_notices;
};

void tst_EditPage::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // The page keeps its session file current; keep it out of the build folder.
    CProgramFiles::setRecordFolderOverride(m_dir->filePath("records"));
    m_notices.clear();
    QUserDialogs::Answers answers;
    answers.notice = [this](const QString& title, const QString& text) { m_notices << title + "|" + text; };
    QUserDialogs::setAnswers(answers);
}

void tst_EditPage::cleanup()
{
    QUserDialogs::clearAnswers();
    CProgramFiles::setRecordFolderOverride(QString());
    m_dir.reset();
}

QStringList tst_EditPage::pictures(const QString& folder, int count, const QSize& size)
{
    return writePictures(m_dir->path(), folder, count, size);
}

bool tst_EditPage::showPage(QEditPage& page)
{
    page.resize(1300, 800);
    page.show();
    return QTest::qWaitForWindowExposed(&page);
}

// The tree is expanded down to the folder, which is the current one.
static bool treeShows(QEditPage& page, const QString& folder)
{
    const QModelIndex current = PageParts::find<QTreeView>(&page, "folderTree")->currentIndex();
    if (!current.isValid() ||
        PageParts::find<QFileSystemModel>(&page, "folderModel")->filePath(current) != folder)
        return false;
    for (QModelIndex above = current.parent(); above.isValid(); above = above.parent()) {
        if (!PageParts::find<QTreeView>(&page, "folderTree")->isExpanded(above))
            return false;
    }
    return PageParts::find<QTreeView>(&page, "folderTree")->visualRect(current).isValid();
}

bool tst_EditPage::doubleClickFolder(QEditPage& page, const QString& path)
{
    // The tree shows the whole file system; the test looks at the folder's parent, whose entries
    // the model reads in the background.
    QTreeView* tree = PageParts::find<QTreeView>(&page, "folderTree");
    QFileSystemModel* model = PageParts::find<QFileSystemModel>(&page, "folderModel");
    tree->setRootIndex(model->index(QFileInfo(path).absolutePath()));
    const QModelIndex index = model->index(path);
    if (!QTest::qWaitFor([&] { return tree->visualRect(index).isValid(); }, 10000))
        return false;
    // A double click begins with a click: the view opens only what it saw pressed.
    const QPoint at = tree->visualRect(index).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    return true;
}

void tst_EditPage::handOverListsEveryPicture_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("999 pictures") << 999;
    // Past the old limit of 999, which left the rest unsortable, and past the thumbnail budget.
    QTest::newRow("1300 pictures") << 1300;
}

void tst_EditPage::handOverListsEveryPicture()
{
    QFETCH(int, count);
    // A dot in the folder name: the folder list shows the part before it.
    const QStringList list = pictures("trip.2015", count);
    QCOMPARE(list.size(), count);

    QEditPage page;
    QVERIFY(showPage(page));
    page.SetInitScanPath(m_dir->filePath("trip.2015"));
    page.SetInitPageImageList(list);
    QCOMPARE(m_notices, QStringList{});

    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");
    QCOMPARE(grid->count(), count);
    QTRY_VERIFY_WITH_TIMEOUT(gridLoaded(grid), 240000);
    QCOMPARE(tilePaths(grid), list);
    QCOMPARE(page.CountsText().section(QLatin1Char(' '), 0, 0), QString::number(count));
    // The thumbnails near the screen are in memory, and no more than the budget holds.
    QCOMPARE(grid->pictureModel()->thumbnail(list.at(5)).size(), QSize(270, 202));
    QVERIFY(grid->pictureModel()->heldBytes() <= grid->pictureModel()->budget());
    // The session lists every one of them.
    QCOMPARE(page.CurrentSession().cachedPaths, list);
    QCOMPARE(PageParts::find<QListWidget>(&page, "folderList")->count(), 1);
    QCOMPARE(PageParts::find<QListWidget>(&page, "folderList")->item(0)->text(), QString("trip"));
    QCOMPARE(folderPaths(page), QStringList{m_dir->filePath("trip.2015")});
    QCOMPARE(page.CurrentSession().chosenFolder, m_dir->filePath("trip.2015"));
    QCOMPARE(page.CurrentSession().sourceKind, int(CLastSession::SearchResult));
    QCOMPARE(CategoryParts::rowCount(&page), 1);
    QVERIFY(!PageParts::find<QBusyDialog>(&page, "searchWait")->isVisible());

    // Listing the start folder did not open it; choosing its row does.
    QListWidget* folders = PageParts::find<QListWidget>(&page, "folderList");
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {},
                      folders->visualItemRect(folders->item(0)).center());
    QCOMPARE(page.CurrentSession().sourceKind, int(CLastSession::ChosenFolder));
    QCOMPARE(page.CurrentSession().chosenFolder, m_dir->filePath("trip.2015"));
    QCOMPARE(PageParts::find<QPhotoViewListWidget>(&page, "photoList")->count(), 0);
    QVERIFY(PageParts::find<QBusyDialog>(&page, "searchWait")->isVisible());
}

void tst_EditPage::openingFolders()
{
    QVERIFY(QDir(m_dir->path()).mkpath("empty"));
    const QStringList full = pictures("full", 2);
    const QStringList inner = pictures("full/inner", 1);
    QVERIFY(TestSupport::writeFile(m_dir->filePath("full/readme.txt"), "x"));

    QEditPage page;
    QVERIFY(showPage(page));
    QBusyDialog* wait = PageParts::find<QBusyDialog>(&page, "searchWait");
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");

    // A folder with nothing to show opens the wait dialog and closes it at once.
    QVERIFY(doubleClickFolder(page, m_dir->filePath("empty")));
    QVERIFY(wait->isVisible());
    QCOMPARE(page.CurrentSession().sourceKind, int(CLastSession::ChosenFolder));
    QCOMPARE(page.CurrentSession().chosenFolder, m_dir->filePath("empty"));
    QTRY_VERIFY(!wait->isVisible());
    QCOMPARE(grid->count(), 0);

    QVERIFY(doubleClickFolder(page, m_dir->filePath("full")));
    QTRY_VERIFY(!wait->isVisible());
    QTRY_COMPARE(grid->count(), 3);
    // The folder tile comes first; text files give no tile.
    QCOMPARE(tilePaths(grid), (QStringList{m_dir->filePath("full/inner"), full.at(0), full.at(1)}));

    // Opened again from the tree: listed once, by its folder name.
    QVERIFY(doubleClickFolder(page, m_dir->filePath("empty")));
    QTRY_VERIFY(!wait->isVisible());
    QCOMPARE(folderPaths(page), (QStringList{m_dir->filePath("empty"), m_dir->filePath("full")}));
    QStringList names;
    for (int row = 0; row < PageParts::find<QListWidget>(&page, "folderList")->count(); ++row)
        names << PageParts::find<QListWidget>(&page, "folderList")->item(row)->text();
    QCOMPARE(names, (QStringList{"empty", "full"}));

    // A row of the folder list opens its folder, and so does a folder tile.
    QListWidget* folders = PageParts::find<QListWidget>(&page, "folderList");
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {},
                      folders->visualItemRect(folders->item(1)).center());
    QTRY_COMPARE(grid->count(), 3);
    doubleClickTile(grid, 0);
    QTRY_COMPARE(tilePaths(grid), QStringList{inner.at(0)});
    QCOMPARE(page.CurrentSession().chosenFolder, m_dir->filePath("full/inner"));
    QCOMPARE(folderPaths(page).size(), 3);
    QTRY_VERIFY(!wait->isVisible());
    QVERIFY(m_notices.isEmpty());
}

void tst_EditPage::onlyTheNewestFolderReachesTheGrid()
{
    const QStringList slow = pictures("slow", 150, QSize(900, 700));
    const QStringList fast = pictures("fast", 3);
    QCOMPARE(slow.size(), 150);

    QEditPage page;
    QVERIFY(showPage(page));
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");
    QVERIFY(doubleClickFolder(page, m_dir->filePath("slow")));
    // The first folder is loading: every picture is listed, not every thumbnail is made.
    QTRY_VERIFY_WITH_TIMEOUT(grid->count() == slow.size(), 30000);
    QVERIFY(!gridLoaded(grid));

    QVERIFY(doubleClickFolder(page, m_dir->filePath("fast")));
    QTRY_VERIFY(!PageParts::find<QBusyDialog>(&page, "searchWait")->isVisible());
    QTRY_COMPARE(grid->count(), fast.size());
    // Deliver anything still queued: nothing of the first folder may arrive.
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    QCOMPARE(tilePaths(grid), fast);
    QTRY_VERIFY(gridLoaded(grid));
    QCOMPARE(page.CurrentSession().chosenFolder, m_dir->filePath("fast"));
}

void tst_EditPage::aBurstOfTheOldFolderNeverReachesTheGrid()
{
    const QStringList old = pictures("old", 60);
    const QStringList fresh = pictures("fresh", 2);
    QCOMPARE(old.size(), 60);
    QEditPage page;
    QVERIFY(showPage(page));
    QVERIFY(doubleClickFolder(page, m_dir->filePath("old")));
    // The old folder's workers are busy with its thumbnails when the user opens another folder.
    QPictureFeed* feed = PageParts::find<QPictureFeed>(&page, "pictureFeed");
    QTRY_VERIFY(PageParts::find<QPhotoViewListWidget>(&page, "photoList")->count() == old.size());
    QVERIFY(!feed->isDone());
    QVERIFY(doubleClickFolder(page, m_dir->filePath("fresh")));

    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");
    QTRY_COMPARE(grid->count(), fresh.size());
    QTRY_VERIFY(gridLoaded(grid));
    QTest::qWait(100);
    QCOMPARE(tilePaths(grid), fresh);
    QCOMPARE(grid->pictureModel()->heldCount(), fresh.size());
}

void tst_EditPage::rowsTakeTheColoursInTurn()
{
    QEditPage page;
    QVERIFY(showPage(page));
    page.SetInitScanPath(m_dir->filePath("photos"));
    page.SetInitPageImageList(pictures("photos", 1));
    QCategoryColumn* cates = CategoryParts::column(&page);
    QCOMPARE(cates->count(), 1);

    // The add button of a row adds a row at the bottom.
    for (int i = 0; i < 12; ++i) {
        QCategoryRow* last = CategoryParts::row(&page, cates->count() - 1);
        QTest::mouseClick(PageParts::find<QDrawImageButton>(last, "addCategory"), Qt::LeftButton);
    }
    QCOMPARE(cates->count(), 13);
    // A double click on the list adds one too.
    QTest::mouseDClick(cates->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(cates->count(), 14);

    const QList<QColor> colours = CSelection::colors();
    QCOMPARE(colours.size(), 12);
    QCOMPARE(colours.first(), QColor(255, 53, 53));
    QCOMPARE(colours.last(), QColor(171, 171, 171));
    for (int row = 0; row < cates->count(); ++row)
        QCOMPARE(CategoryParts::colour(CategoryParts::row(&page, row)), colours.at(row % 12));
    QCOMPARE(page.selection()->filledRows().size(), 0);
}

void tst_EditPage::droppedPicturesAreMarkedAndAFreeRowKept()
{
    const QStringList list = pictures("photos", 5, QSize(60, 40));
    QEditPage page;
    QVERIFY(showPage(page));
    page.SetInitScanPath(m_dir->filePath("photos"));
    page.SetInitPageImageList(list);
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");
    QTRY_COMPARE(grid->count(), 5);
    QCategoryColumn* cates = CategoryParts::column(&page);
    const QList<QColor> colours = CSelection::colors();
    auto marks = [&](int row) {
        return grid->model()->index(row, 0).data(CPictureListModel::MarksRole).value<QList<QColor>>();
    };

    // Every row now holds pictures: a free row is added below.
    QVERIFY(dragTicked(page, {0, 2}, 0));
    QCOMPARE(CategoryParts::paths(CategoryParts::row(&page, 0)), (QStringList{list.at(0), list.at(2)}));
    QCOMPARE(marks(0), QList<QColor>{colours.at(0)});
    QCOMPARE(marks(2), QList<QColor>{colours.at(0)});
    QVERIFY(marks(1).isEmpty());
    QVERIFY(!grid->model()->index(0, 0).data(CPictureListModel::TickedRole).toBool());
    QCOMPARE(cates->count(), 2);

    QVERIFY(dragTicked(page, {2, 3}, 1));
    QCOMPARE(marks(2), (QList<QColor>{colours.at(0), colours.at(1)}));
    QCOMPARE(marks(3), QList<QColor>{colours.at(1)});
    QCOMPARE(cates->count(), 3);

    // Row 2 is still free: dropping into row 0 adds no row.
    QVERIFY(dragTicked(page, {4}, 0));
    QCOMPARE(cates->count(), 3);
    QCOMPARE(page.selection()->filledRows().size(), 2);

    // The user deletes every picture of row 0: their marks of its colour go.
    QCategoryPicturesView* first = CategoryParts::pictures(CategoryParts::row(&page, 0));
    QTest::keyClick(first, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(first, Qt::Key_Delete);
    QCOMPARE(first->model()->rowCount(), 0);
    QVERIFY(marks(0).isEmpty());
    QCOMPARE(marks(2), QList<QColor>{colours.at(1)});
    QCOMPARE(marks(3), QList<QColor>{colours.at(1)});
    QVERIFY(marks(4).isEmpty());
    QCOMPARE(page.selection()->filledRows().size(), 1);
}

void tst_EditPage::openedFolderShowsInTheTreeAndNamesFit()
{
    const QString deep = m_dir->filePath("a/b/c/d");
    const QStringList found = pictures("a/b/c/d", 2);
    const QStringList inner = pictures("a/b/c/d/inner", 1);
    // A search's result arrives while the start page is still in front: once the page shows, the
    // tree shows the folder.
    QEditPage page;
    page.SetInitScanPath(deep);
    page.SetInitPageImageList(found);
    QVERIFY(showPage(page));
    QTRY_VERIFY(treeShows(page, deep));

    // A folder opened from its tile in the grid.
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");
    QVERIFY(doubleClickFolder(page, deep));
    QTRY_COMPARE(grid->count(), 3);
    doubleClickTile(grid, 0);
    QTRY_COMPARE(tilePaths(grid), inner);
    QTRY_VERIFY(treeShows(page, m_dir->filePath("a/b/c/d/inner")));
    // What the loader learnt of the picture reaches its tile, whichever came first.
    QTRY_VERIFY(tileData(grid, 0, Qt::ToolTipRole).toString().contains(QStringLiteral("尺寸 16 × 12 像素")));
    QVERIFY(tileData(grid, 0, Qt::ToolTipRole).toString().contains(QStringLiteral("文件大小")));
    QCOMPARE(page.GetPictureFacts(inner.at(0)).pixelSize, QSize(16, 12));

    // A twenty-character name shows whole in the row's name field.
    const QString name = QStringLiteral("二零二四年春节全家人一起去海边旅行的照片");
    QCategoryRow* row = CategoryParts::row(&page, 0);
    page.selection()->rename(0, name);
    QLineEdit* edit = CategoryParts::nameBox(row)->lineEdit();
    QVERIFY(edit->isVisible());
    QVERIFY(edit->width() - 4 >= edit->fontMetrics().horizontalAdvance(name));
    QVERIFY(edit->mapTo(row, QPoint(edit->width(), 0)).x() <= row->width());
    QCOMPARE(CategoryParts::nameBox(row)->toolTip(), name);
}

QTEST_MAIN(tst_EditPage)
#include "tst_editpage.moc"
