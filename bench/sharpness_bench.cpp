// SPDX-License-Identifier: MIT
// sharpness_bench FOLDER: the sharpness scores over a set made by make_blurred.sh. Its "truth.txt"
// names, one line per picture, the file, its group and 1 for the sharp original or 0 for a
// degraded copy. The real loader runs over the pictures with its facts (the shared thumbnail cache
// off, so every picture is decoded and scored by the workers); within each group of the truth
// (not the program's look-alike groups) the pictures are ranked by score, a picture without a
// score last, and a group counts when its original ranks first alone.
//
// The cost is the processor time the scores take, measured on this thread over the very images
// the workers score (each picture decoded as they decode it), against the loader's own processor
// time without facts (least of three runs each). The last line:
//   sharpness: G groups, sharpest ranked first in K, cost C % of the loader's time
#include "BenchPictures.h"
#include "BenchRuns.h"
#include "Pictures/CImageReading.h"
#include "Pictures/CSharpness.h"
#include "Pictures/CThumbnailCache.h"
#include "Thread/QShowImageThread.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QTextStream>

#include <algorithm>

namespace {

struct Truth
{
    int group = -1;
    bool original = false;
};

QHash<QString, Truth> readTruth(const QString& folder)
{
    QHash<QString, Truth> truth;
    QFile file(folder + QStringLiteral("/truth.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return truth;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 3)
            truth.insert(QString::fromUtf8(fields.at(0)), Truth{fields.at(1).toInt(), fields.at(2) == "1"});
    }
    return truth;
}

// Every picture's score as the loader's workers work it out.
QHash<QString, qreal> loaderScores(QCoreApplication& app, const QStringList& files)
{
    QHash<QString, qreal> scores;
    QShowImageThread thread;
    thread.SetPathList(files);
    QObject::connect(&thread, &QShowImageThread::pictureFacts,
                     [&](const QString& path, const CPictureFacts& facts) {
                         scores.insert(QFileInfo(path).fileName(), facts.sharpness);
                     });
    QObject::connect(&thread, &QShowImageThread::endShowOneImage, &app, &QCoreApplication::quit);
    thread.start();
    app.exec();
    return scores;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CThumbnailCache::setEnabled(false);
    QTextStream out(stdout);
    if (argc != 2) {
        QTextStream(stderr) << "usage: sharpness_bench FOLDER\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QStringList files = BenchPictures::picturesOf(folder);
    const QHash<QString, Truth> truth = readTruth(folder);
    if (files.isEmpty() || truth.isEmpty()) {
        QTextStream(stderr) << "no pictures or no truth.txt in " << folder << "\n";
        return 1;
    }
    BenchPictures::warmFileCache(files);

    const QHash<QString, qreal> scores = loaderScores(app, files);

    QMap<int, QStringList> groups;
    for (const QString& path : files) {
        const QString name = QFileInfo(path).fileName();
        if (truth.contains(name))
            groups[truth.value(name).group].append(name);
    }
    int first = 0;
    int unscored = 0;
    QStringList missed;
    for (auto it = groups.begin(); it != groups.end(); ++it) {
        QStringList& members = *it;
        std::sort(members.begin(), members.end(), [&](const QString& a, const QString& b) {
            return scores.value(a, -1) > scores.value(b, -1);
        });
        for (const QString& name : members)
            unscored += scores.value(name, -1) < 0;
        const bool best =
            truth.value(members.first()).original &&
            (members.size() < 2 || scores.value(members.at(0), -1) > scores.value(members.at(1), -1));
        first += best;
        QStringList ranked;
        for (const QString& name : members)
            ranked << QStringLiteral("%1%2 %3")
                          .arg(name, truth.value(name).original ? QStringLiteral("*") : QString())
                          .arg(scores.value(name, -1), 0, 'f', 1);
        out << "group " << it.key() << (best ? "" : " MISSED") << ": " << ranked.join(QStringLiteral(", "))
            << "\n";
    }

    // The loader alone, and the scores alone over the images its workers score.
    double loaderCpu = 1e9;
    for (int round = 0; round < 3; ++round) {
        int count = 0;
        const double before = BenchRuns::processCpuSeconds();
        BenchRuns::loaderAlone(app, files, &count, false);
        loaderCpu = std::min(loaderCpu, BenchRuns::processCpuSeconds() - before);
    }
    QVector<QImage> decoded;
    for (const QString& path : files)
        decoded.append(CImageReading::thumbnailAndKept(path, CImageReading::thumbnailBox(), QSize()).decoded);
    double scoreCpu = 1e9;
    for (int round = 0; round < 3; ++round) {
        const double before = BenchRuns::threadCpuSeconds();
        for (const QImage& image : decoded)
            CSharpness::score(image);
        scoreCpu = std::min(scoreCpu, BenchRuns::threadCpuSeconds() - before);
    }
    out << "pictures without a score: " << unscored << " of " << files.size() << "\n";
    out << "processor time: loader alone " << QString::number(loaderCpu, 'f', 2) << " s, scores "
        << QString::number(1000 * scoreCpu / files.size(), 'f', 3) << " ms a picture\n";
    out << "sharpness: " << groups.size() << " groups, sharpest ranked first in " << first << ", cost "
        << QString::number(100.0 * scoreCpu / loaderCpu, 'f', 1) << " % of the loader's time\n";
    return 0;
}
