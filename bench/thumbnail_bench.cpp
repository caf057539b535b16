// SPDX-License-Identifier: MIT
// thumbnail_bench FOLDER: the program's thumbnail loader against the plain way (full decode,
// then one smooth scale, on one thread) over the same pictures of FOLDER (at most 999), with the
// file cache warmed first so both read from memory. Prints the time to the first thumbnail, the
// peak extra memory of each way and, as its last line, the throughput and the worst PSNR of a
// loader thumbnail against the plain one of the same file.
#include "BenchPictures.h"
#include "Pictures/CImageReading.h"
#include "Pictures/CThumbnailCache.h"
#include "Thread/CThumbnailPipeline.h"
#include "Thread/QShowImageThread.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QTextStream>

#include <cmath>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

// Resident and peak resident memory of this process in kB, from /proc (Linux only; 0 elsewhere).
qint64 procStatusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// Starts a new peak measurement: the kernel resets the peak to the current resident size.
bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

// Processor time used by the whole process so far (all threads), in seconds; 0 where unknown.
// Unlike wall time it does not depend on what else the machine is doing.
double cpuSeconds()
{
#ifdef Q_OS_UNIX
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) == 0) {
        return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
#endif
    return 0;
}

double psnr(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double squares = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            for (int d : {qRed(p[col]) - qRed(q[col]), qGreen(p[col]) - qGreen(q[col]),
                          qBlue(p[col]) - qBlue(q[col])})
                squares += d * d;
        }
    }
    const double mse = squares / (3.0 * x.width() * x.height());
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// The plain way: decode the whole picture (upright, like the loader), one smooth scale.
QImage plainThumbnail(const QString& path, const QSize& box)
{
    const QImage full = CImageReading::readUpright(path);
    if (full.isNull())
        return {};
    return full.scaled(full.size().scaled(box, Qt::KeepAspectRatio), Qt::IgnoreAspectRatio,
                       Qt::SmoothTransformation);
}

struct Run
{
    int count = 0;
    double seconds = 0;
    double firstSeconds = -1;
    double peakExtraMb = 0;
    double cpu = 0;
};

double mb(qint64 kb)
{
    return kb / 1024.0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Every round decodes: the shared thumbnail cache would answer the later rounds from the
    // first one's entries (and fill the user's cache). reopen_bench measures the cache.
    CThumbnailCache::setEnabled(false);
    QTextStream out(stdout);
    if (argc != 2 || !QFileInfo(QString::fromLocal8Bit(argv[1])).isDir()) {
        QTextStream(stderr) << "usage: thumbnail_bench FOLDER\n";
        return 2;
    }
    const QStringList files = BenchPictures::picturesOf(QString::fromLocal8Bit(argv[1]));
    if (files.isEmpty()) {
        QTextStream(stderr) << "no pictures in " << argv[1] << "\n";
        return 1;
    }
    const QSize box = CImageReading::thumbnailBox();
    const qint64 bytes = BenchPictures::warmFileCache(files);
    out << "pictures: " << files.size() << " files, " << QString::number(bytes / 1048576.0, 'f', 1)
        << " MB, file cache warmed\n";

    // The plain way first: its thumbnails stay in memory as the reference, so they are part of
    // the baseline when the loader's peak is measured.
    QHash<QString, QImage> reference;
    QStringList readable;
    Run plain;
    {
        const bool peakReset = resetPeak();
        const qint64 before = procStatusKb("VmRSS");
        const double cpuBefore = cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        for (const QString& path : files) {
            const QImage thumbnail = plainThumbnail(path, box);
            if (thumbnail.isNull())
                continue;
            if (plain.firstSeconds < 0)
                plain.firstSeconds = clock.nsecsElapsed() / 1e9;
            reference.insert(path, thumbnail);
            readable.append(path);
            ++plain.count;
        }
        plain.seconds = clock.nsecsElapsed() / 1e9;
        plain.cpu = cpuSeconds() - cpuBefore;
        plain.peakExtraMb = peakReset ? mb(procStatusKb("VmHWM") - before) : -1;
    }

    // The loader as the edit page runs it: a thread, signals in list order on this thread.
    Run loader;
    double worst = 1000;
    QString worstFile;
    QStringList order;
    {
        QShowImageThread thread;
        thread.SetPathList(files);
        QElapsedTimer clock;
        QObject::connect(&thread, &QShowImageThread::showOneImage, [&](QString path, QImage image) {
            if (loader.firstSeconds < 0)
                loader.firstSeconds = clock.nsecsElapsed() / 1e9;
            ++loader.count;
            order.append(path);
            const double value = psnr(image, reference.value(path));
            if (value < worst) {
                worst = value;
                worstFile = path;
            }
        });
        QObject::connect(&thread, &QShowImageThread::endShowOneImage, &app, &QCoreApplication::quit);
        const bool peakReset = resetPeak();
        const qint64 before = procStatusKb("VmRSS");
        const double cpuBefore = cpuSeconds();
        clock.start();
        thread.start();
        app.exec();
        loader.seconds = clock.nsecsElapsed() / 1e9;
        loader.cpu = cpuSeconds() - cpuBefore;
        loader.peakExtraMb = peakReset ? mb(procStatusKb("VmHWM") - before) : -1;
        thread.Stop();
    }

    const int workers = CThumbnailPipeline(box).workerCount();
    out << "workers: " << workers << " (" << QThread::idealThreadCount() << " cores)\n";
    out << "loader order equals list order: " << (order == readable ? "yes" : "no") << "\n";
    out << "first thumbnail: loader " << QString::number(loader.firstSeconds, 'f', 3) << " s, plain "
        << QString::number(plain.firstSeconds, 'f', 3) << " s\n";
    out << "peak extra memory: loader " << QString::number(loader.peakExtraMb, 'f', 1) << " MB ("
        << QString::number(loader.peakExtraMb / workers, 'f', 1) << " MB per worker), plain "
        << QString::number(plain.peakExtraMb, 'f', 1) << " MB\n";
    out << "processor time: loader " << QString::number(1000 * loader.cpu / loader.count, 'f', 1)
        << " ms/img, plain " << QString::number(1000 * plain.cpu / plain.count, 'f', 1) << " ms/img\n";
    out << "worst file: " << QFileInfo(worstFile).fileName() << "\n";
    const double loaderRate = loader.count / loader.seconds;
    const double plainRate = plain.count / plain.seconds;
    out << "thumbnails: " << loader.count << " images, loader " << QString::number(loaderRate, 'f', 1)
        << " img/s, plain " << QString::number(plainRate, 'f', 1) << " img/s, speed-up "
        << QString::number(loaderRate / plainRate, 'f', 2) << ", worst PSNR "
        << QString::number(worst, 'f', 1) << " dB\n";
    return order == readable ? 0 : 1;
}
