// SPDX-License-Identifier: MIT
// export_bench FOLDER: exports the pictures of FOLDER in three categories through the program's
// export (plan, worker, "select.js") into a fresh folder beside FOLDER, and copies the same files
// with cp in the same run, four times each in alternating order with the best run counted; the files are read
// once before, so both copy from the file cache. While the export runs, a 5 ms timer on this (the interface)
// thread measures the longest gap between its ticks. Last line: export: N pictures, M MB, export A MB/s, cp B
// MB/s, ratio R, longest interface stall D ms
#include "Export/CExportPlan.h"
#include "Export/QExportThread.h"
#include "Pictures/CPhotoFilter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

QStringList picturesOf(const QString& folder)
{
    const CPhotoFilter filter;
    QStringList files;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
        if (filter.acceptsSuffix(entry.suffix()))
            files.append(entry.absoluteFilePath());
    }
    return files;
}

// Runs one export; returns its seconds and the longest gap between timer ticks in ms.
double runExport(const CExportPlan& plan, qint64* longestGapMs, bool* ok)
{
    QExportThread thread;
    QEventLoop loop;
    CExportResult outcome;
    QObject::connect(&thread, &QExportThread::exportFinished, &loop, [&](const CExportResult& result) {
        outcome = result;
        loop.quit();
    });
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&]() { longest = qMax(longest, sinceTick.restart()); });
    thread.SetPlan(plan);
    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticker.start();
    thread.start();
    loop.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    ticker.stop();
    longest = qMax(longest, sinceTick.elapsed());
    *longestGapMs = qMax(*longestGapMs, longest);
    *ok = outcome.outcome == CExportResult::Done && outcome.failedNames.isEmpty();
    return seconds;
}

double runCp(const QList<CCategory>& categories, const QString& target, bool* ok)
{
    QElapsedTimer clock;
    clock.start();
    for (const CCategory& category : categories) {
        const QString folder = target + QLatin1Char('/') + category.name;
        QDir().mkpath(folder);
        *ok = *ok && QProcess::execute(QStringLiteral("cp"), QStringList(category.pictures) << folder) == 0;
    }
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc != 2) {
        QTextStream(stderr) << "usage: export_bench FOLDER\n";
        return 2;
    }
    const QString source = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QStringList pictures = picturesOf(source);
    if (pictures.isEmpty()) {
        QTextStream(stderr) << "no pictures in " << source << "\n";
        return 1;
    }

    qint64 bytes = 0;
    QList<CCategory> categories{{QStringLiteral("Spring"), {}, {}},
                                {QStringLiteral("Summer"), {}, {}},
                                {QStringLiteral("Autumn"), {}, {}}};
    for (int i = 0; i < pictures.size(); ++i) {
        categories[i * 3 / pictures.size()].pictures.append(pictures.at(i));
        QFile file(pictures.at(i));
        if (file.open(QIODevice::ReadOnly)) {
            while (!file.read(1 << 20).isEmpty()) {
            }
        }
        bytes += file.size();
    }

    // Beside FOLDER, so both copies write to the disk the pictures are on.
    QTemporaryDir work(QFileInfo(source).absolutePath() + QStringLiteral("/export_bench-XXXXXX"));
    if (!work.isValid()) {
        QTextStream(stderr) << "cannot create a folder beside " << source << "\n";
        return 1;
    }
    bool ok = true;
    qint64 longestGap = 0;
    double exportSeconds = 1e9;
    double cpSeconds = 1e9;
    // Each run starts with nothing left to write back, and the order alternates, so that neither
    // pays for the other's dirty pages.
    for (int round = 0; round < 4; ++round) {
        const QString exportFolder = work.filePath(QStringLiteral("export%1").arg(round));
        const QString cpFolder = work.filePath(QStringLiteral("cp%1").arg(round));
        QDir().mkpath(exportFolder);
        double exportRun = 0;
        double cpRun = 0;
        bool exported = false;
        for (int turn = 0; turn < 2; ++turn) {
            QProcess::execute(QStringLiteral("sync"), {});
            if ((round + turn) % 2 == 0)
                cpRun = runCp(categories, cpFolder, &ok);
            else
                exportRun = runExport(CExportPlan(exportFolder, categories), &longestGap, &exported);
        }
        ok = ok && exported;
        exportSeconds = qMin(exportSeconds, exportRun);
        cpSeconds = qMin(cpSeconds, cpRun);
        out << "round " << round + 1 << ": export " << exportRun << " s, cp " << cpRun << " s\n";
        out.flush();
        QDir(exportFolder).removeRecursively();
        QDir(cpFolder).removeRecursively();
    }
    if (!ok) {
        QTextStream(stderr) << "a copy failed\n";
        return 1;
    }

    const double megabytes = bytes / (1024.0 * 1024.0);
    const double exportRate = megabytes / exportSeconds;
    const double cpRate = megabytes / cpSeconds;
    out << QStringLiteral("export: %1 pictures, %2 MB, export %3 MB/s, cp %4 MB/s, ratio %5, "
                          "longest interface stall %6 ms")
               .arg(pictures.size())
               .arg(megabytes, 0, 'f', 1)
               .arg(exportRate, 0, 'f', 1)
               .arg(cpRate, 0, 'f', 1)
               .arg(exportRate / cpRate, 0, 'f', 2)
               .arg(longestGap)
        << "\n";
    return 0;
}
