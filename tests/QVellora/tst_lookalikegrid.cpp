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
#include "Pictures/CSharpestPicks.h"
#include "Selection/CSelection.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
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

private:
    // A scene, its re-encode 2 s later and its crop 5 s later; another scene 40 s later; the
    // first scene again an hour later. Returns the files by name.
    QStringList writeFolder();
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

QTEST_MAIN(tst_LookalikeGrid)
#include "tst_lookalikegrid.moc"
