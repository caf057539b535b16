// SPDX-License-Identifier: MIT
// grid_bench FOLDER: the real edit page, built offscreen, is handed the pictures of FOLDER (at most
// 999) as the start page would hand them over, and runs until every tile is in the grid. In the
// same run the same files go through the thumbnail loader alone, without the page, for
// comparison. A 10 ms timer on the interface thread measures the longest stall while the grid
// fills. The last line:
//   grid: N tiles, first tile A s, all tiles B s, loader alone C s, longest interface stall D ms
#include "BenchPictures.h"
#include "EditPage/QEditPage.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Thread/QShowImageThread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QTimer>

namespace {

// The loader on its own: the thumbnails arrive on this thread and are only counted.
double loaderAlone(QApplication& app, const QStringList& files, int* count)
{
    QShowImageThread thread;
    thread.SetPathList(files);
    *count = 0;
    QObject::connect(&thread, &QShowImageThread::showOneImage,
                     [count](const QString&, const QImage&) { ++*count; });
    QObject::connect(&thread, &QShowImageThread::endShowOneImage, &app, &QCoreApplication::quit);
    QElapsedTimer clock;
    clock.start();
    thread.start();
    app.exec();
    return clock.nsecsElapsed() / 1e9;
}

struct GridRun
{
    int tiles = 0;
    double first = -1;
    double all = 0;
    double stallMs = 0;
};

GridRun gridFill(QApplication& app, const QString& folder, const QStringList& files, int expected)
{
    QEditPage page;
    page.resize(1300, 800);
    page.show();
    QCoreApplication::processEvents();

    GridRun run;
    QPhotoViewListWidget* grid = page.GetPhotoViewList();
    QElapsedTimer clock;
    QObject::connect(grid->model(), &QAbstractItemModel::rowsInserted, [&]() {
        if (run.first < 0)
            run.first = clock.nsecsElapsed() / 1e9;
        if (grid->count() >= expected) {
            run.all = clock.nsecsElapsed() / 1e9;
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
        }
    });
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&]() {
        run.stallMs = qMax(run.stallMs, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });

    clock.start();
    sinceTick.start();
    ticker.start();
    page.SetInitScanPath(folder);
    page.SetInitPageImageList(files);
    if (expected > 0)
        app.exec();
    ticker.stop();
    run.tiles = grid->count();
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc != 2 || !QFileInfo(QString::fromLocal8Bit(argv[1])).isDir()) {
        QTextStream(stderr) << "usage: grid_bench FOLDER\n";
        return 2;
    }
    const QString folder = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QStringList files = BenchPictures::picturesOf(folder);
    if (files.isEmpty()) {
        QTextStream(stderr) << "no pictures in " << folder << "\n";
        return 1;
    }
    const qint64 bytes = BenchPictures::warmFileCache(files);
    out << "pictures: " << files.size() << " files, " << QString::number(bytes / 1048576.0, 'f', 1)
        << " MB, file cache warmed\n";

    int readable = 0;
    const double alone = loaderAlone(app, files, &readable);
    const GridRun grid = gridFill(app, folder, files, readable);

    out << "grid / loader alone: " << QString::number(grid.all / alone, 'f', 2) << "\n";
    out << "grid: " << grid.tiles << " tiles, first tile " << QString::number(grid.first, 'f', 3)
        << " s, all tiles " << QString::number(grid.all, 'f', 2) << " s, loader alone "
        << QString::number(alone, 'f', 2) << " s, longest interface stall "
        << QString::number(grid.stallMs, 'f', 0) << " ms\n";
    return grid.tiles == readable ? 0 : 1;
}
