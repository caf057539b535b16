// SPDX-License-Identifier: MIT
// reopen_bench [--all] FOLDER [SHOT.png]: what the desktop's thumbnail cache saves. With an empty
// cache folder of its own, the real edit page (offscreen) is handed the pictures of FOLDER (at
// most 999, every one with --all) as the start page hands them over and runs until every tile is in: the
// first open, which also fills the cache. A second page then opens the same pictures: the second open, served
// from the cache. For comparison the loader runs alone over the same files with the cache switched off. The
// three alternate twice (a fresh cache each time) and the faster of each counts, since the machine is usually
// shared. With SHOT.png the second page of the last round is saved as it stands 1.5 s after it was handed the
// pictures. The last line:
//   reopen: N tiles, first open A s, second open B s, loader alone C s, cache D MB
// Before it, "second open, first screen: E s": until every tile on the first screen of the second
// open had its thumbnail (the best of the two rounds).
#include "BenchPictures.h"
#include "BenchRuns.h"
#include "EditPage/QEditPage.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Pictures/CPictureListModel.h"
#include "Pictures/CThumbnailCache.h"
#include "Thread/QPictureFeed.h"
#include "Thread/QShowImageThread.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <ctime>

namespace {

using BenchRuns::loaderAlone;
using BenchRuns::processCpuSeconds;

// A new edit page is handed the pictures; the seconds until its grid holds `expected` tiles, and
// in *firstScreen those until every tile on its first screen had its thumbnail.
double openInPage(QApplication& app, const QString& folder, const QStringList& files, int expected,
                  double* firstScreen, const QString& shot = QString())
{
    QEditPage page;
    page.resize(1300, 800);
    page.show();
    QCoreApplication::processEvents();

    QPhotoViewListWidget* grid = page.findChild<QPhotoViewListWidget*>(QStringLiteral("photoList"));
    QPictureFeed* feed = page.findChild<QPictureFeed*>(QStringLiteral("pictureFeed"));
    QElapsedTimer clock;
    double seconds = -1;
    // Every row is listed at once; a tile is in once the workers have been through its row.
    QObject::connect(feed, &QPictureFeed::allLoaded, [&]() {
        if (seconds < 0 && grid->count() >= expected) {
            seconds = clock.nsecsElapsed() / 1e9;
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
        }
    });
    *firstScreen = -1;
    QTimer screenTimer;
    screenTimer.setInterval(5);
    QObject::connect(&screenTimer, &QTimer::timeout, [&]() {
        const QPair<int, int> shown = grid->VisibleRows();
        if (shown.second < shown.first)
            return;
        for (int row = shown.first; row <= shown.second; ++row)
            if (grid->pictureModel()->needsThumbnail(row))
                return;
        *firstScreen = clock.nsecsElapsed() / 1e9;
        screenTimer.stop();
    });
    // The screenshot is taken while the page fills, as a user sees it 1.5 s after opening.
    QTimer shotTimer;
    shotTimer.setSingleShot(true);
    QObject::connect(&shotTimer, &QTimer::timeout, [&]() {
        page.grab().save(shot);
        QTextStream(stdout) << "screenshot " << shot << " taken "
                            << QString::number(clock.nsecsElapsed() / 1e9, 'f', 2)
                            << " s after the open began, with " << grid->count() << " tiles in\n";
    });
    clock.start();
    screenTimer.start();
    if (!shot.isEmpty())
        shotTimer.start(1500);
    page.SetInitScanPath(folder);
    page.SetInitPageImageList(files);
    if (expected > 0)
        app.exec();
    while (shotTimer.isActive()) // every tile came before the screenshot
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return seconds;
}

qint64 bytesUnder(const QString& folder)
{
    qint64 bytes = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        bytes += it.fileInfo().size();
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QStringList arguments = app.arguments().mid(1);
    const bool all = arguments.removeAll(QStringLiteral("--all")) > 0;
    if (arguments.isEmpty() || arguments.size() > 2 || !QFileInfo(arguments.first()).isDir()) {
        QTextStream(stderr) << "usage: reopen_bench [--all] FOLDER [SHOT.png]\n";
        return 2;
    }
    const QString folder = QFileInfo(arguments.first()).absoluteFilePath();
    const QString shot = arguments.size() == 2 ? QFileInfo(arguments.at(1)).absoluteFilePath() : QString();
    const QStringList files = BenchPictures::picturesOf(folder, all ? -1 : BenchPictures::maxPictures);
    if (files.isEmpty()) {
        QTextStream(stderr) << "no pictures in " << folder << "\n";
        return 1;
    }
    const qint64 bytes = BenchPictures::warmFileCache(files);
    out << "pictures: " << files.size() << " files, " << QString::number(bytes / 1048576.0, 'f', 1)
        << " MB, file cache warmed\n";

    int readable = 0;
    double alone = 0, first = 0, second = 0, secondScreen = 0;
    qint64 cacheBytes = 0;
    for (int round = 0; round < 2; ++round) {
        CThumbnailCache::setEnabled(false);
        double cpu = processCpuSeconds();
        const double loader = loaderAlone(app, files, &readable);
        const double loaderCpu = processCpuSeconds() - cpu;

        QTemporaryDir home;
        const QString root = home.filePath(QStringLiteral("thumbnails"));
        CThumbnailCache::setRootOverride(root);
        CThumbnailCache::setEnabled(true);
        cpu = processCpuSeconds();
        double aScreen = 0, bScreen = 0;
        const double a = openInPage(app, folder, files, readable, &aScreen);
        const double firstCpu = processCpuSeconds() - cpu;
        cpu = processCpuSeconds();
        const double b = openInPage(app, folder, files, readable, &bScreen, round == 1 ? shot : QString());
        const double secondCpu = processCpuSeconds() - cpu;
        // The cached loader without the page: what the grid itself adds to the second open.
        int cached = 0;
        const double fromCache = loaderAlone(app, files, &cached);
        cacheBytes = bytesUnder(root);
        CThumbnailCache::setRootOverride(QString());

        out << "round " << round + 1 << ": first open " << QString::number(a, 'f', 2) << " s, second open "
            << QString::number(b, 'f', 2) << " s (loader alone from the cache "
            << QString::number(fromCache, 'f', 2) << " s), loader alone " << QString::number(loader, 'f', 2)
            << " s\n";
        out << "  processor time: first open " << QString::number(firstCpu, 'f', 2) << " s, second open "
            << QString::number(secondCpu, 'f', 2) << " s, loader alone " << QString::number(loaderCpu, 'f', 2)
            << " s\n";
        out << "  first screen: first open " << QString::number(aScreen, 'f', 3) << " s, second open "
            << QString::number(bScreen, 'f', 3) << " s\n";
        out.flush();
        alone = round == 0 ? loader : qMin(alone, loader);
        first = round == 0 ? a : qMin(first, a);
        second = round == 0 ? b : qMin(second, b);
        secondScreen = round == 0 ? bScreen : qMin(secondScreen, bScreen);
    }
    out << "second open, first screen: " << QString::number(secondScreen, 'f', 3) << " s\n";
    out << "first open / loader alone: " << QString::number(first / alone, 'f', 2) << "\n";
    out << "reopen: " << readable << " tiles, first open " << QString::number(first, 'f', 2)
        << " s, second open " << QString::number(second, 'f', 2) << " s, loader alone "
        << QString::number(alone, 'f', 2) << " s, cache " << QString::number(cacheBytes / 1048576.0, 'f', 1)
        << " MB\n";
    return 0;
}
