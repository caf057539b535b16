// SPDX-License-Identifier: MIT
// lookalike_bench FOLDER [MAX_DISTANCE [WINDOW_SECONDS]]: the look-alike groups over a set made
// by make_lookalikes.sh (its "truth.txt" says which pictures are one scene). The real loader runs
// over the pictures of FOLDER with its facts, and every picture's facts go into the groups as
// they arrive, as the edit page does it. A and B count the pairs of one scene, C and D the pairs
// of different scenes. The thresholds default to the program's own.
//
// The cost E is the processor time the facts (EXIF read, hash) and the grouping take, measured on
// this thread over the files and thumbnails of the last run, against the loader's own processor
// time (without facts; the shared thumbnail cache is off, so every run decodes). The loader with
// and without facts also alternate six times, each first in half of the rounds, and the least
// time of each is printed; on a machine shared with other builds that difference swings by
// several per cent either way, far more than the facts cost, so it is shown but not the figure.
// The last line:
//   lookalike: N pictures, pairs found A of B, false pairs C of D, cost E % of the loader's time
#include "BenchPictures.h"
#include "BenchRuns.h"
#include "Pictures/CLookalikeGroups.h"
#include "Pictures/CThumbnailCache.h"
#include "Thread/QShowImageThread.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QTextStream>

#include <algorithm>

namespace {

using BenchRuns::processCpuSeconds;

// File name -> scene, from "truth.txt".
QHash<QString, int> readTruth(const QString& folder)
{
    QHash<QString, int> scenes;
    QFile file(folder + QStringLiteral("/truth.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return scenes;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 2)
            scenes.insert(QString::fromUtf8(fields.at(0)), fields.at(1).toInt());
    }
    return scenes;
}

struct FactsRun
{
    double cpu = 0;
    QHash<QString, CPictureFacts> facts;
    QHash<QString, QImage> thumbnails;
};

// The loader with its facts, each one added to groups as it arrives.
FactsRun loaderWithGroups(QCoreApplication& app, const QStringList& files, CLookalikeGroups* groups)
{
    FactsRun run;
    QShowImageThread thread;
    thread.SetPathList(files);
    QObject::connect(&thread, &QShowImageThread::pictureFacts,
                     [&](const QString& path, const CPictureFacts& facts) {
                         groups->add(path, facts);
                         run.facts.insert(path, facts);
                     });
    QObject::connect(
        &thread, &QShowImageThread::showOneImage,
        [&](const QString& path, const QImage& thumbnail) { run.thumbnails.insert(path, thumbnail); });
    QObject::connect(&thread, &QShowImageThread::endShowOneImage, &app, &QCoreApplication::quit);
    const double before = processCpuSeconds();
    thread.start();
    app.exec();
    run.cpu = processCpuSeconds() - before;
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CThumbnailCache::setEnabled(false);
    QTextStream out(stdout);
    if (argc < 2 || argc > 4) {
        QTextStream(stderr) << "usage: lookalike_bench FOLDER [MAX_DISTANCE [WINDOW_SECONDS]]\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int maxDistance = argc > 2 ? QByteArray(argv[2]).toInt() : CLookalikeGroups::defaultMaxDistance;
    const int window = argc > 3 ? QByteArray(argv[3]).toInt() : CLookalikeGroups::defaultWindowSeconds;
    const QStringList files = BenchPictures::picturesOf(folder);
    const QHash<QString, int> truth = readTruth(folder);
    if (files.isEmpty() || truth.isEmpty()) {
        QTextStream(stderr) << "no pictures or no truth.txt in " << folder << "\n";
        return 1;
    }
    BenchPictures::warmFileCache(files);
    out << "thresholds: hash distance " << maxDistance << " of 64, window " << window << " s\n";

    const int rounds = 6;
    double aloneCpu = 1e9;
    double withCpu = 1e9;
    FactsRun last;
    CLookalikeGroups groups(maxDistance, window);
    for (int round = 0; round < rounds; ++round) {
        // Each goes first in every other round, so that neither gains from coming second.
        for (int turn = 0; turn < 2; ++turn) {
            if ((round + turn) % 2 == 0) {
                int count = 0;
                const double before = processCpuSeconds();
                BenchRuns::loaderAlone(app, files, &count, false);
                aloneCpu = std::min(aloneCpu, processCpuSeconds() - before);
            } else {
                groups = CLookalikeGroups(maxDistance, window);
                last = loaderWithGroups(app, files, &groups);
                withCpu = std::min(withCpu, last.cpu);
            }
        }
    }

    // The facts and the grouping on their own, on this thread: what the workers add to each picture, without
    // the noise of two loader runs on a shared machine.
    double factsCpu = 1e9;
    for (int round = 0; round < 3; ++round) {
        const double before = BenchRuns::threadCpuSeconds();
        CLookalikeGroups again(maxDistance, window);
        for (auto it = last.thumbnails.constBegin(); it != last.thumbnails.constEnd(); ++it)
            again.add(it.key(),
                      CPictureFacts::of(it.key(), it.value(), last.facts.value(it.key()).pixelSize));
        factsCpu = std::min(factsCpu, BenchRuns::threadCpuSeconds() - before);
    }

    // Every pair of pictures the truth names, grouped together or not.
    int lookalikePairs = 0, found = 0, distinctPairs = 0, falsePairs = 0;
    int worstLookalike = 0, closestDistinct = 64;
    QStringList named;
    for (const QString& path : files) {
        if (truth.contains(QFileInfo(path).fileName()))
            named.append(path);
    }
    for (int i = 0; i < named.size(); ++i) {
        for (int j = i + 1; j < named.size(); ++j) {
            const QString& a = named.at(i);
            const QString& b = named.at(j);
            const bool same = truth.value(QFileInfo(a).fileName()) == truth.value(QFileInfo(b).fileName());
            const bool together = groups.group(a) >= 0 && groups.group(a) == groups.group(b);
            const int distance = CPictureFacts::distance(last.facts.value(a).hash, last.facts.value(b).hash);
            const qint64 apart =
                qAbs(last.facts.value(a).captureTime.secsTo(last.facts.value(b).captureTime));
            if (same) {
                ++lookalikePairs;
                found += together;
                worstLookalike = std::max(worstLookalike, distance);
            } else {
                ++distinctPairs;
                falsePairs += together;
                if (apart <= window)
                    closestDistinct = std::min(closestDistinct, distance);
            }
        }
    }
    int groupsOfMore = 0;
    for (const QString& first : groups.firstOfEach())
        groupsOfMore += groups.groupSize(groups.group(first)) > 1;
    out << "groups: " << groupsOfMore << " of two or more, " << groups.firstOfEach().size()
        << " shown one per group\n";
    out << "hash distance: look-alikes at most " << worstLookalike
        << ", distinct pictures within the window at least " << closestDistinct << "\n";
    out << "processor time: loader alone " << QString::number(aloneCpu, 'f', 2)
        << " s, with facts and groups " << QString::number(withCpu, 'f', 2) << " s ("
        << QString::number(100 * (withCpu - aloneCpu) / aloneCpu, 'f', 1) << " %)\n";
    const double cost = 100.0 * factsCpu / aloneCpu;
    out << "facts and groups on their own: " << QString::number(1000 * factsCpu / files.size(), 'f', 2)
        << " ms a picture\n";
    out << "lookalike: " << files.size() << " pictures, pairs found " << found << " of " << lookalikePairs
        << ", false pairs " << falsePairs << " of " << distinctPairs << ", cost "
        << QString::number(cost, 'f', 1) << " % of the loader's time\n";
    return 0;
}
