// SPDX-License-Identifier: MIT
// reopen_bench FOLDER [SHOT.png]: what the desktop's thumbnail cache saves. With an empty cache
// folder of its own, the real edit page (offscreen) is handed the pictures of FOLDER (at most
// 999) as the start page hands them over and runs until every tile is in: the first open, which
// also fills the cache. A second page then opens the same pictures: the second open, served from
// the cache. For comparison the loader runs alone over the same files with the cache switched
// off. The three alternate twice (a fresh cache each time) and the faster of each counts, since
// the machine is usually shared. With SHOT.png the second page of the last round is saved as it
// stands 1.5 s after it was handed the pictures. The last line:
//   reopen: N tiles, first open A s, second open B s, loader alone C s, cache D MB
#include "BenchPictures.h"
#include "BenchRuns.h"
#include "EditPage/QEditPage.h"
#include "PhotoView/QPhotoViewListWidget.h"
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

// A new edit page is handed the pictures; the seconds until its grid holds `expected` tiles.
double openInPage(QApplication& app, const QString& folder, const QStringList& files, int expected,
                  const QString& shot = QString())
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
    if (argc < 2 || argc > 3 || !QFileInfo(QString::fromLocal8Bit(argv[1])).isDir()) {
        QTextStream(stderr) << "usage: reopen_bench FOLDER [SHOT.png]\n";
        return 2;
    }
    const QString folder = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString shot =
        argc == 3 ? QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath() : QString();
    const QStringList files = BenchPictures::picturesOf(folder);
    if (files.isEmpty()) {
        QTextStream(stderr) << "no pictures in " << folder << "\n";
        return 1;
    }
    const qint64 bytes = BenchPictures::warmFileCache(files);
    out << "pictures: " << files.size() << " files, " << QString::number(bytes / 1048576.0, 'f', 1)
        << " MB, file cache warmed\n";

    int readable = 0;
    double alone = 0, first = 0, second = 0;
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
        const double a = openInPage(app, folder, files, readable);
        const double firstCpu = processCpuSeconds() - cpu;
        cpu = processCpuSeconds();
        const double b = openInPage(app, folder, files, readable, round == 1 ? shot : QString());
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
        out.flush();
        alone = round == 0 ? loader : qMin(alone, loader);
        first = round == 0 ? a : qMin(first, a);
        second = round == 0 ? b : qMin(second, b);
    }
    out << "first open / loader alone: " << QString::number(first / alone, 'f', 2) << "\n";
    out << "reopen: " << readable << " tiles, first open " << QString::number(first, 'f', 2)
        << " s, second open " << QString::number(second, 'f', 2) << " s, loader alone "
        << QString::number(alone, 'f', 2) << " s, cache " << QString::number(cacheBytes / 1048576.0, 'f', 1)
        << " MB\n";
    return 0;
}
