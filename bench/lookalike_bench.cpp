// SPDX-License-Identifier: MIT
// lookalike_bench FOLDER [MAX_DISTANCE [WINDOW_SECONDS [MAX_LAYOUT]]]: the look-alike groups over a
// set made by make_lookalikes.sh or, harder, by make_real_lookalikes.sh from real photographs (its
// "truth.txt" says which pictures are one scene). The real loader runs
// over the pictures of FOLDER with its facts, and every picture's facts go into the groups as
// they arrive, as the edit page does it. A and B count the pairs of one scene, C and D the pairs
// of different scenes. The thresholds default to the program's own.
//
// The cost E is the processor time the facts (EXIF read, hash, colour layout) and the grouping take, measured
// on this thread over the files and thumbnails of the last run, against the loader's own processor time
// (without facts; the shared thumbnail cache is off, so every run decodes). The loader with and without facts
// also alternate six times, each first in half of the rounds, and the least time of each is printed; on a
// machine shared with other builds that difference swings by several per cent either way, far more than the
// facts cost, so it is shown but not the figure. The last line:
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

struct PairCounts
{
    int found = 0;
    int falsePairs = 0;
};

// Pairs of one scene grouped together, and pairs of different scenes grouped together.
PairCounts countPairs(const CLookalikeGroups& groups, const QStringList& named,
                      const QHash<QString, int>& truth)
{
    PairCounts counts;
    for (int i = 0; i < named.size(); ++i) {
        for (int j = i + 1; j < named.size(); ++j) {
            const int group = groups.group(named.at(i));
            if (group < 0 || group != groups.group(named.at(j)))
                continue;
            const bool same = truth.value(QFileInfo(named.at(i)).fileName()) ==
                              truth.value(QFileInfo(named.at(j)).fileName());
            ++(same ? counts.found : counts.falsePairs);
        }
    }
    return counts;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CThumbnailCache::setEnabled(false);
    QTextStream out(stdout);
    if (argc < 2 || argc > 5) {
        QTextStream(stderr) << "usage: lookalike_bench FOLDER [MAX_DISTANCE [WINDOW_SECONDS [MAX_LAYOUT]]]\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int maxDistance = argc > 2 ? QByteArray(argv[2]).toInt() : CLookalikeGroups::defaultMaxDistance;
    const int window = argc > 3 ? QByteArray(argv[3]).toInt() : CLookalikeGroups::defaultWindowSeconds;
    const int maxLayout = argc > 4 ? QByteArray(argv[4]).toInt() : CLookalikeGroups::defaultMaxLayout;
    const QStringList files = BenchPictures::picturesOf(folder);
    const QHash<QString, int> truth = readTruth(folder);
    if (files.isEmpty() || truth.isEmpty()) {
        QTextStream(stderr) << "no pictures or no truth.txt in " << folder << "\n";
        return 1;
    }
    BenchPictures::warmFileCache(files);
    out << "thresholds: hash distance " << maxDistance << " of 64, colour layout " << maxLayout << ", window "
        << window << " s\n";

    const int rounds = 6;
    double aloneCpu = 1e9;
    double withCpu = 1e9;
    FactsRun last;
    CLookalikeGroups groups(maxDistance, window, maxLayout);
    for (int round = 0; round < rounds; ++round) {
        // Each goes first in every other round, so that neither gains from coming second.
        for (int turn = 0; turn < 2; ++turn) {
            if ((round + turn) % 2 == 0) {
                int count = 0;
                const double before = processCpuSeconds();
                BenchRuns::loaderAlone(app, files, &count, false);
                aloneCpu = std::min(aloneCpu, processCpuSeconds() - before);
            } else {
                groups = CLookalikeGroups(maxDistance, window, maxLayout);
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
        CLookalikeGroups again(maxDistance, window, maxLayout);
        for (auto it = last.thumbnails.constBegin(); it != last.thumbnails.constEnd(); ++it)
            again.add(it.key(),
                      CPictureFacts::of(it.key(), it.value(), last.facts.value(it.key()).pixelSize));
        factsCpu = std::min(factsCpu, BenchRuns::threadCpuSeconds() - before);
    }

    // Every pair of pictures the truth names, grouped together or not.
    int lookalikePairs = 0, found = 0, distinctPairs = 0, falsePairs = 0;
    int worstLookalike = 0, closestDistinct = 64, worstLayout = 0, closestLayout = 255;
    // Pairs within both thresholds: what a chain could join through.
    int lookalikesWithin = 0, distinctWithin = 0;
    QStringList named;
    // The hardest pairs of each kind, printed to tell which pictures the thresholds fail on.
    QVector<std::pair<int, QString>> hardLookalikes, hardDistinct;
    for (const QString& path : files) {
        if (truth.contains(QFileInfo(path).fileName()))
            named.append(path);
    }
    // With LOOKALIKE_PAIRS=FILE every pair goes to FILE: names, same scene, seconds apart, hash
    // and layout distances (for looking at thresholds by hand).
    QFile pairsFile(qEnvironmentVariable("LOOKALIKE_PAIRS"));
    QTextStream pairs(&pairsFile);
    if (!pairsFile.fileName().isEmpty() && !pairsFile.open(QIODevice::WriteOnly | QIODevice::Text))
        QTextStream(stderr) << "cannot write " << pairsFile.fileName() << "\n";
    for (int i = 0; i < named.size(); ++i) {
        for (int j = i + 1; j < named.size(); ++j) {
            const QString& a = named.at(i);
            const QString& b = named.at(j);
            const bool same = truth.value(QFileInfo(a).fileName()) == truth.value(QFileInfo(b).fileName());
            const bool together = groups.group(a) >= 0 && groups.group(a) == groups.group(b);
            const int distance = CPictureFacts::distance(last.facts.value(a).hash, last.facts.value(b).hash);
            const qint64 apart =
                qAbs(last.facts.value(a).captureTime.secsTo(last.facts.value(b).captureTime));
            const int layout =
                CPictureFacts::layoutDistance(last.facts.value(a).layout, last.facts.value(b).layout);
            const bool within = distance <= maxDistance && layout <= maxLayout;
            if (pairsFile.isOpen())
                pairs << QFileInfo(a).fileName() << ' ' << QFileInfo(b).fileName() << ' ' << int(same) << ' '
                      << apart << ' ' << distance << ' ' << layout << '\n';
            if (same) {
                ++lookalikePairs;
                found += together;
                worstLookalike = std::max(worstLookalike, distance);
                worstLayout = std::max(worstLayout, layout);
                lookalikesWithin += within;
                if (!together)
                    hardLookalikes.append(
                        {-distance, QFileInfo(a).fileName() + " " + QFileInfo(b).fileName()});
            } else {
                ++distinctPairs;
                falsePairs += together;
                if (apart <= window) {
                    closestDistinct = std::min(closestDistinct, distance);
                    closestLayout = std::min(closestLayout, layout);
                    distinctWithin += within;
                    if (together)
                        hardDistinct.append(
                            {distance, QFileInfo(a).fileName() + " " + QFileInfo(b).fileName()});
                }
            }
        }
    }
    std::sort(hardLookalikes.begin(), hardLookalikes.end());
    std::sort(hardDistinct.begin(), hardDistinct.end());
    for (int i = 0; i < std::min<int>(6, hardLookalikes.size()); ++i)
        out << "look-alikes apart: " << hardLookalikes.at(i).second << " (" << -hardLookalikes.at(i).first
            << " bits)\n";
    for (int i = 0; i < std::min<int>(6, hardDistinct.size()); ++i)
        out << "distinct together: " << hardDistinct.at(i).second << " (" << hardDistinct.at(i).first
            << " bits)\n";
    // The thresholds around the ones used, on the same facts in the same order: how much margin
    // the set leaves on either side.
    out << "around the thresholds (found / false pairs):\n";
    for (int distance = maxDistance - 4; distance <= maxDistance + 4; distance += 2) {
        out << "  hash " << distance << ":";
        for (int layout = maxLayout - 4; layout <= maxLayout + 4; layout += 4) {
            CLookalikeGroups other(distance, window, layout);
            for (const QString& path : files)
                other.add(path, last.facts.value(path));
            const PairCounts counts = countPairs(other, named, truth);
            out << "  layout " << layout << " " << counts.found << " / " << counts.falsePairs;
        }
        out << "\n";
    }
    int groupsOfMore = 0;
    for (const QString& first : groups.firstOfEach())
        groupsOfMore += groups.groupSize(groups.group(first)) > 1;
    out << "groups: " << groupsOfMore << " of two or more, " << groups.firstOfEach().size()
        << " shown one per group\n";
    out << "hash distance: look-alikes at most " << worstLookalike
        << ", distinct pictures within the window at least " << closestDistinct << "\n";
    out << "colour layout: look-alikes at most " << worstLayout
        << ", distinct pictures within the window at least " << closestLayout << "\n";
    out << "pairs within both thresholds: " << lookalikesWithin << " of " << lookalikePairs
        << " look-alikes, " << distinctWithin << " distinct pairs within the window\n";
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
