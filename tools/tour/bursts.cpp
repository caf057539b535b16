// SPDX-License-Identifier: MIT
// vellora-burst-shots OUT_DIR: the pictures of bursts on the edit page. It paints bursts of a few
// scenes (each a sharp shot among copies out of focus or shaken, seconds apart), single shots and
// two flat shots, opens them in a real edit page and saves the grid with its "最清晰" marks at the
// default, smallest and largest tile, the grid after "勾选每组最清晰的一张", and the compare
// window of a burst, as OUT_DIR/sharpest_*.png and OUT_DIR/compare_sharpness.png.
#include "AnsweredDialogs.h"
#include "CTourPhoto.h"
#include "EditPage/QEditPage.h"
#include "ExifJpeg.h"
#include "PageParts.h"
#include "PhotoView/QComprareImageDlg.h"
#include "PhotoView/QLookalikeTiles.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Selection/CSelection.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImageWriter>
#include <QTextStream>
#include <QtTest>

namespace {

const QDateTime start(QDate(2026, 5, 2), QTime(9, 30, 0));

bool fail(const QString& what)
{
    QTextStream(stderr) << "vellora-burst-shots: " << what << "\n";
    return false;
}

bool save(QWidget* widget, const QString& path)
{
    QTest::qWait(300);
    QImageWriter writer(path, "png");
    writer.setQuality(0);
    if (!writer.write(widget->grab().toImage()))
        return fail("cannot write " + path + ": " + writer.errorString());
    QTextStream(stdout) << "saved " << path << "\n";
    return true;
}

// Out of focus: shrunk and smoothly enlarged back; shaken: the same along the rows only.
QImage softened(const QImage& image, int across, int down)
{
    return image
        .scaled(image.width() / across, image.height() / down, Qt::IgnoreAspectRatio,
                Qt::SmoothTransformation)
        .scaled(image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

struct Shot
{
    QString name;
    QImage picture;
    int second;
};

QList<Shot> paintShots()
{
    const QImage beach = CTourPhoto::paint(CTourPhoto::Beach, 3);
    const QImage hills = CTourPhoto::paint(CTourPhoto::Mountains, 5);
    const QImage party = CTourPhoto::paint(CTourPhoto::Party, 2);
    QImage flat(1200, 900, QImage::Format_RGB32);
    flat.fill(QColor(150, 170, 190));
    return {{"IMG_2001.jpg", softened(beach, 6, 6), 0},
            {"IMG_2002.jpg", softened(beach, 5, 1), 1},
            {"IMG_2003.jpg", beach, 3},
            {"IMG_2004.jpg", softened(beach, 3, 3), 4},
            {"IMG_2005.jpg", CTourPhoto::paint(CTourPhoto::Garden, 4), 60},
            {"IMG_2006.jpg", hills, 120},
            {"IMG_2007.jpg", softened(hills, 4, 4), 122},
            {"IMG_2008.jpg", softened(hills, 7, 1), 125},
            {"IMG_2009.jpg", party, 300},
            {"IMG_2010.jpg", flat, 400},
            {"IMG_2011.jpg", flat, 402},
            {"IMG_2012.jpg", CTourPhoto::paint(CTourPhoto::Garden, 9), 500}};
}

bool run(const QString& outDir)
{
    QTemporaryDir work;
    if (!work.isValid())
        return fail("cannot make a temporary folder");
    AnsweredDialogs answers(work.filePath(".records"));
    const QString folder = work.filePath(QStringLiteral("连拍"));
    QDir().mkpath(folder);
    for (const Shot& shot : paintShots()) {
        const QByteArray time = start.addSecs(shot.second).toString("yyyy:MM:dd HH:mm:ss").toLatin1();
        if (!ExifJpeg::writeWithTime(folder + "/" + shot.name, shot.picture, time, 1, 92))
            return fail("cannot write " + shot.name);
    }

    QEditPage page;
    page.resize(1500, 860);
    page.show();
    if (!QTest::qWaitForWindowExposed(&page))
        return fail("the page did not show");
    // Two categories to sort the picks into, as a user names them.
    CSelection* selection = page.selection();
    while (selection->count() < 2)
        selection->addCategory();
    selection->rename(0, QStringLiteral("海边"));
    selection->rename(1, QStringLiteral("山里"));
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(&page, "photoList");
    grid->SetTileSize(QPhotoViewListWidget::DefaultTileSize);
    page.OpenFolder(folder, true);
    const bool loaded = QTest::qWaitFor(
        [&] {
            if (grid->count() != 12)
                return false;
            for (int row = 0; row < grid->count(); ++row) {
                if (!page.GetPictureFacts(grid->PathAt(row)).isValid())
                    return false;
            }
            return page.lookalikes()->isSettled();
        },
        60000);
    if (!loaded)
        return fail("the pictures did not load");
    for (int row = 0; row < grid->count(); ++row)
        QTextStream(stdout) << QFileInfo(grid->PathAt(row)).fileName() << " sharpness "
                            << page.GetPictureFacts(grid->PathAt(row)).sharpness << "\n";

    if (!save(&page, outDir + "/sharpest_grid.png"))
        return false;
    grid->SetTileSize(QPhotoViewListWidget::MinTileSize);
    if (!save(grid, outDir + "/sharpest_grid_96.png"))
        return false;
    grid->SetTileSize(QPhotoViewListWidget::MaxTileSize);
    grid->scrollToTop();
    if (!save(grid, outDir + "/sharpest_grid_320.png"))
        return false;
    grid->SetTileSize(QPhotoViewListWidget::DefaultTileSize);
    PageParts::find<QAction>(&page, "tickSharpestAction")->trigger();
    if (!save(&page, outDir + "/sharpest_ticked.png"))
        return false;

    page.onCompareLookalikes(folder + "/IMG_2001.jpg");
    QComprareImageDlg* compare = page.GetLookalikeDlg();
    if (!compare || !QTest::qWaitForWindowExposed(compare))
        return fail("the compare window did not show");
    compare->resize(1400, 620);
    return save(compare, outDir + "/compare_sharpness.png");
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: vellora-burst-shots OUT_DIR\n";
        return 2;
    }
    if (!QDir().mkpath(args.at(1))) {
        fail("cannot create " + args.at(1));
        return 1;
    }
    return run(QDir(args.at(1)).absolutePath()) ? 0 : 1;
}
