// SPDX-License-Identifier: MIT
// grid_bench FOLDER: the real edit page, built offscreen, is handed the pictures of FOLDER (at most
// 999) as the start page would hand them over, and runs until every tile is in the grid. In the
// same run the same files go through the thumbnail loader alone, without the page, for
// comparison. A 10 ms timer on the interface thread measures the longest stall while the grid
// fills. The two runs alternate twice and the faster of each counts, since the machine is
// usually shared; processor times are printed as well. The last line:
//   grid: N tiles, first tile A s, all tiles B s, loader alone C s, longest interface stall D ms
#include "BenchPictures.h"
#include "BenchRuns.h"
#include "EditPage/QEditPage.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Pictures/CThumbnailCache.h"
#include "Thread/QShowImageThread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QTimer>

#include <ctime>

namespace {

using BenchRuns::loaderAlone;
using BenchRuns::processCpuSeconds;
using BenchRuns::threadCpuSeconds;

struct GridRun
{
    int tiles = 0;
    double first = -1;
    double all = 0;
    double stallMs = 0;
    int stallAtTile = 0;
    double interfaceCpu = 0;
    double processCpu = 0; // from the hand-over to the last tile, all threads
};

GridRun gridFill(QApplication& app, const QString& folder, const QStringList& files, int expected)
{
    QEditPage page;
    page.resize(1300, 800);
    page.show();
    QCoreApplication::processEvents();

    GridRun run;
    QPhotoViewListWidget* grid = page.findChild<QPhotoViewListWidget*>(QStringLiteral("photoList"));
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
        const double gap = sinceTick.nsecsElapsed() / 1e6;
        if (gap > run.stallMs) {
            run.stallMs = gap;
            run.stallAtTile = grid->count();
        }
        sinceTick.restart();
    });

    const double cpuBefore = threadCpuSeconds();
    const double processBefore = processCpuSeconds();
    clock.start();
    sinceTick.start();
    ticker.start();
    page.SetInitScanPath(folder);
    page.SetInitPageImageList(files);
    if (expected > 0)
        app.exec();
    ticker.stop();
    run.interfaceCpu = threadCpuSeconds() - cpuBefore;
    run.processCpu = processCpuSeconds() - processBefore;
    run.tiles = grid->count();
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Every round decodes: the shared thumbnail cache would answer the later rounds from the
    // first one's entries (and fill the user's cache). reopen_bench measures the cache.
    CThumbnailCache::setEnabled(false);
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
    double alone = 0;
    double aloneCpu = 0;
    GridRun grid;
    for (int round = 0; round < 2; ++round) {
        double cpu = processCpuSeconds();
        const double seconds = loaderAlone(app, files, &readable);
        cpu = processCpuSeconds() - cpu;
        if (round == 0 || seconds < alone) {
            alone = seconds;
            aloneCpu = cpu;
        }
        const GridRun run = gridFill(app, folder, files, readable);
        if (round == 0 || run.all < grid.all)
            grid = run;
        out << "round " << round + 1 << ": grid " << QString::number(run.all, 'f', 2) << " s, loader alone "
            << QString::number(seconds, 'f', 2) << " s\n";
    }
    out << "processor time: grid " << QString::number(grid.processCpu, 'f', 2) << " s, loader alone "
        << QString::number(aloneCpu, 'f', 2) << " s\n";

    out << "interface thread busy: " << QString::number(grid.interfaceCpu, 'f', 2) << " s ("
        << QString::number(1000 * grid.interfaceCpu / qMax(1, grid.tiles), 'f', 2)
        << " ms per tile), longest stall with " << grid.stallAtTile << " tiles in the grid\n";
    out << "grid / loader alone: " << QString::number(grid.all / alone, 'f', 2) << "\n";
    out << "grid: " << grid.tiles << " tiles, first tile " << QString::number(grid.first, 'f', 3)
        << " s, all tiles " << QString::number(grid.all, 'f', 2) << " s, loader alone "
        << QString::number(alone, 'f', 2) << " s, longest interface stall "
        << QString::number(grid.stallMs, 'f', 0) << " ms\n";
    return grid.tiles == readable ? 0 : 1;
}
