// SPDX-License-Identifier: MIT
#include "CateWidget/QCategoryPicturesView.h"
#include "Editing/QSelectionEditor.h"
#include "PhotoView/QComprareImageDlg.h"
#include "PhotoView/QPhotoViewImageDlg.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "PhotoView/QTileItemDelegate.h"
#include "Pictures/CPhotoDragPayload.h"
#include "Selection/CCategoryPictures.h"
#include "Selection/CSelection.h"
#include "TestSupport.h"
#include "WidgetTestHelpers.h"

#include <QDrag>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolTip>
#include <QUndoStack>
#include <QtTest>

#include <memory>
#include <vector>

using namespace WidgetTestHelpers;

class tst_PhotoViewList : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void foldersComeFirstPhotosAreAppended();
    void clicksTickAndUntick_data();
    void clicksTickAndUntick();
    void leftPressReportsThePicture_data();
    void leftPressReportsThePicture();
    void keysAreSwallowed();
    void rightPressMenuOnlyOverATile_data();
    void rightPressMenuOnlyOverATile();
    void doubleClick_data();
    void doubleClick();
    void viewerStepsClamped_data();
    void viewerStepsClamped();
    void compareShowsTheNextPicture();
    void steppingAnEmptyGridDoesNothing();
    void viewerAfterClearingDoesNothing();
    void usedPicturesAreMarked();
    void dragCarriesTickedTilesToACategory_data();
    void dragCarriesTickedTilesToACategory();
    void ticksFollowTheTiles_data();
    void ticksFollowTheTiles();
    void tilesNameTheirFiles();
    void tooltipTellsWhatIsKnown();

private:
    void fill(QPhotoViewListWidget& grid, int photos);
    // The folder "sub" first, then the first photos, with their thumbnails.
    void fillWithFolder(QPhotoViewListWidget& grid, int photos);
    QPoint tileCentre(QPhotoViewListWidget& grid, int row) const;
    // Fills the grid with the first photos of the fixture and shows it.
    bool showGrid(QPhotoViewListWidget& grid, int photos);
    QString photoPath(int i) const { return m_dir->filePath(QStringLiteral("p%1.png").arg(i)); }
    void click(QPhotoViewListWidget& grid, int row);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<QImage> m_thumbnails;
};

static const int kTile = 120;

void tst_PhotoViewList::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    static const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan};
    for (int i = 0; i < 5; ++i)
        QVERIFY(TestSupport::writeImage(photoPath(i), QSize(60 + 10 * i, 40), colours[i], Qt::white));
    QVERIFY(QDir(m_dir->path()).mkdir("sub"));
}

void tst_PhotoViewList::cleanup()
{
    m_thumbnails.clear();
    m_dir.reset();
}

void tst_PhotoViewList::fill(QPhotoViewListWidget& grid, int photos)
{
    for (int i = 0; i < photos; ++i) {
        m_thumbnails.push_back(QImage(photoPath(i)));
        grid.AddPhotoItem(m_thumbnails.back(), photoPath(i));
    }
}

void tst_PhotoViewList::fillWithFolder(QPhotoViewListWidget& grid, int photos)
{
    QStringList paths;
    for (int i = 0; i < photos; ++i)
        paths << photoPath(i);
    grid.pictureModel()->setItems({m_dir->filePath("sub")}, paths);
    for (const QString& path : paths)
        grid.pictureModel()->setThumbnail(path, QImage(path));
}

QPoint tst_PhotoViewList::tileCentre(QPhotoViewListWidget& grid, int row) const
{
    return grid.visualRect(grid.model()->index(row, 0)).topLeft() + QPoint(kTile / 2, kTile / 2);
}

bool tst_PhotoViewList::showGrid(QPhotoViewListWidget& grid, int photos)
{
    grid.resize(800, 600);
    fill(grid, photos);
    grid.show();
    return QTest::qWaitForWindowExposed(&grid);
}

void tst_PhotoViewList::click(QPhotoViewListWidget& grid, int row)
{
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, tileCentre(grid, row));
}

void tst_PhotoViewList::foldersComeFirstPhotosAreAppended()
{
    QPhotoViewListWidget grid(kTile);
    grid.pictureModel()->setItems({m_dir->filePath("sub"), m_dir->path()}, {photoPath(0), photoPath(1)});
    fill(grid, 1);

    // A path listed twice is one row.
    const QStringList expected{m_dir->filePath("sub"), m_dir->path(), photoPath(0), photoPath(1)};
    QCOMPARE(grid.count(), expected.size());
    QCOMPARE(grid.PictureCount(), 2);
    auto* delegate = qobject_cast<QTileItemDelegate*>(grid.itemDelegate());
    QVERIFY(delegate);
    for (int row = 0; row < grid.count(); ++row) {
        const QModelIndex index = grid.model()->index(row, 0);
        QCOMPARE(index.data(QPhotoViewListWidget::PathRole).toString(), expected.at(row));
        QCOMPARE(index.data(CPictureListModel::IsFolderRole).toBool(), row < 2);
        // The cell is the square tile and the strip with the file's name under it.
        QStyleOptionViewItem option;
        option.initFrom(&grid);
        QCOMPARE(delegate->sizeHint(option, index),
                 QSize(kTile, kTile + QTileItemDelegate::nameStripHeight(grid.fontMetrics())));
        QCOMPARE(grid.model()->flags(index),
                 Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled);
    }
    // Thumbnails are absent until loaded.
    QVERIFY(!grid.model()->index(0, 0).data(CPictureListModel::ThumbnailRole).isValid());
    grid.pictureModel()->setThumbnail(photoPath(1), m_thumbnails.at(0));
    QCOMPARE(grid.model()->index(3, 0).data(CPictureListModel::ThumbnailRole).value<QImage>().size(),
             QSize(60, 40));
}

void tst_PhotoViewList::clicksTickAndUntick_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QList<int>>("checkedRows");
    QTest::newRow("one") << QList<int>{2} << QList<int>{2};
    QTest::newRow("in click order") << QList<int>{3, 0, 2} << QList<int>{3, 0, 2};
    QTest::newRow("second click unticks") << QList<int>{1, 1} << QList<int>{};
    QTest::newRow("untick the middle one") << QList<int>{0, 1, 2, 1} << QList<int>{0, 2};
    QTest::newRow("ticked again goes last") << QList<int>{0, 1, 0, 0} << QList<int>{1, 0};
}

void tst_PhotoViewList::clicksTickAndUntick()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QList<int>, checkedRows);
    QPhotoViewListWidget grid(kTile);
    QVERIFY(showGrid(grid, 4));
    for (int row : clicks)
        click(grid, row);
    QCOMPARE(grid.GetCheckedRows(), checkedRows);
    QCOMPARE(grid.GetCurrentRow(), clicks.last());
    for (int row = 0; row < grid.count(); ++row)
        QCOMPARE(grid.pictureModel()->isTicked(row), checkedRows.contains(row));
}

void tst_PhotoViewList::leftPressReportsThePicture_data()
{
    QTest::addColumn<bool>("onTile");
    QTest::newRow("on a tile") << true;
    QTest::newRow("on empty space") << false;
}

void tst_PhotoViewList::leftPressReportsThePicture()
{
    QFETCH(bool, onTile);
    QPhotoViewListWidget grid(kTile);
    QVERIFY(showGrid(grid, 2));
    QSignalSpy pressed(&grid, &QPhotoViewListWidget::checkImageItem);
    const QPoint at = onTile ? tileCentre(grid, 1) : QPoint(790, 590);
    sendMouse(grid.viewport(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    sendMouse(grid.viewport(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(pressed.count(), onTile ? 1 : 0);
    if (onTile)
        QCOMPARE(pressed.at(0).at(0).toString(), photoPath(1));
    QCOMPARE(grid.GetCurrentRow(), onTile ? 1 : -1);
    QCOMPARE(grid.GetCheckedRows(), onTile ? QList<int>{1} : QList<int>{});
}

void tst_PhotoViewList::keysAreSwallowed()
{
    QPhotoViewListWidget grid(kTile);
    fill(grid, 3);
    grid.SetCurrentTile(0);
    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_Right);
    QTest::keyClick(&grid, Qt::Key_End, Qt::ShiftModifier);
    QVERIFY(grid.GetCheckedRows().isEmpty());
    QCOMPARE(grid.currentIndex().row(), 0);
    QCOMPARE(grid.GetCurrentRow(), 0);
}

void tst_PhotoViewList::rightPressMenuOnlyOverATile_data()
{
    QTest::addColumn<bool>("onTile");
    QTest::newRow("over a tile") << true;
    QTest::newRow("over empty space") << false;
}

void tst_PhotoViewList::rightPressMenuOnlyOverATile()
{
    QFETCH(bool, onTile);
    QPhotoViewListWidget grid(kTile);
    QVERIFY(showGrid(grid, 3));
    QStringList menuTexts;
    const QPoint at = onTile ? tileCentre(grid, 2) : QPoint(790, 590);
    const bool opened = opensModal(
        [] { return QApplication::activePopupWidget(); },
        [&] { sendMouse(grid.viewport(), QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton); },
        [&](QWidget* menu) {
            for (QAction* action : menu->actions())
                menuTexts << action->text();
        });
    QCOMPARE(opened, onTile);
    QCOMPARE(menuTexts, onTile ? (QStringList{QStringLiteral("显示大图"), QStringLiteral("对比相似照片")})
                               : QStringList());
    QCOMPARE(grid.GetCurrentRow(), onTile ? 2 : -1);
    // A right press never ticks.
    QVERIFY(grid.GetCheckedRows().isEmpty());
}

void tst_PhotoViewList::doubleClick_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("viewerOpens");
    QTest::addColumn<bool>("folderSignal");
    QTest::newRow("picture") << "picture" << true << false;
    QTest::newRow("folder") << "folder" << false << true;
    QTest::newRow("picture deleted meanwhile") << "gone" << false << false;
}

void tst_PhotoViewList::doubleClick()
{
    QFETCH(QString, kind);
    QFETCH(bool, viewerOpens);
    QFETCH(bool, folderSignal);
    QPhotoViewListWidget grid(kTile);
    grid.resize(800, 600);
    fillWithFolder(grid, 2);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    if (kind == "gone")
        QVERIFY(QFile::remove(photoPath(1)));
    const int row = kind == "folder" ? 0 : 2;
    QSignalSpy folders(&grid, &QPhotoViewListWidget::doubleFolder);

    QPhotoViewImageDlg* viewer = grid.GetViewImageDlg();
    QString shownPath;
    QWidget* tile = grid.viewport();
    const QPoint at = tileCentre(grid, row);
    const bool opened = opensModal([viewer] { return viewer; },
                                   [&] {
                                       QTest::mouseClick(tile, Qt::LeftButton, {}, at);
                                       QTest::mouseDClick(tile, Qt::LeftButton, {}, at);
                                   },
                                   [&](QWidget*) { shownPath = viewer->GetImagePath(); });
    QCOMPARE(opened, viewerOpens);
    QCOMPARE(shownPath, viewerOpens ? photoPath(1) : QString());
    QCOMPARE(folders.count(), folderSignal ? 1 : 0);
    if (folderSignal)
        QCOMPARE(folders.at(0).at(0).toString(), m_dir->filePath("sub"));
    QCOMPARE(grid.GetCurrentRow(), row);
}

void tst_PhotoViewList::viewerStepsClamped_data()
{
    QTest::addColumn<int>("startRow");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("expectedRow");
    QTest::newRow("next from the middle") << 1 << "nextButton" << 2;
    QTest::newRow("next from the last stays") << 3 << "nextButton" << 3;
    QTest::newRow("previous from the middle") << 2 << "preButton" << 1;
    QTest::newRow("previous from row 0 stays") << 0 << "preButton" << 0;
    QTest::newRow("previous with no row goes to 0") << -1 << "preButton" << 0;
    QTest::newRow("next with no row goes to 0") << -1 << "nextButton" << 0;
}

void tst_PhotoViewList::viewerStepsClamped()
{
    QFETCH(int, startRow);
    QFETCH(QString, button);
    QFETCH(int, expectedRow);
    QPhotoViewListWidget grid(kTile);
    grid.resize(800, 600);
    fillWithFolder(grid, 3); // rows: folder, p0, p1, p2
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    if (startRow >= 0)
        click(grid, startRow);
    QPhotoViewImageDlg* viewer = grid.GetViewImageDlg();
    viewer->findChild<QPushButton*>(button)->click();
    QCOMPARE(grid.GetCurrentRow(), expectedRow);
    QCOMPARE(viewer->GetImagePath(), grid.PathAt(expectedRow));
    // Stepping onto the folder shows its name and an empty area.
    if (expectedRow == 0) {
        QCOMPARE(viewer->findChild<QLabel*>("nameLabel")->text(), QStringLiteral("sub"));
        QCOMPARE(viewer->findChild<QLabel*>("sizeLabel")->text(), QStringLiteral("0 x 0 像素"));
    }
}

void tst_PhotoViewList::compareShowsTheNextPicture()
{
    QPhotoViewListWidget grid(kTile);
    QVERIFY(showGrid(grid, 3));
    click(grid, 2);
    QPhotoViewImageDlg* viewer = grid.GetViewImageDlg();
    viewer->SetImage(photoPath(2));
    QComprareImageDlg* compare = viewer->GetCompareDlg();
    QSize rightSize;
    const bool opened = opensModal(
        [compare] { return compare; }, [&] { viewer->findChild<QPushButton*>("compareButton")->click(); },
        [&](QWidget*) {
            rightSize = compare->findChild<QLabel*>("rightLabel")->pixmap(Qt::ReturnByValue).size();
        });
    QVERIFY(opened);
    // Clamped to the last row, which is the same picture: 80 x 40 fitted into 800 x 800.
    QCOMPARE(grid.GetCurrentRow(), 2);
    QCOMPARE(rightSize, QSize(800, 400));
}

void tst_PhotoViewList::steppingAnEmptyGridDoesNothing()
{
    QPhotoViewListWidget grid(kTile);
    grid.onGetNextImage();
    grid.onGetPreImage();
    QVERIFY(!opensModal([&] { return grid.GetViewImageDlg()->GetCompareDlg(); },
                        [&] { grid.onGetCompareImage(); }));
    QCOMPARE(grid.GetCurrentRow(), -1);
    QVERIFY(grid.GetViewImageDlg()->GetImagePath().isEmpty());
}

void tst_PhotoViewList::viewerAfterClearingDoesNothing()
{
    QPhotoViewListWidget grid(kTile);
    QVERIFY(showGrid(grid, 3));
    click(grid, 2);
    grid.ClearSelfData();
    QCOMPARE(grid.count(), 0);
    QVERIFY(grid.GetCheckedRows().isEmpty());
    // The rows went with the current one; showing must not reach for them.
    QCOMPARE(grid.GetCurrentRow(), -1);
    QVERIFY(!opensModal([&] { return grid.GetViewImageDlg(); }, [&] { grid.onShowImageView(); }));
}

void tst_PhotoViewList::usedPicturesAreMarked()
{
    // The marks are the colours of the categories holding a picture, asked at paint time.
    CSelection selection;
    const int red = selection.addCategory("a");
    const int green = selection.addCategory("b");
    QPhotoViewListWidget grid(kTile);
    grid.pictureModel()->setSelection(&selection);
    QVERIFY(showGrid(grid, 4));
    for (int row : {0, 1, 2})
        click(grid, row);
    auto marks = [&](int row) {
        return grid.model()->index(row, 0).data(CPictureListModel::MarksRole).value<QList<QColor>>();
    };

    grid.UntickPaths({"/elsewhere/x.png"});
    QCOMPARE(grid.GetCheckedRows(), (QList<int>{0, 1, 2}));

    selection.addPictures(red, {photoPath(1), photoPath(3)});
    selection.addPictures(green, {photoPath(1)});
    grid.UntickPaths({photoPath(1), photoPath(3)});
    // Tiles that were not put into the category keep their tick, and still travel with a drag.
    QCOMPARE(grid.GetCheckedRows(), (QList<int>{0, 2}));
    QVERIFY(grid.pictureModel()->isTicked(0));
    QVERIFY(!grid.pictureModel()->isTicked(1));
    const QColor redColour = selection.at(red).color;
    const QColor greenColour = selection.at(green).color;
    QCOMPARE(marks(1), (QList<QColor>{redColour, greenColour}));
    QCOMPARE(marks(3), QList<QColor>{redColour});
    QVERIFY(marks(2).isEmpty());

    selection.removePictures(red, {photoPath(1), photoPath(2)});
    QCOMPARE(marks(1), QList<QColor>{greenColour});
    QVERIFY(marks(2).isEmpty());
    QCOMPARE(marks(3), QList<QColor>{redColour});

    // The veil and the first square are painted in the category's colour.
    const QImage painted = grid.viewport()->grab().toImage();
    const QPoint square = grid.visualRect(grid.model()->index(3, 0)).topLeft() + QPoint(12, 12);
    QCOMPARE(painted.pixelColor(square * painted.devicePixelRatio()).rgb(), redColour.rgb());
}

void tst_PhotoViewList::dragCarriesTickedTilesToACategory_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("dragRow");
    QTest::addColumn<QList<int>>("dropped");
    QTest::newRow("three ticked, middle unticked") << QList<int>{0, 1, 2, 1} << 0 << QList<int>{0, 2};
    QTest::newRow("tick order, not row order") << QList<int>{3, 1} << 3 << QList<int>{3, 1};
    QTest::newRow("tile under the mouse not ticked") << QList<int>{2} << 4 << QList<int>{2};
    QTest::newRow("nothing ticked") << QList<int>{} << 1 << QList<int>{};
}

void tst_PhotoViewList::dragCarriesTickedTilesToACategory()
{
    QFETCH(QList<int>, clicks);
    QFETCH(int, dragRow);
    QFETCH(QList<int>, dropped);
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* grid = new QPhotoViewListWidget(kTile);
    // A category row's pictures, over a selection of one category.
    CSelection selection;
    QSelectionEditor editor(&selection);
    CCategoryPictures pictures(&selection, selection.addCategory());
    pictures.setThumbnails([this](const QString& path) {
        for (std::size_t i = 0; i < m_thumbnails.size(); ++i) {
            if (photoPath(int(i)) == path)
                return QPixmap::fromImage(m_thumbnails[i]);
        }
        return QPixmap();
    });
    auto* category = new QCategoryPicturesView(&pictures, &editor, 60);
    layout->addWidget(grid, 3);
    layout->addWidget(category, 1);
    window.resize(1000, 500);
    fill(*grid, 5);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int row : clicks)
        click(*grid, row);

    DragCatcher catcher;
    grid->installEventFilter(&catcher);
    QWidget* tile = grid->viewport();
    const QPoint start = tileCentre(*grid, dragRow);
    const QPoint nearly = start + QPoint(QApplication::startDragDistance() - 1, 0);
    sendMouse(tile, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    sendMouse(tile, QEvent::MouseMove, nearly, Qt::NoButton, Qt::LeftButton);
    QVERIFY(!qobject_cast<QDrag*>(catcher.child));
    sendMouse(tile, QEvent::MouseMove, nearly + QPoint(0, 1), Qt::NoButton, Qt::LeftButton);
    const QDrag* drag = qobject_cast<QDrag*>(catcher.child);
    QVERIFY(drag);
    QCOMPARE(drag->mimeData()->formats(), QStringList{"photo/x-ombrel-cata"});
    // The drag shows the last ticked picture, held by its centre.
    QCOMPARE(drag->pixmap().isNull(), dropped.isEmpty());
    if (!dropped.isEmpty()) {
        const QSize shown = m_thumbnails[dropped.last()].size();
        QCOMPARE(drag->pixmap().size(), shown);
        QCOMPARE(drag->hotSpot(), QPoint(shown.width() / 2, shown.height() / 2));
    }

    QSignalSpy added(&selection, &CSelection::picturesAdded);
    const QPoint target = category->viewport()->rect().center();
    QDragEnterEvent enter(target, Qt::MoveAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(category->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(target, Qt::MoveAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(category->viewport(), &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(drop.dropAction(), Qt::MoveAction);

    QStringList expected;
    for (int row : dropped)
        expected << photoPath(row);
    // Straight into the category, in one step; an empty drop changes nothing.
    QCOMPARE(added.count(), expected.isEmpty() ? 0 : 1);
    if (!expected.isEmpty())
        QCOMPARE(added.at(0).at(1).toStringList(), expected);
    QCOMPARE(selection.at(0).pictures, expected);
    QCOMPARE(editor.undoStack()->count(), expected.isEmpty() ? 0 : 1);
    QCOMPARE(pictures.rowCount(), expected.size());
    for (int i = 0; i < dropped.size(); ++i)
        QCOMPARE(pictures.index(i)
                     .data(Qt::DecorationRole)
                     .value<QIcon>()
                     .pixmap(m_thumbnails[dropped[i]].size())
                     .toImage()
                     .convertToFormat(QImage::Format_RGB32),
                 m_thumbnails[dropped[i]].convertToFormat(QImage::Format_RGB32));
    // The drag changes nothing in the grid.
    QCOMPARE(grid->GetCheckedRows().size(), dropped.size());
}

void tst_PhotoViewList::ticksFollowTheTiles_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<QList<int>>("dragged");
    // Unreadable rows leave the grid as the workers find them, moving the photos after them up.
    QTest::newRow("row before the tick goes") << QList<int>{1} << "unreadable 0" << QList<int>{1};
    QTest::newRow("row between two ticks goes") << QList<int>{3, 0} << "unreadable 2" << QList<int>{3, 0};
    // A drop marks the dropped tiles; the other ticked tiles still show a tick and still travel.
    QTest::newRow("part of the ticks dropped") << QList<int>{2, 0, 4} << "drop 0" << QList<int>{2, 4};
    QTest::newRow("cleared") << QList<int>{2, 0} << "clear" << QList<int>{};
}

void tst_PhotoViewList::ticksFollowTheTiles()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QString, meanwhile);
    QFETCH(QList<int>, dragged);
    QPhotoViewListWidget grid(kTile);
    QVERIFY(showGrid(grid, 5));
    for (int row : clicks)
        click(grid, row);

    if (meanwhile.startsWith("unreadable")) {
        const QString gone = photoPath(meanwhile.back().digitValue());
        grid.pictureModel()->setThumbnail(gone, QImage());
        QTRY_COMPARE(grid.count(), 4);
        QVERIFY(!grid.PathAt(0).isEmpty() && !grid.GetCheckedPaths().contains(gone));
    } else if (meanwhile == "drop 0") {
        grid.UntickPaths({photoPath(0)});
    } else {
        grid.ClearSelfData();
        fill(grid, 5);
    }

    QStringList expected;
    for (int photo : dragged)
        expected << photoPath(photo);
    QCOMPARE(grid.GetCheckedPaths(), expected);

    // What shows a tick is what the drag carries.
    QStringList ticked;
    for (int row = 0; row < grid.count(); ++row) {
        if (grid.model()->index(row, 0).data(CPictureListModel::TickedRole).toBool())
            ticked << grid.PathAt(row);
    }
    QStringList expectedSorted = expected;
    expectedSorted.sort();
    ticked.sort();
    QCOMPARE(ticked, expectedSorted);

    DragCatcher catcher;
    grid.installEventFilter(&catcher);
    QWidget* tile = grid.viewport();
    const QPoint start = tileCentre(grid, grid.count() - 1);
    sendMouse(tile, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    sendMouse(tile, QEvent::MouseMove, start + QPoint(QApplication::startDragDistance() + 1, 0), Qt::NoButton,
              Qt::LeftButton);
    const QDrag* drag = qobject_cast<QDrag*>(catcher.child);
    QVERIFY(drag);
    QStringList carried;
    QList<QImage> pictures;
    QVERIFY(
        CPhotoDragPayload::Read(drag->mimeData()->data(CPhotoDragPayload::MimeType()), &carried, &pictures));
    QCOMPARE(carried, expected);
}

void tst_PhotoViewList::tilesNameTheirFiles()
{
    const QString longName = m_dir->filePath("holiday_by_the_sea_with_the_whole_family_0001.png");
    const QString shortName = m_dir->filePath("a.png");
    QVERIFY(QFile::copy(photoPath(0), longName));
    QVERIFY(QFile::copy(photoPath(1), shortName));
    // The edit page's tile size.
    const int size = 270;
    QPhotoViewListWidget grid(size);
    grid.resize(900, 600);
    grid.pictureModel()->setItems({m_dir->filePath("sub")}, {longName, shortName});
    grid.pictureModel()->setThumbnail(longName, QImage(longName));
    grid.pictureModel()->setThumbnail(shortName, QImage(shortName));
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCOMPARE(grid.model()->index(0, 0).data().toString(), QString("sub"));
    QCOMPARE(grid.model()->index(2, 0).data().toString(), QString("a.png"));

    // A long name keeps its start and its end, with the middle elided, in the tile's width: the
    // painted strip has text at both ends of its width, and the middle of it is not blank.
    const QRect cell = grid.visualRect(grid.model()->index(1, 0));
    QCOMPARE(cell.size(), QSize(size, size + QTileItemDelegate::nameStripHeight(grid.fontMetrics())));
    const QImage painted = grid.viewport()->grab(cell).toImage();
    const QColor text = grid.palette().color(QPalette::WindowText);
    int textPixels = 0;
    int leftmost = painted.width();
    int rightmost = 0;
    for (int y = size * painted.devicePixelRatio(); y < painted.height(); ++y) {
        for (int x = 0; x < painted.width(); ++x) {
            if (qAbs(painted.pixelColor(x, y).lightness() - text.lightness()) < 60) {
                ++textPixels;
                leftmost = qMin(leftmost, x);
                rightmost = qMax(rightmost, x);
            }
        }
    }
    QVERIFY2(textPixels > 20, qPrintable(QString::number(textPixels)));
    // Elided to the width: it fills the strip but stays inside it.
    QVERIFY2(leftmost >= 4 && rightmost <= painted.width() - 4,
             qPrintable(QString("%1..%2").arg(leftmost).arg(rightmost)));
    QVERIFY2(rightmost - leftmost > size / 2, qPrintable(QString("%1..%2").arg(leftmost).arg(rightmost)));
}

void tst_PhotoViewList::tooltipTellsWhatIsKnown()
{
    QPhotoViewListWidget grid(kTile);
    QVERIFY(showGrid(grid, 2));
    const QString native = QDir::toNativeSeparators(photoPath(0));
    auto tip = [&](int row) { return grid.model()->index(row, 0).data(Qt::ToolTipRole).toString(); };
    QCOMPARE(tip(0), native);

    grid.SetPictureFacts(photoPath(0), QSize(4000, 3000), QDateTime(QDate(2024, 5, 1), QTime(12, 30)),
                         2516582);
    const QString full = native + "\n尺寸 4000 × 3000 像素\n拍摄时间 2024-05-01 12:30\n文件大小 2.4 MB";
    QCOMPARE(tip(0), full);
    QCOMPARE(grid.model()->index(0, 0).data(QPhotoViewListWidget::PixelSizeRole).toSize(), QSize(4000, 3000));
    QCOMPARE(tip(1), QDir::toNativeSeparators(photoPath(1)));

    // Facts not known yet stay out; a later report does not forget what was known.
    grid.SetPictureFacts(photoPath(1), QSize(), QDateTime(), 1536);
    QCOMPARE(tip(1), QDir::toNativeSeparators(photoPath(1)) + "\n文件大小 1.5 kB");
    grid.SetPictureFacts(photoPath(1), QSize(640, 480), QDateTime(), -1);
    QCOMPARE(tip(1), QDir::toNativeSeparators(photoPath(1)) + "\n尺寸 640 × 480 像素\n文件大小 1.5 kB");

    // Hovering the tile shows the row's tooltip.
    QWidget* tile = grid.viewport();
    const QPoint at = tileCentre(grid, 0);
    QHelpEvent hover(QEvent::ToolTip, at, tile->mapToGlobal(at));
    QApplication::sendEvent(tile, &hover);
    QTRY_COMPARE(QToolTip::text(), full);
    QToolTip::hideText();
}

QTEST_MAIN(tst_PhotoViewList)
#include "tst_photoviewlist.moc"
