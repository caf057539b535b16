// SPDX-License-Identifier: MIT
// The grid over many pictures: thumbnails within a memory budget and read back when their rows
// show again, the rows on screen served first, and a new folder releasing the last one's.
#include "CategoryParts.h"
#include "EditPage/QEditPage.h"
#include "PageParts.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Pictures/CPictureListModel.h"
#include "Pictures/CSelectImageData.h"
#include "Pictures/CThumbnailCache.h"
#include "Selection/CSelection.h"
#include "TestSupport.h"
#include "Thread/QPictureFeed.h"

#include <QFileInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#include <memory>

class tst_PictureGrid : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void thumbnailsOverBudgetAreReadBack_data();
    void thumbnailsOverBudgetAreReadBack();
    void theRowsOnScreenComeFirstAfterAJump();
    void anotherFolderReleasesWhatTheLastOneHeld();

private:
    QStringList writeFolder(const QString& name, int count, const QSize& size);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_PictureGrid::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    CThumbnailCache::setRootOverride(m_dir->filePath("thumbnails"));
    CThumbnailCache::setEnabled(true);
}

void tst_PictureGrid::cleanup()
{
    CThumbnailCache::setRootOverride(QString());
    CThumbnailCache::setEnabled(true);
    m_dir.reset();
}

QStringList tst_PictureGrid::writeFolder(const QString& name, int count, const QSize& size)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path =
            m_dir->filePath(QStringLiteral("%1/p%2.jpg").arg(name).arg(i, 4, 10, QChar('0')));
        if (!TestSupport::writeImage(path, size, QColor::fromHsv((i * 37) % 360, 200, 220), Qt::white))
            return {};
        paths << path;
    }
    return paths;
}

// Whether every row on the grid's screen has its thumbnail in memory.
static bool screenHasThumbnails(QPhotoViewListWidget& grid)
{
    const QPair<int, int> shown = grid.VisibleRows();
    if (shown.second < shown.first)
        return false;
    for (int row = shown.first; row <= shown.second; ++row) {
        if (grid.pictureModel()->needsThumbnail(row))
            return false;
    }
    return true;
}

void tst_PictureGrid::thumbnailsOverBudgetAreReadBack_data()
{
    QTest::addColumn<bool>("sharedCache");
    QTest::newRow("from the shared thumbnail cache") << true;
    QTest::newRow("decoded again, the shared cache off") << false;
}

void tst_PictureGrid::thumbnailsOverBudgetAreReadBack()
{
    QFETCH(bool, sharedCache);
    CThumbnailCache::setEnabled(sharedCache);
    const QStringList pictures = writeFolder("many", 120, QSize(400, 300));
    QCOMPARE(pictures.size(), 120);

    CPictureListModel model;
    QPictureFeed feed(&model);
    QPhotoViewListWidget grid(QPhotoViewListWidget::MinTileSize);
    grid.SetPictureModel(&model);
    QObject::connect(&grid, &QPhotoViewListWidget::visibleRowsChanged, &feed, &QPictureFeed::setVisibleRows);
    grid.resize(700, 500);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    // Room for about 40 thumbnails of 270 x 202: more than a screen, less than a third of them.
    const qint64 oneThumbnail = QImage(270, 202, QImage::Format_RGB32).sizeInBytes();
    model.setBudget(40 * oneThumbnail);

    QSignalSpy done(&feed, &QPictureFeed::allLoaded);
    feed.show({}, pictures);
    QVERIFY(done.wait(60000));
    QCOMPARE(model.rowCount(), pictures.size());
    QVERIFY2(model.heldBytes() <= model.budget(), qPrintable(QString::number(model.heldBytes())));
    // The rows on screen kept theirs; rows far from the screen gave theirs up.
    QVERIFY(screenHasThumbnails(grid));
    int evictedNearTheEnd = 0;
    for (int row = pictures.size() - 40; row < pictures.size(); ++row)
        evictedNearTheEnd += model.needsThumbnail(row);
    QVERIFY(evictedNearTheEnd > 0);

    if (sharedCache) {
        // The pictures are now unreadable, with their old size and time: only the shared cache's
        // entries can bring their thumbnails back.
        for (const QString& path : pictures) {
            const QDateTime modified = QFileInfo(path).lastModified();
            const qint64 size = QFileInfo(path).size();
            QVERIFY(TestSupport::writeFile(path, QByteArray(int(size), 'x')));
            QVERIFY(TestSupport::setModified(path, modified));
        }
    }
    // The user scrolls to the end: its rows are painted again.
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    QTRY_VERIFY_WITH_TIMEOUT(screenHasThumbnails(grid), 30000);
    QCOMPARE(model.rowCount(), pictures.size());
    for (int row = pictures.size() - 10; row < pictures.size(); ++row)
        QVERIFY(!model.needsThumbnail(row));
    QCOMPARE(model.thumbnail(pictures.last()).size(), QSize(270, 202));
    QVERIFY(model.heldBytes() <= model.budget());
    // The first screen is now the one far away.
    QVERIFY(model.needsThumbnail(0));
}

void tst_PictureGrid::theRowsOnScreenComeFirstAfterAJump()
{
    CThumbnailCache::setEnabled(false);
    const QStringList pictures = writeFolder("jump", 400, QSize(900, 700));
    QCOMPARE(pictures.size(), 400);

    CPictureListModel model;
    QPictureFeed feed(&model);
    QPhotoViewListWidget grid(QPhotoViewListWidget::MinTileSize);
    grid.SetPictureModel(&model);
    QObject::connect(&grid, &QPhotoViewListWidget::visibleRowsChanged, &feed, &QPictureFeed::setVisibleRows);
    grid.resize(700, 500);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    QList<int> arrived;
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& at, const QModelIndex&, const QVector<int>& roles) {
                         if (roles.contains(CPictureListModel::ThumbnailRole) && model.hasThumbnail(at.row()))
                             arrived << at.row();
                     });
    feed.show({}, pictures);
    QTRY_VERIFY_WITH_TIMEOUT(screenHasThumbnails(grid), 30000);

    // The user jumps to the end, long before the list gets there.
    QVERIFY(arrived.size() < pictures.size() / 2);
    const int before = arrived.size();
    grid.SetCurrentTile(pictures.size() - 1);
    QTRY_VERIFY_WITH_TIMEOUT(screenHasThumbnails(grid), 30000);
    const QPair<int, int> last = grid.VisibleRows();
    QVERIFY(last.first > pictures.size() / 2);
    // What came since the jump: the few pictures the workers had in hand, and the screen's. Only
    // once every row of the screen is asked for are rows beside it asked for; as those are made
    // beside the screen's last few, they may overtake them, so the count stops before those.
    const int inHand = 2 * feed.workerCount();
    const int screen = last.second - last.first + 1;
    const QList<int> since = arrived.mid(before);
    const auto onScreen = [&](int row) { return row >= last.first && row <= last.second; };
    QCOMPARE(int(std::count_if(since.cbegin(), since.cend(), onScreen)), screen);
    int fromTheScreen = 0;
    int others = 0;
    for (int i = 0; i < since.size() && fromTheScreen < screen - inHand; ++i) {
        if (onScreen(since.at(i)))
            ++fromTheScreen;
        else
            ++others;
    }
    QVERIFY2(others <= inHand, qPrintable(QString("%1 other rows came first").arg(others)));
}

void tst_PictureGrid::anotherFolderReleasesWhatTheLastOneHeld()
{
    const QStringList first = writeFolder("first", 40, QSize(200, 150));
    const QStringList second = writeFolder("second", 30, QSize(200, 150));
    QCOMPARE(first.size() + second.size(), 70);
    QEditPage page;
    page.resize(1600, 900);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");
    auto* feed = PageParts::find<QPictureFeed>(&page, "pictureFeed");

    page.OpenFolder(m_dir->filePath("first"), true);
    QTRY_COMPARE_WITH_TIMEOUT(grid->count(), first.size(), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(feed->isDone(), 30000);
    QCOMPARE(grid->pictureModel()->heldCount(), first.size());
    // One picture is sorted: the category keeps its thumbnail, whatever the grid shows next.
    page.selection()->addPictures(page.selection()->addCategory(QStringLiteral("kept")), {first.at(3)});
    QCOMPARE(page.GetSelectImageData()->Count(), 1);

    page.OpenFolder(m_dir->filePath("second"), true);
    QTRY_COMPARE_WITH_TIMEOUT(grid->count(), second.size(), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(feed->isDone(), 30000);
    // Only the second folder's thumbnails are held, and the page's store kept only the sorted one.
    QCOMPARE(grid->pictureModel()->heldCount(), second.size());
    QCOMPARE(grid->pictureModel()->heldBytes(),
             qint64(second.size()) * grid->pictureModel()->thumbnail(second.at(0)).sizeInBytes());
    QCOMPARE(page.GetSelectImageData()->Count(), 1);
    QVERIFY(page.GetSelectImageData()->FindImage(first.at(3)));
    // The session lists the grid's pictures and the sorted one, not the first folder's others.
    QStringList expected = second;
    expected << first.at(3);
    QCOMPARE(page.CurrentSession().cachedPaths, expected);

    // Pictures the grid no longer holds join the category: their thumbnails are made by the
    // feed's workers, not on the interface thread, and the category's row shows them once they
    // arrive.
    page.selection()->addPictures(0, {first.at(5), first.at(6)});
    QCOMPARE(page.GetSelectImageData()->Count(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(page.GetSelectImageData()->Count(), 3, 20000);
    const QAbstractItemModel* row = CategoryParts::pictures(CategoryParts::row(&page, 0))->model();
    QCOMPARE(row->rowCount(), 3);
    for (int i = 0; i < row->rowCount(); ++i)
        QTRY_VERIFY_WITH_TIMEOUT(!row->index(i, 0).data(Qt::DecorationRole).isNull(), 5000);
    QCOMPARE(grid->count(), second.size());
}

QTEST_MAIN(tst_PictureGrid)
#include "tst_picturegrid.moc"
