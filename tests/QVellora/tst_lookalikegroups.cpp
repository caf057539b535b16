// SPDX-License-Identifier: MIT
#include "ExifJpeg.h"
#include "PaintedScenes.h"
#include "Pictures/CLookalikeGroups.h"
#include "Pictures/CThumbnailCache.h"
#include "TestSupport.h"
#include "Thread/QShowImageThread.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// Look-alike groups as the edit page gets them: real JPEG files with capture times in their EXIF
// blocks go through the real thumbnail worker, whose facts are added to the groups as they come.
class tst_LookalikeGroups : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void burstIsGroupedOthersAreNot();
    void groupsFromFactsInAnyOrder_data();
    void groupsFromFactsInAnyOrder();
    void joiningTwoGroupsReportsTheGoneOne();

private:
    struct Arrival
    {
        QStringList events; // "thumbnail <name>" / "facts <name>" in arrival order
        QHash<QString, CPictureFacts> facts;
    };
    Arrival load(const QStringList& files);
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString nameOf(const QString& file) const { return QFileInfo(file).fileName(); }
    // The burst: five shots of one scene, another scene, the first scene again an hour later,
    // and a scan without EXIF. Returns the files in name order.
    QStringList writeBurst();
    QString groupsText(const CLookalikeGroups& groups) const;

    QScopedPointer<QTemporaryDir> m_dir;
};

namespace {

const QDateTime start(QDate(2024, 8, 3), QTime(10, 15, 0));

QByteArray exifText(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")).toLatin1();
}

CPictureFacts factsAt(int seconds, quint64 hash, int colour = 0)
{
    CPictureFacts facts;
    facts.pixelSize = QSize(4000, 3000);
    facts.captureTime = start.addSecs(seconds);
    facts.hash = hash;
    facts.layout.fill(quint8(colour));
    return facts;
}

} // namespace

void tst_LookalikeGroups::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

QStringList tst_LookalikeGroups::writeBurst()
{
    const QImage scene = PaintedScenes::paint(7);
    QTransform quarter;
    quarter.rotate(-90);
    bool ok = ExifJpeg::writeWithTime(path("a0.jpg"), scene, exifText(start), 1, 92);
    ok = ok && ExifJpeg::writeWithTime(path("a1_reencoded.jpg"), scene, exifText(start.addSecs(2)), 1, 35);
    ok = ok && ExifJpeg::writeWithTime(path("a2_cropped.jpg"), scene.copy(30, 24, 1140, 852),
                                       exifText(start.addSecs(5)));
    // Stored on its side as a phone does; orientation 6 turns it upright again.
    ok = ok && ExifJpeg::writeWithTime(path("a3_turned.jpg"), scene.transformed(quarter),
                                       exifText(start.addSecs(9)), 6);
    QImage brighter = scene;
    for (int y = 0; y < brighter.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(brighter.scanLine(y));
        for (int x = 0; x < brighter.width(); ++x)
            line[x] = qRgb(qMin(255, qRed(line[x]) + 25), qMin(255, qGreen(line[x]) + 25),
                           qMin(255, qBlue(line[x]) + 25));
    }
    ok = ok && ExifJpeg::writeWithTime(path("a4_brighter.jpg"), brighter, exifText(start.addSecs(14)));
    // Another scene, within seconds of the burst: only the pictures tell them apart.
    ok = ok &&
         ExifJpeg::writeWithTime(path("b0_other.jpg"), PaintedScenes::paint(99), exifText(start.addSecs(11)));
    ok =
        ok && ExifJpeg::writeWithTime(path("c0_hour_later.jpg"), scene, exifText(start.addSecs(3600)), 1, 80);
    // No EXIF: the file's time counts, and it is within the burst's window.
    ok = ok && TestSupport::writeImage(path("d0_scan.png"), PaintedScenes::paint(5, QSize(800, 600)));
    ok = ok && TestSupport::setModified(path("d0_scan.png"), start.addSecs(4));
    if (!ok)
        return {};
    QStringList files;
    for (const QString& name : QDir(m_dir->path()).entryList(QDir::Files, QDir::Name))
        files << path(name);
    return files;
}

tst_LookalikeGroups::Arrival tst_LookalikeGroups::load(const QStringList& files)
{
    Arrival arrival;
    QShowImageThread thread;
    connect(&thread, &QShowImageThread::showOneImage, this,
            [&](const QString& file, const QImage&) { arrival.events << "thumbnail " + nameOf(file); });
    connect(&thread, &QShowImageThread::pictureFacts, this,
            [&](const QString& file, const CPictureFacts& facts) {
                arrival.events << "facts " + nameOf(file);
                arrival.facts.insert(nameOf(file), facts);
            });
    QSignalSpy end(&thread, &QShowImageThread::endShowOneImage);
    thread.SetPathList(files);
    thread.start();
    if (!end.wait(60000))
        arrival.events << QStringLiteral("no end");
    return arrival;
}

QString tst_LookalikeGroups::groupsText(const CLookalikeGroups& groups) const
{
    QStringList text;
    for (const QString& first : groups.firstOfEach()) {
        QStringList names;
        for (const QString& member : groups.members(groups.group(first)))
            names << nameOf(member);
        text << names.join(' ');
    }
    return text.join(QStringLiteral(" | "));
}

void tst_LookalikeGroups::burstIsGroupedOthersAreNot()
{
    CThumbnailCache::setEnabled(false);
    const QStringList files = writeBurst();
    QCOMPARE(files.size(), 8);
    const Arrival arrival = load(files);

    // Each picture's facts come right after its thumbnail.
    QStringList expected;
    for (const QString& file : files)
        expected << "thumbnail " + nameOf(file) << "facts " + nameOf(file);
    QCOMPARE(arrival.events, expected);

    const CPictureFacts turned = arrival.facts.value("a3_turned.jpg");
    QCOMPARE(turned.pixelSize, QSize(1200, 900)); // upright, not as stored
    QCOMPARE(turned.captureTime, start.addSecs(9));
    QVERIFY(turned.timeFromExif);
    QCOMPARE(arrival.facts.value("a2_cropped.jpg").pixelSize, QSize(1140, 852));
    QCOMPARE(arrival.facts.value("d0_scan.png").captureTime, start.addSecs(4));
    QVERIFY(!arrival.facts.value("d0_scan.png").timeFromExif);

    // Added in an order other than the loader's: the groups do not depend on it.
    CLookalikeGroups groups;
    for (int i = files.size() - 1; i >= 0; --i)
        groups.add(files.at(i), arrival.facts.value(nameOf(files.at(i))));
    // By capture time: the burst, the scan taken amid it (another scene), the other scene shot
    // two seconds after the turned one, the same scene an hour later.
    QCOMPARE(groupsText(groups),
             QStringLiteral("a0.jpg a1_reencoded.jpg a2_cropped.jpg a3_turned.jpg a4_brighter.jpg"
                            " | d0_scan.png | b0_other.jpg | c0_hour_later.jpg"));
    QCOMPARE(groups.groupSize(groups.group(path("a3_turned.jpg"))), 5);
}

void tst_LookalikeGroups::groupsFromFactsInAnyOrder_data()
{
    QTest::addColumn<QString>("adds"); // name@seconds#hash[%colour], in the order they are added
    QTest::addColumn<QString>("expected");

    // With the default thresholds (30 s).
    QTest::newRow("chain joins beyond the window") << "a@0#0 b@25#0 c@50#0"
                                                   << "a b c";
    QTest::newRow("chain joined from its ends") << "c@50#0 a@0#0 b@25#0"
                                                << "a b c";
    QTest::newRow("window edge") << "a@0#0 b@30#0 c@61#0"
                                 << "a b | c";
    // b differs from a in exactly the allowed number of bits, c in one more (and from b in more).
    const int most = CLookalikeGroups::defaultMaxDistance;
    const QString within = QString::number((Q_UINT64_C(1) << most) - 1, 16);
    const QString beyond = QString::number(((Q_UINT64_C(1) << (most + 1)) - 1) << 12, 16);
    QTest::newRow("hash edge") << QStringLiteral("a@0#0 b@1#%1 c@2#%2").arg(within, beyond) << "a b | c";
    QTest::newRow("different scenes at once") << "a@0#0 b@0#ffffffff00000000 c@3#1"
                                              << "a c | b";
    QTest::newRow("across bucket edges") << "a@-1#0 b@1#0 d@-31#0 e@-62#0 f@29#0"
                                         << "e | d a b f";
    QTest::newRow("same time orders by name") << "z@5#0 y@5#0 x@4#0"
                                              << "x y z";
    QTest::newRow("a path added again changes nothing") << "a@0#0 b@100#0 a@99#0"
                                                        << "a | b";

    // Two scenes at one place a few seconds apart, and a shot between them that is close to both
    // (half of the bits that tell them apart): it joins one, and the scenes stay apart, whichever
    // comes first. A chain of nearest neighbours made them one group.
    const QString first = QString::number(Q_UINT64_C(0), 16);
    const QString between = QString::number((Q_UINT64_C(1) << (most - 2)) - 1, 16);
    const QString second = QString::number((Q_UINT64_C(1) << (2 * most - 4)) - 1, 16);
    QTest::newRow("a loose match does not chain two scenes")
        << QStringLiteral("a@0#%1 b@4#%2 c@9#%3").arg(first, between, second) << "a b | c";
    QTest::newRow("a loose match does not chain two scenes, the other way")
        << QStringLiteral("c@9#%3 b@4#%2 a@0#%1").arg(first, between, second) << "a | b c";
    QTest::newRow("nor joins two groups")
        << QStringLiteral("a@0#%1 d@2#%1 c@9#%3 e@11#%3 b@4#%2").arg(first, between, second) << "a d b | c e";
    // Alike in structure, not in colour (another subject in the same light would be the other
    // way round): not one scene.
    QTest::newRow("colours tell apart")
        << "a@0#0%20 b@2#0%20 c@4#0%" + QString::number(20 + CLookalikeGroups::defaultMaxLayout + 1)
        << "a b | c";
}

void tst_LookalikeGroups::groupsFromFactsInAnyOrder()
{
    QFETCH(QString, adds);
    QFETCH(QString, expected);

    CLookalikeGroups groups;
    for (const QString& add : adds.split(' ')) {
        const QString name = add.section('@', 0, 0);
        const int seconds = add.section('@', 1).section('#', 0, 0).toInt();
        const quint64 hash = add.section('#', 1).section('%', 0, 0).toULongLong(nullptr, 16);
        const int colour = add.section('%', 1).toInt();
        groups.add(name, factsAt(seconds, hash, colour));
    }
    QStringList text;
    for (const QString& first : groups.firstOfEach())
        text << groups.members(groups.group(first)).join(' ');
    QCOMPARE(text.join(QStringLiteral(" | ")), expected);
}

void tst_LookalikeGroups::joiningTwoGroupsReportsTheGoneOne()
{
    CLookalikeGroups groups;
    groups.add("a", factsAt(0, 0));
    groups.add("b", factsAt(20, 0));
    const CLookalikeGroups::Changed third = groups.add("c", factsAt(70, 0));
    QCOMPARE(third.groups, QVector<int>{groups.group("c")});
    QVERIFY(third.gone.isEmpty());
    const int ab = groups.group("a");
    const int c = groups.group("c");
    QVERIFY(ab != c);
    QCOMPARE(groups.groupSize(ab), 2);

    // d bridges both: the larger group keeps its id, the other one is gone.
    const CLookalikeGroups::Changed bridge = groups.add("d", factsAt(45, 0));
    QCOMPARE(bridge.groups, QVector<int>{ab});
    QCOMPARE(bridge.gone, QVector<int>{c});
    QCOMPARE(groups.members(ab), QStringList({"a", "b", "d", "c"}));
    QCOMPARE(groups.group("c"), ab);
    QCOMPARE(groups.groupSize(c), 0);
    QVERIFY(groups.members(c).isEmpty());
    QVERIFY(groups.add("d", factsAt(45, 0)).isEmpty());
    QVERIFY(groups.add("e", CPictureFacts()).isEmpty());
    QCOMPARE(groups.firstOfEach(), QStringList{"a"});
}

QTEST_GUILESS_MAIN(tst_LookalikeGroups)
#include "tst_lookalikegroups.moc"
