// SPDX-License-Identifier: MIT
// grid_bench FOLDER [--shots DIR]: the real edit page, built offscreen, is handed every picture of FOLDER (no
// cap) as the start page would hand them over, and runs until the workers have been through every
// row of the grid (each tile has had its thumbnail once). In the same run the same files go
// through the thumbnail loader alone, without the page, for comparison. A 10 ms timer on the
// interface thread measures the longest stall while the grid fills. Then a second phase: End
// (to the last tile), wait for the tiles on screen, Home (back to the first), wait again, and the
// sorting key 1 on the first tile; its longest stall is reported apart. A third phase ticks every
// picture and sorts the whole roll into the first category with the same key ("whole roll
// sorted": its time, its longest stall and what the category thumbnails take then). The two runs
// alternate twice and the faster of each counts, since the machine is usually shared; processor
// times are printed as well. The last line (its peak memory covers all three phases):
//   grid: N tiles, first tile A s, all tiles B s, loader alone C s, longest interface stall D ms
//   (filling), E ms (End/Home/sorting), peak memory F MB
// With --shots, the page is filled once and saved as DIR/grid-smallest.png and DIR/grid-largest.png
// at the smallest and the largest tile size (run it on a display server to see the real window).
#include "BenchPictures.h"
#include "BenchRuns.h"
#include "EditPage/QEditPage.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Pictures/CSelectImageData.h"
#include "Pictures/CThumbnailCache.h"
#include "Selection/CSelection.h"
#include "Thread/QPictureFeed.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextStream>
#include <QTimer>

#include <sys/resource.h>

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
    double secondStallMs = 0;
    double endSeconds = 0;  // End pressed until the last screen's tiles were painted
    double homeSeconds = 0; // the same for Home
    double interfaceCpu = 0;
    double processCpu = 0; // from the hand-over to the last tile, all threads
    // Third phase: every picture ticked and sorted into the first category with one key.
    int sorted = 0;
    double sortSeconds = 0;
    double sortStallMs = 0;
    double categoryThumbnailsMb = 0;
};

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Whether every row on screen has its thumbnail in memory.
bool screenPainted(QPhotoViewListWidget* grid)
{
    const QPair<int, int> shown = grid->VisibleRows();
    for (int row = shown.first; row <= shown.second; ++row) {
        if (grid->pictureModel()->needsThumbnail(row))
            return false;
    }
    return true;
}

// Runs the event loop until the screen's tiles are painted; the seconds it took.
double waitForScreen(QPhotoViewListWidget* grid)
{
    QElapsedTimer clock;
    clock.start();
    while (!screenPainted(grid) && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return clock.nsecsElapsed() / 1e9;
}

void pressKey(QWidget* target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier,
                    key == Qt::Key_1 ? QStringLiteral("1") : QString());
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

GridRun gridFill(QApplication& app, const QString& folder, const QStringList& files, int expected)
{
    QEditPage page;
    page.resize(1600, 900);
    page.show();
    QCoreApplication::processEvents();

    GridRun run;
    auto* grid = page.findChild<QPhotoViewListWidget*>(QStringLiteral("photoList"));
    auto* feed = page.findChild<QPictureFeed*>(QStringLiteral("pictureFeed"));
    QElapsedTimer clock;
    QObject::connect(grid->model(), &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex&, const QModelIndex&, const QVector<int>& roles) {
                         if (run.first < 0 && roles.contains(CPictureListModel::ThumbnailRole))
                             run.first = clock.nsecsElapsed() / 1e9;
                     });
    QObject::connect(feed, &QPictureFeed::allLoaded, [&]() {
        if (run.all == 0) {
            run.all = clock.nsecsElapsed() / 1e9;
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
        }
    });
    double* stall = &run.stallMs;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&]() {
        const double gap = sinceTick.nsecsElapsed() / 1e6;
        if (gap > *stall) {
            *stall = gap;
            if (stall == &run.stallMs)
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
    run.interfaceCpu = threadCpuSeconds() - cpuBefore;
    run.processCpu = processCpuSeconds() - processBefore;
    run.tiles = grid->count();

    // Second phase: to the end and back, and one sorting key.
    stall = &run.secondStallMs;
    sinceTick.restart();
    pressKey(grid, Qt::Key_End);
    run.endSeconds = waitForScreen(grid);
    pressKey(grid, Qt::Key_Home);
    run.homeSeconds = waitForScreen(grid);
    pressKey(grid, Qt::Key_1);
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    if (page.selection()->sortedPictureCount() != 1)
        QTextStream(stderr) << "the sorting key sorted " << page.selection()->sortedPictureCount()
                            << " pictures\n";

    // Third phase: the whole roll ticked and sorted into the first category at once; the category
    // column then shows it, and the category thumbnails must stay within their budget.
    stall = &run.sortStallMs;
    grid->SetTicks(grid->pictureModel()->picturePaths());
    QElapsedTimer sorting;
    sorting.start();
    sinceTick.restart();
    pressKey(grid, Qt::Key_1);
    run.sortSeconds = sorting.nsecsElapsed() / 1e9;
    settle.restart();
    while (settle.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    ticker.stop();
    run.sorted = page.selection()->sortedPictureCount();
    run.categoryThumbnailsMb = page.GetSelectImageData()->ThumbnailBytes() / 1048576.0;
    return run;
}

// Fills a page once and saves it at the smallest and the largest tile size.
int takeShots(QApplication& app, const QString& folder, const QStringList& files, const QString& dir)
{
    QEditPage page;
    page.resize(1600, 1000);
    page.show();
    auto* grid = page.findChild<QPhotoViewListWidget*>(QStringLiteral("photoList"));
    auto* feed = page.findChild<QPictureFeed*>(QStringLiteral("pictureFeed"));
    QObject::connect(feed, &QPictureFeed::allLoaded, &app, &QCoreApplication::quit);
    page.SetInitScanPath(folder);
    page.SetInitPageImageList(files);
    app.exec();
    const int sides[] = {QPhotoViewListWidget::MinTileSize, QPhotoViewListWidget::MaxTileSize};
    const char* names[] = {"grid-smallest.png", "grid-largest.png"};
    for (int i = 0; i < 2; ++i) {
        grid->SetTileSize(sides[i]);
        grid->SetCurrentTile(files.size() / 2);
        waitForScreen(grid);
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 300)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        const QString path = QDir(dir).filePath(QString::fromLatin1(names[i]));
        if (!QDir().mkpath(dir) || !page.grab().save(path)) {
            QTextStream(stderr) << "cannot save " << path << "\n";
            return 1;
        }
        QTextStream(stdout) << path << ": tile " << sides[i] << " px, " << grid->count() << " pictures\n";
    }
    return 0;
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
    const bool shots = argc == 4 && QString::fromLocal8Bit(argv[2]) == QLatin1String("--shots");
    if ((argc != 2 && !shots) || !QFileInfo(QString::fromLocal8Bit(argv[1])).isDir()) {
        QTextStream(stderr) << "usage: grid_bench FOLDER [--shots DIR]\n";
        return 2;
    }
    const QString folder = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QStringList files = BenchPictures::picturesOf(folder, -1);
    if (files.isEmpty()) {
        QTextStream(stderr) << "no pictures in " << folder << "\n";
        return 1;
    }
    if (shots)
        return takeShots(app, folder, files, QString::fromLocal8Bit(argv[3]));
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
            << QString::number(seconds, 'f', 2) << " s, stalls " << QString::number(run.stallMs, 'f', 0)
            << " / " << QString::number(run.secondStallMs, 'f', 0) << " ms, End "
            << QString::number(run.endSeconds, 'f', 2) << " s, Home "
            << QString::number(run.homeSeconds, 'f', 2) << " s\n";
        out.flush();
    }
    out << "processor time: grid " << QString::number(grid.processCpu, 'f', 2) << " s, loader alone "
        << QString::number(aloneCpu, 'f', 2) << " s\n";

    out << "interface thread busy: " << QString::number(grid.interfaceCpu, 'f', 2) << " s ("
        << QString::number(1000 * grid.interfaceCpu / qMax(1, grid.tiles), 'f', 2)
        << " ms per tile), longest stall with " << grid.stallAtTile << " tiles in the grid\n";
    out << "End: last screen painted in " << QString::number(grid.endSeconds, 'f', 2)
        << " s, Home: first screen in " << QString::number(grid.homeSeconds, 'f', 2) << " s\n";
    out << "whole roll sorted: " << grid.sorted << " pictures by one key in "
        << QString::number(grid.sortSeconds, 'f', 2) << " s, longest stall "
        << QString::number(grid.sortStallMs, 'f', 0) << " ms, category thumbnails "
        << QString::number(grid.categoryThumbnailsMb, 'f', 0) << " MB\n";
    out << "grid / loader alone: " << QString::number(grid.all / alone, 'f', 2) << "\n";
    out << "grid: " << grid.tiles << " tiles, first tile " << QString::number(grid.first, 'f', 3)
        << " s, all tiles " << QString::number(grid.all, 'f', 2) << " s, loader alone "
        << QString::number(alone, 'f', 2) << " s, longest interface stall "
        << QString::number(grid.stallMs, 'f', 0) << " ms (filling), "
        << QString::number(grid.secondStallMs, 'f', 0) << " ms (End/Home/sorting), peak memory "
        << QString::number(peakMegabytes(), 'f', 0) << " MB\n";
    return grid.tiles == readable ? 0 : 1;
}
