// SPDX-License-Identifier: MIT
// heif_bench FOLDER: thumbnails of every HEIC/HEIF file directly in FOLDER, made by the program's
// thumbnail loader on all its workers and by Debian's heif-thumbnailer (-s 270, one process per
// file, two at a time), in the same run with the file cache warmed first. The last line is
//   heif: N pictures, loader A pictures/s, heif-thumbnailer B pictures/s, ratio R
// where R = A / B. bench/make_heif_testset.sh makes pictures with and without an embedded
// thumbnail from bench/make_testset.sh's JPEGs.
#include "BenchPictures.h"
#include "Pictures/CImageReading.h"
#include "Thread/CThumbnailPipeline.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

namespace {

QStringList heifFilesOf(const QString& folder)
{
    QStringList files;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
        const QString suffix = entry.suffix().toLower();
        if (suffix == QLatin1String("heic") || suffix == QLatin1String("heif"))
            files.append(entry.absoluteFilePath());
    }
    return files;
}

// Runs heif-thumbnailer once per file, `parallel` processes at a time; returns how many
// thumbnails it wrote.
int runThumbnailer(const QString& program, const QStringList& files, const QString& outFolder, int parallel)
{
    QEventLoop loop;
    int next = 0;
    int running = 0;
    int made = 0;
    std::function<void()> startNext = [&] {
        while (running < parallel && next < files.size()) {
            const int index = next++;
            const QString target = QDir(outFolder).filePath(QStringLiteral("%1.png").arg(index));
            auto* process = new QProcess(&loop);
            QObject::connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished),
                             [&, process, target](int code, QProcess::ExitStatus status) {
                                 if (status == QProcess::NormalExit && code == 0 && QFileInfo::exists(target))
                                     ++made;
                                 process->deleteLater();
                                 --running;
                                 startNext();
                                 if (running == 0 && next >= files.size())
                                     loop.quit();
                             });
            ++running;
            process->start(program, {QStringLiteral("-s"), QStringLiteral("270"), files.at(index), target});
        }
    };
    startNext();
    if (running > 0)
        loop.exec();
    return made;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc != 2) {
        QTextStream(stderr) << "usage: heif_bench FOLDER\n";
        return 2;
    }
    const QStringList files = heifFilesOf(QString::fromLocal8Bit(argv[1]));
    const QString thumbnailer = QStandardPaths::findExecutable(QStringLiteral("heif-thumbnailer"));
    if (files.isEmpty() || thumbnailer.isEmpty()) {
        QTextStream(stderr) << (files.isEmpty()
                                    ? "no HEIC/HEIF files in the folder\n"
                                    : "heif-thumbnailer not found (apt-get install heif-thumbnailer)\n");
        return 2;
    }
    const qint64 bytes = BenchPictures::warmFileCache(files);
    out << files.size() << " HEIC/HEIF files, " << bytes / (1024 * 1024) << " MiB\n";

    const CThumbnailPipeline pipeline(CImageReading::thumbnailBox());
    int loaded = 0;
    QElapsedTimer timer;
    timer.start();
    pipeline.run(
        files.size(), [&](int i) { return files.at(i); },
        [&](int, const QImage& thumbnail) { loaded += thumbnail.isNull() ? 0 : 1; }, [] { return false; });
    const double loaderSeconds = timer.nsecsElapsed() / 1e9;
    out << "loader: " << loaded << " thumbnails in " << QString::number(loaderSeconds, 'f', 2) << " s on "
        << pipeline.workerCount() << " workers\n";

    QTemporaryDir scratch;
    timer.restart();
    const int made = runThumbnailer(thumbnailer, files, scratch.path(), 2);
    const double thumbnailerSeconds = timer.nsecsElapsed() / 1e9;
    out << "heif-thumbnailer: " << made << " thumbnails in " << QString::number(thumbnailerSeconds, 'f', 2)
        << " s, 2 processes at a time\n";

    const double loaderRate = files.size() / loaderSeconds;
    const double thumbnailerRate = files.size() / thumbnailerSeconds;
    out << "heif: " << files.size() << " pictures, loader " << QString::number(loaderRate, 'f', 1)
        << " pictures/s, heif-thumbnailer " << QString::number(thumbnailerRate, 'f', 1)
        << " pictures/s, ratio " << QString::number(loaderRate / thumbnailerRate, 'f', 2) << "\n";
    return loaded == files.size() && made == files.size() ? 0 : 1;
}
