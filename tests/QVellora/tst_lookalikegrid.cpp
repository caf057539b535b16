// SPDX-License-Identifier: MIT
#include "CProgramFiles.h"
#include "Dialogs/QUserDialogs.h"
#include "EditPage/QEditPage.h"
#include "ExifJpeg.h"
#include "PageParts.h"
#include "PaintedScenes.h"
#include "PhotoView/QComprareImageDlg.h"
#include "PhotoView/QLookalikeTiles.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "PhotoView/QTileItemDelegate.h"
#include "Pictures/CSharpestPicks.h"
#include "Selection/CSelection.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

#include <memory>

// Look-alike groups as the user meets them on the edit page: real JPEG files with capture times
// go through the page's own loaders, and the grid, the "one per group" view and the compare
// window show what the groups made of them.
class tst_LookalikeGrid : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void reencodeCarriesBadgeOtherScenesDoNot();
    void firstOfEachHidesExactlyTheLaterMembers();
    void compareWindowSortsTheChosenPicture();
    void sharpestOfEachBurstIsMarkedAndTicked();

private:
    // A scene, its re-encode 2 s later and its crop 5 s later; another scene 40 s later; the
    // first scene again an hour later. Returns the files by name.
    QStringList writeFolder();
    // A burst of one detailed scene whose sharp shot is the middle one, two single pictures, a
    // picture too small to score and two flat shots seconds apart.
    QStringList writeBurstFolder();
    // Opens the folder and waits until every tile is in and the burst is grouped.
    bool openAndGroup(QEditPage& page, int tiles);
    QString path(const QString& name) const { return m_dir->filePath("shots/" + name); }
    static int rowOf(QPhotoViewListWidget* grid, const QString& path);

    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

const QDateTime start(QDate(2024, 8, 3), QTime(10, 15, 0));

QByteArray exifText(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")).toLatin1();
}

// The colour painted at the badge's place in the top right corner of a tile.
QColor badgeCorner(QPhotoViewListWidget* grid, int row)
{
    const QModelIndex at = grid->model()->index(row, 0);
    grid->scrollTo(at);
    const QRect cell = grid->visualRect(at);
    const QImage shot = grid->viewport()->grab(cell).toImage();
    return shot.pixelColor(grid->TileSize() - 12, 10);
}

QPoint tileCentre(QPhotoViewListWidget* grid, int row)
{
    const QModelIndex at = grid->model()->index(row, 0);
    grid->scrollTo(at);
    return grid->visualRect(at).topLeft() + QPoint(grid->TileSize() / 2, grid->TileSize() / 2);
}

// A scene with fine detail over its coarse shapes: thin lines and letters a lens renders crisp or
// soft.
QImage detailedScene(quint32 seed)
{
    QImage image = PaintedScenes::paint(seed).convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    QRandomGenerator random(seed);
    for (int i = 0; i < 120; ++i) {
        painter.setPen(
            QPen(QColor::fromHsv(random.bounded(360), 160, random.bounded(256)), 1 + random.bounded(3)));
        const QPoint from(random.bounded(image.width()), random.bounded(image.height()));
        painter.drawLine(from, from + QPoint(random.bounded(-200, 200), random.bounded(-200, 200)));
    }
    QFont font = painter.font();
    font.setPixelSize(30);
    painter.setFont(font);
    for (int i = 0; i < 24; ++i) {
        painter.setPen(random.bounded(2) ? Qt::white : Qt::black);
        painter.drawText(random.bounded(image.width()), random.bounded(image.height()),
                         QStringLiteral("Vellora %1").arg(random.bounded(10000)));
    }
    return image;
}

// Out of focus: the scene shrunk by factor and smoothly enlarged back.
QImage defocused(const QImage& image, int factor)
{
    return image.scaled(image.size() / factor, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .scaled(image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The colour painted in the middle of the left end of the "最清晰" mark's place on a tile.
QColor sharpestMarkAt(QPhotoViewListWidget* grid, int row)
{
    const QModelIndex at = grid->model()->index(row, 0);
    grid->scrollTo(at);
    const QRect cell = grid->visualRect(at);
    const QImage shot = grid->viewport()->grab(cell).toImage();
    const QRect square(QPoint(0, 0), QSize(grid->TileSize() - 1, grid->TileSize() - 1));
    const QRect mark = QTileItemDelegate::sharpestRect(square, grid->fontMetrics());
    return shot.pixelColor(mark.left() + 3, mark.center().y());
}

} // namespace

void tst_LookalikeGrid::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    CProgramFiles::setRecordFolderOverride(m_dir->filePath("records"));
    QUserDialogs::Answers answers;
    answers.notice = [](const QString& title, const QString& text) {
        QFAIL(qPrintable("unexpected notice " + title + ": " + text));
    };
    QUserDialogs::setAnswers(answers);
}

void tst_LookalikeGrid::cleanup()
{
    QUserDialogs::clearAnswers();
    CProgramFiles::setRecordFolderOverride(QString());
    m_dir.reset();
}

QStringList tst_LookalikeGrid::writeFolder()
{
    QDir().mkpath(m_dir->filePath("shots"));
    const QImage scene = PaintedScenes::paint(7);
    bool ok = ExifJpeg::writeWithTime(path("a0.jpg"), scene, exifText(start), 1, 92);
    ok = ok && ExifJpeg::writeWithTime(path("a1_reencoded.jpg"), scene, exifText(start.addSecs(2)), 1, 35);
    ok = ok && ExifJpeg::writeWithTime(path("a2_cropped.jpg"), scene.copy(30, 24, 1140, 852),
                                       exifText(start.addSecs(5)));
    ok = ok &&
         ExifJpeg::writeWithTime(path("b0_other.jpg"), PaintedScenes::paint(99), exifText(start.addSecs(40)));
    ok =
        ok && ExifJpeg::writeWithTime(path("c0_hour_later.jpg"), scene, exifText(start.addSecs(3600)), 1, 80);
    if (!ok)
        return {};
    return {path("a0.jpg"), path("a1_reencoded.jpg"), path("a2_cropped.jpg"), path("b0_other.jpg"),
            path("c0_hour_later.jpg")};
}

QStringList tst_LookalikeGrid::writeBurstFolder()
{
    QDir().mkpath(m_dir->filePath("shots"));
    const QImage scene = detailedScene(7);
    QImage flat(1200, 900, QImage::Format_RGB32);
    flat.fill(QColor(120, 130, 140));
    const QList<QPair<QString, QImage>> shots{
        // The burst: the first frame badly out of focus, the sharp one in the middle, then a
        // slightly soft one. The mark belongs to the middle one, whatever the order.
        {"burst_0_soft.jpg", defocused(scene, 8)},
        {"burst_1_sharp.jpg", scene},
        {"burst_2_softer.jpg", defocused(scene, 4)},
        {"single_other.jpg", detailedScene(99)},
        {"tiny.jpg", detailedScene(3).scaled(24, 18)},
        {"flat_0.jpg", flat},
        {"flat_1.jpg", flat},
        {"single_later.jpg", scene},
    };
    const QList<int> seconds{0, 2, 4, 40, 70, 100, 102, 3600};
    QStringList files;
    for (int i = 0; i < shots.size(); ++i) {
        if (!ExifJpeg::writeWithTime(path(shots.at(i).first), shots.at(i).second,
                                     exifText(start.addSecs(seconds.at(i))), 1, 90))
            return {};
        files << path(shots.at(i).first);
    }
    return files;
}

bool tst_LookalikeGrid::openAndGroup(QEditPage& page, int tiles)
{
    page.resize(1300, 800);
    page.show();
    if (!QTest::qWaitForWindowExposed(&page))
        return false;
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");
    page.OpenFolder(m_dir->filePath("shots"), true);
    // Facts come after each thumbnail: wait for the last of them.
    return QTest::qWaitFor(
        [&] {
            if (grid->count() != tiles)
                return false;
            for (int row = 0; row < grid->count(); ++row) {
                if (!page.GetPictureFacts(grid->PathAt(row)).isValid())
                    return false;
            }
            // Groups reach the tiles once per pass of the event loop.
            return page.lookalikes()->isSettled();
        },
        30000);
}

int tst_LookalikeGrid::rowOf(QPhotoViewListWidget* grid, const QString& path)
{
    for (int row = 0; row < grid->count(); ++row) {
        if (grid->PathAt(row) == path)
            return row;
    }
    return -1;
}

void tst_LookalikeGrid::reencodeCarriesBadgeOtherScenesDoNot()
{
    // Only the picture and its re-encode, seconds apart, and two that are not look-alikes of it.
    const QStringList files = writeFolder();
    QCOMPARE(files.size(), 5);
    QVERIFY(QFile::remove(path("a2_cropped.jpg")));
    QEditPage page;
    QVERIFY(openAndGroup(page, 4));
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");

    QMap<QString, int> counts;
    for (int row = 0; row < grid->count(); ++row)
        counts.insert(QFileInfo(grid->PathAt(row)).fileName(),
                      grid->model()->index(row, 0).data(CPictureListModel::LookalikeCountRole).toInt());
    const QMap<QString, int> expected{
        {"a0.jpg", 2}, {"a1_reencoded.jpg", 2}, {"b0_other.jpg", 1}, {"c0_hour_later.jpg", 1}};
    QCOMPARE(counts, expected);

    // The badge is painted on the two and only on them.
    QCOMPARE(badgeCorner(grid, rowOf(grid, path("a1_reencoded.jpg"))), QColor(20, 90, 160));
    QVERIFY(badgeCorner(grid, rowOf(grid, path("b0_other.jpg"))) != QColor(20, 90, 160));
    QCOMPARE(page.lookalikes()->groupOf(path("a1_reencoded.jpg")),
             (QStringList{path("a0.jpg"), path("a1_reencoded.jpg")}));

    // Facts that come after their tile, and facts of a picture the grid does not show (a
    // restored category's picture from elsewhere), on a grid of its own.
    QPhotoViewListWidget lateGrid(270);
    QLookalikeTiles late(&lateGrid);
    for (const char* name : {"a0.jpg", "a1_reencoded.jpg", "b0_other.jpg"}) {
        lateGrid.AddPhotoItem(QImage(), path(name));
        late.tileAdded(path(name), CPictureFacts());
    }
    for (const char* name : {"a0.jpg", "a1_reencoded.jpg", "b0_other.jpg", "c0_hour_later.jpg"})
        late.onPictureFacts(path(name), page.GetPictureFacts(path(name)));
    QCOMPARE(late.groups().count(), 3);
    QVERIFY(!late.isSettled());
    QTRY_VERIFY(late.isSettled());
    QCOMPARE(lateGrid.model()->index(1, 0).data(CPictureListModel::LookalikeCountRole).toInt(), 2);
    QCOMPARE(lateGrid.model()->index(2, 0).data(CPictureListModel::LookalikeCountRole).toInt(), 1);

    // Another folder starts from nothing: its single picture joins no group of the last one.
    QDir().mkpath(m_dir->filePath("next"));
    QVERIFY(ExifJpeg::writeWithTime(m_dir->filePath("next/a0_copy.jpg"), PaintedScenes::paint(7),
                                    exifText(start), 1, 60));
    page.OpenFolder(m_dir->filePath("next"), true);
    QTRY_COMPARE(grid->count(), 1);
    QTRY_VERIFY(page.GetPictureFacts(m_dir->filePath("next/a0_copy.jpg")).isValid());
    QTRY_VERIFY(page.lookalikes()->isSettled());
    QCOMPARE(grid->model()->index(0, 0).data(CPictureListModel::LookalikeCountRole).toInt(), 1);
    QCOMPARE(page.lookalikes()->groups().count(), 1);
}

void tst_LookalikeGrid::firstOfEachHidesExactlyTheLaterMembers()
{
    QCOMPARE(writeFolder().size(), 5);
    QEditPage page;
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");
    QAction* firstOnly = page.GetFirstOfEachAction();
    QVERIFY(firstOnly->isCheckable());
    // Switched on before the pictures come: the view follows the groups as they form.
    firstOnly->setChecked(true);
    QVERIFY(openAndGroup(page, 5));

    auto hiddenNames = [grid] {
        QStringList names;
        for (int row = 0; row < grid->count(); ++row) {
            if (grid->isRowHidden(row))
                names << QFileInfo(grid->PathAt(row)).fileName();
        }
        names.sort();
        return names;
    };
    QCOMPARE(hiddenNames(), (QStringList{"a1_reencoded.jpg", "a2_cropped.jpg"}));

    firstOnly->setChecked(false);
    QCOMPARE(hiddenNames(), QStringList());

    // A ticked later member is unticked as it is hidden: the next drag carries only what shows.
    const int cropped = rowOf(grid, path("a2_cropped.jpg"));
    const int other = rowOf(grid, path("b0_other.jpg"));
    for (int row : {cropped, other}) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, tileCentre(grid, row));
    }
    QCOMPARE(grid->GetCheckedPaths(), (QStringList{path("a2_cropped.jpg"), path("b0_other.jpg")}));
    firstOnly->setChecked(true);
    QCOMPARE(hiddenNames(), (QStringList{"a1_reencoded.jpg", "a2_cropped.jpg"}));
    QCOMPARE(grid->GetCheckedPaths(), QStringList{path("b0_other.jpg")});
    QVERIFY(!grid->model()->index(cropped, 0).data(CPictureListModel::TickedRole).toBool());
}

void tst_LookalikeGrid::compareWindowSortsTheChosenPicture()
{
    QCOMPARE(writeFolder().size(), 5);
    QEditPage page;
    QVERIFY(openAndGroup(page, 5));
    CSelection* selection = page.selection();
    while (selection->count() < 2)
        selection->addCategory();
    selection->rename(1, QStringLiteral("冲印"));
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");

    // The tile's context menu, as the user opens it with the right button.
    auto chooseFromMenu = [grid](int row, bool* enabled) {
        QTimer::singleShot(0, grid, [enabled] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* action : menu->actions()) {
                if (action->text() == QStringLiteral("对比相似照片")) {
                    *enabled = action->isEnabled();
                    menu->close();
                    if (*enabled)
                        action->trigger();
                }
            }
        });
        const QPoint at = tileCentre(grid, row);
        QTest::mousePress(grid->viewport(), Qt::RightButton, {}, at);
        QTest::mouseRelease(grid->viewport(), Qt::RightButton, {}, at);
    };

    // A single has nothing to compare with.
    bool enabled = true;
    chooseFromMenu(rowOf(grid, path("b0_other.jpg")), &enabled);
    QVERIFY(!enabled);
    QVERIFY(!page.GetLookalikeDlg());

    enabled = false;
    chooseFromMenu(rowOf(grid, path("a1_reencoded.jpg")), &enabled);
    QVERIFY(enabled);
    QComprareImageDlg* compare = page.GetLookalikeDlg();
    QVERIFY(compare);
    QTRY_VERIFY(compare->isVisible());
    // The group's first three, sharpest first (as the facts score them).
    const QStringList group{path("a0.jpg"), path("a1_reencoded.jpg"), path("a2_cropped.jpg")};
    QCOMPARE(compare->GetPaths(), CSharpestPicks::bySharpness(group, [&page](const QString& file) {
                 return page.GetPictureFacts(file).sharpness;
             }));
    QCOMPARE(compare->GetChosenPath(), path("a1_reencoded.jpg"));
    // Three pictures side by side, read upright and reduced to a third of the width each.
    int shown = 0;
    for (QLabel* label : compare->findChildren<QLabel*>()) {
        if (label->isVisible() && label->objectName().endsWith("Label")) {
            ++shown;
            const QSize size = label->pixmap(Qt::ReturnByValue).size();
            QVERIFY2(size.width() == 533 || size.height() == 800, qPrintable(label->objectName()));
        }
    }
    QCOMPARE(shown, 3);
    QCOMPARE(PageParts::find<QLabel>(compare, "caption1")->text(),
             QFileInfo(compare->GetPaths().at(1)).fileName());

    // Key 2: the chosen picture goes into the second category, through the page's selection.
    QTest::keyClick(compare, Qt::Key_2);
    QCOMPARE(selection->at(1).pictures, QStringList{path("a1_reencoded.jpg")});
    QCOMPARE(selection->at(0).pictures, QStringList());
    // A click chooses another picture; the first category's button takes it.
    QLabel* croppedLabel = PageParts::find<QLabel>(compare, "picture2Label");
    QTest::mouseClick(croppedLabel, Qt::LeftButton);
    const QString third = compare->GetPaths().at(2);
    QCOMPARE(compare->GetChosenPath(), third);
    PageParts::find<QPushButton>(compare, "category1Button")->click();
    QCOMPARE(selection->at(0).pictures, QStringList{third});
    // Each is a step of the page's undo, as a drop is.
    QCOMPARE(page.findChild<QUndoStack*>()->undoText(), QStringLiteral("放入 类别 1 (1 张)"));
    page.findChild<QUndoStack*>()->undo();
    QCOMPARE(selection->at(0).pictures, QStringList());
    QCOMPARE(PageParts::find<QPushButton>(compare, "category2Button")->text(), QStringLiteral("2 冲印"));
    // One button per category there is, no more.
    QCOMPARE(compare->findChildren<QPushButton*>().size(), selection->count());
}

void tst_LookalikeGrid::sharpestOfEachBurstIsMarkedAndTicked()
{
    QCOMPARE(writeBurstFolder().size(), 8);
    QEditPage page;
    QVERIFY(openAndGroup(page, 8));
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");
    QAbstractItemModel* model = grid->model();
    auto names = [grid, model](int role) {
        QStringList found;
        for (int row = 0; row < grid->count(); ++row) {
            if (model->index(row, 0).data(role).toInt() != 0)
                found << QFileInfo(grid->PathAt(row)).fileName();
        }
        found.sort();
        return found;
    };
    auto countOf = [&](const char* name) {
        return model->index(rowOf(grid, path(name)), 0).data(CPictureListModel::LookalikeCountRole).toInt();
    };
    auto scores = [&] {
        QStringList lines;
        for (int row = 0; row < grid->count(); ++row)
            lines << QStringLiteral("%1=%2")
                         .arg(QFileInfo(grid->PathAt(row)).fileName())
                         .arg(page.GetPictureFacts(grid->PathAt(row)).sharpness);
        return lines.join(", ");
    };

    // The groups the marks are about: the burst, and the two flat shots, which have no score.
    QCOMPARE(countOf("burst_0_soft.jpg"), 3);
    QCOMPARE(countOf("flat_0.jpg"), 2);
    QCOMPARE(countOf("single_other.jpg"), 1);
    for (const char* flat : {"flat_0.jpg", "flat_1.jpg", "tiny.jpg"})
        QVERIFY2(!page.GetPictureFacts(path(flat)).hasSharpness(), qPrintable(scores()));

    // Only the burst's sharp shot is marked: not its first frame, no single, no flat shot.
    QVERIFY2(names(CPictureListModel::SharpestRole) == QStringList{"burst_1_sharp.jpg"},
             qPrintable(scores()));
    // And it is painted, at the smallest and the largest tile, on that tile only.
    for (int side : {QPhotoViewListWidget::MinTileSize, QPhotoViewListWidget::MaxTileSize}) {
        grid->SetTileSize(side);
        QCOMPARE(sharpestMarkAt(grid, rowOf(grid, path("burst_1_sharp.jpg"))),
                 QTileItemDelegate::sharpestColor());
        for (const char* other : {"burst_0_soft.jpg", "flat_0.jpg", "single_other.jpg"})
            QVERIFY2(sharpestMarkAt(grid, rowOf(grid, path(other))) != QTileItemDelegate::sharpestColor(),
                     other);
    }

    // The menu's action replaces the ticks the user had with the picks, in one change the
    // status bar's counts follow.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      tileCentre(grid, rowOf(grid, path("burst_0_soft.jpg"))));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      tileCentre(grid, rowOf(grid, path("flat_1.jpg"))));
    QCOMPARE(grid->GetCheckedPaths().size(), 2);
    QSignalSpy counts(&page, &QEditPage::sigCountsChanged);
    QAction* tickSharpest = PageParts::find<QAction>(&page, "tickSharpestAction");
    QCOMPARE(tickSharpest->text(), QStringLiteral("勾选每组最清晰的一张"));
    tickSharpest->trigger();
    const QStringList picks{"burst_1_sharp.jpg", "single_later.jpg", "single_other.jpg", "tiny.jpg"};
    QCOMPARE(names(CPictureListModel::TickedRole), picks);
    QCOMPARE(counts.count(), 1);
    QVERIFY2(counts.last().at(0).toString().contains(QStringLiteral("已勾选 4 张")),
             qPrintable(counts.last().at(0).toString()));
    // Nothing was taken away: every picture is still in the grid, no category changed.
    QCOMPARE(grid->count(), 8);
    QCOMPARE(page.selection()->rowsHolding(path("burst_0_soft.jpg")).size(), 0);
    // What a drag or a number key carries now is exactly the picks: key 1 puts them in.
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_1);
    QStringList put;
    for (const QString& file : page.selection()->at(0).pictures)
        put << QFileInfo(file).fileName();
    put.sort();
    QCOMPARE(put, picks);

    // With one tile per group the burst shows its soft first frame: that is not the sharpest
    // and stays unticked; the singles are still picked.
    page.GetFirstOfEachAction()->setChecked(true);
    QVERIFY(grid->isRowHidden(rowOf(grid, path("burst_1_sharp.jpg"))));
    tickSharpest->trigger();
    QCOMPARE(names(CPictureListModel::TickedRole),
             (QStringList{"single_later.jpg", "single_other.jpg", "tiny.jpg"}));
    page.GetFirstOfEachAction()->setChecked(false);

    // The mark follows the groups as facts arrive: on a grid of its own, the burst's soft frames
    // come first, then the sharp one, which takes the mark over.
    QPhotoViewListWidget lateGrid(180);
    QLookalikeTiles late(&lateGrid);
    for (const char* name : {"burst_0_soft.jpg", "burst_1_sharp.jpg", "burst_2_softer.jpg"}) {
        lateGrid.AddPhotoItem(QImage(), path(name));
        late.tileAdded(path(name), CPictureFacts());
    }
    auto marked = [&lateGrid] {
        QStringList found;
        for (int row = 0; row < lateGrid.count(); ++row) {
            if (lateGrid.model()->index(row, 0).data(CPictureListModel::SharpestRole).toBool())
                found << QFileInfo(lateGrid.PathAt(row)).fileName();
        }
        return found;
    };
    late.onPictureFacts(path("burst_0_soft.jpg"), page.GetPictureFacts(path("burst_0_soft.jpg")));
    late.onPictureFacts(path("burst_2_softer.jpg"), page.GetPictureFacts(path("burst_2_softer.jpg")));
    late.settle();
    QCOMPARE(marked(), QStringList{"burst_2_softer.jpg"});
    late.onPictureFacts(path("burst_1_sharp.jpg"), page.GetPictureFacts(path("burst_1_sharp.jpg")));
    late.settle();
    QCOMPARE(marked(), QStringList{"burst_1_sharp.jpg"});
}

QTEST_MAIN(tst_LookalikeGrid)
#include "tst_lookalikegrid.moc"
