// SPDX-License-Identifier: MIT
#include "ExifJpeg.h"
#include "PaintedScenes.h"
#include "PhotoView/QComprareImageDlg.h"
#include "Pictures/CLookalikeGroups.h"
#include "Pictures/CSharpestPicks.h"
#include "Pictures/CThumbnailCache.h"
#include "TestSupport.h"
#include "Thread/QShowImageThread.h"

#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// Sharpness as the edit page gets it: real JPEG files go through the real thumbnail worker, whose
// facts carry each picture's score, and the picks compare scores within a look-alike group.
class tst_Sharpness : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void sharpShotOfABurstIsPicked();
    void flatOrTinyPicturesHaveNoScore();
    void scoreComesBackFromTheCacheEntry();
    void compareWindowShowsTheSharpestFirst();

private:
    QHash<QString, CPictureFacts> load(const QStringList& files);
    QString path(const QString& name) const { return m_dir->filePath(name); }

    QScopedPointer<QTemporaryDir> m_dir;
    QScopedPointer<QTemporaryDir> m_cache;
};

namespace {

const QDateTime start(QDate(2024, 9, 14), QTime(16, 40, 0));

QByteArray exifText(int seconds)
{
    return start.addSecs(seconds).toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")).toLatin1();
}

// A scene with a photo's fine detail as well as its coarse structure: thin lines and letters
// over the painted shapes, the kind of edges a lens renders crisp or soft.
QImage detailedScene(quint32 seed, const QSize& size = QSize(2400, 1600))
{
    QImage image = PaintedScenes::paint(seed, size).convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    QRandomGenerator random(seed);
    for (int i = 0; i < 160; ++i) {
        painter.setPen(
            QPen(QColor::fromHsv(random.bounded(360), 120 + random.bounded(120), random.bounded(256)),
                 1 + random.bounded(4)));
        const QPoint from(random.bounded(size.width()), random.bounded(size.height()));
        painter.drawLine(from, from + QPoint(random.bounded(-300, 300), random.bounded(-300, 300)));
    }
    QFont font = painter.font();
    font.setPixelSize(size.height() / 30);
    painter.setFont(font);
    for (int i = 0; i < 30; ++i) {
        painter.setPen(QColor::fromHsv(random.bounded(360), 200, random.bounded(2) ? 250 : 30));
        painter.drawText(random.bounded(size.width()), random.bounded(size.height()),
                         QStringLiteral("Vellora %1").arg(random.bounded(10000)));
    }
    return image;
}

// One pass of a running mean over 2 * radius + 1 pixels, along rows or columns.
QImage boxPass(const QImage& image, int radius, bool alongRows)
{
    QImage out(image.size(), QImage::Format_RGB32);
    const int length = alongRows ? image.width() : image.height();
    const int lines = alongRows ? image.height() : image.width();
    for (int line = 0; line < lines; ++line) {
        auto pixel = [&](int i) {
            i = qBound(0, i, length - 1);
            return alongRows ? image.pixel(i, line) : image.pixel(line, i);
        };
        for (int i = 0; i < length; ++i) {
            int r = 0, g = 0, b = 0;
            for (int k = -radius; k <= radius; ++k) {
                const QRgb p = pixel(i + k);
                r += qRed(p);
                g += qGreen(p);
                b += qBlue(p);
            }
            const int n = 2 * radius + 1;
            const QRgb mean = qRgb(r / n, g / n, b / n);
            if (alongRows)
                out.setPixel(i, line, mean);
            else
                out.setPixel(line, i, mean);
        }
    }
    return out;
}

// Out of focus: three box passes each way come close to a Gaussian blur.
QImage defocused(const QImage& image, int radius)
{
    QImage out = image;
    for (int pass = 0; pass < 3; ++pass)
        out = boxPass(boxPass(out, radius, true), radius, false);
    return out;
}

// A sensor's grain: each channel moved by up to +-amount, the same way every run.
QImage noisy(const QImage& image, int amount)
{
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            auto move = [&](int value) {
                return qBound(
                    0, value + random.bounded(-amount, amount + 1) + random.bounded(-amount, amount + 1),
                    255);
            };
            line[x] = qRgb(move(qRed(line[x])), move(qGreen(line[x])), move(qBlue(line[x])));
        }
    }
    return out;
}

} // namespace

void tst_Sharpness::init()
{
    m_dir.reset(new QTemporaryDir);
    m_cache.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid() && m_cache->isValid());
    CThumbnailCache::setEnabled(false);
    CThumbnailCache::setRootOverride(m_cache->path());
}

void tst_Sharpness::cleanup()
{
    CThumbnailCache::setEnabled(true);
    CThumbnailCache::setRootOverride(QString());
}

QHash<QString, CPictureFacts> tst_Sharpness::load(const QStringList& files)
{
    QHash<QString, CPictureFacts> facts;
    QShowImageThread thread;
    connect(&thread, &QShowImageThread::pictureFacts, this,
            [&](const QString& file, const CPictureFacts& found) {
                facts.insert(QFileInfo(file).fileName(), found);
            });
    QSignalSpy end(&thread, &QShowImageThread::endShowOneImage);
    thread.SetPathList(files);
    thread.start();
    end.wait(120000);
    return facts;
}

void tst_Sharpness::sharpShotOfABurstIsPicked()
{
    // A burst of one scene: one sharp shot among soft, shaken and grainy ones (named so that
    // neither name nor time order gives the sharp one away), then another scene alone.
    const QImage scene = detailedScene(11);
    QTransform shake;
    shake.translate(0, 0);
    const QImage shaken = boxPass(boxPass(boxPass(scene, 4, true), 4, true), 4, true);
    const QList<std::pair<QString, QImage>> shots = {{"burst_1.jpg", defocused(scene, 2)},
                                                     {"burst_2.jpg", noisy(scene, 14)},
                                                     {"burst_3.jpg", scene},
                                                     {"burst_4.jpg", shaken},
                                                     {"burst_5.jpg", defocused(scene, 1)}};
    QStringList files;
    for (int i = 0; i < shots.size(); ++i) {
        QVERIFY(ExifJpeg::writeWithTime(path(shots.at(i).first), shots.at(i).second, exifText(2 * i), 1, 92));
        files << path(shots.at(i).first);
    }
    QVERIFY(ExifJpeg::writeWithTime(path("other.jpg"), detailedScene(52), exifText(12), 1, 92));
    files << path("other.jpg");

    const QHash<QString, CPictureFacts> facts = load(files);
    QCOMPARE(facts.size(), files.size());
    CLookalikeGroups groups;
    for (const QString& file : files)
        groups.add(file, facts.value(QFileInfo(file).fileName()));
    QCOMPARE(groups.groupSize(groups.group(path("burst_3.jpg"))), 5);

    const auto scoreOf = [&](const QString& file) {
        return facts.value(QFileInfo(file).fileName()).sharpness;
    };
    QStringList scores;
    for (const QString& file : files)
        scores << QStringLiteral("%1 %2").arg(QFileInfo(file).fileName()).arg(scoreOf(file), 0, 'f', 1);
    // The sharp shot is the group's sharpest, and the sharper of the soft ones comes before the
    // softer one.
    const QSet<QString> marked = CSharpestPicks::sharpest(files, groups, scoreOf);
    QVERIFY2(marked == QSet<QString>{path("burst_3.jpg")}, qPrintable(scores.join(", ")));
    const QStringList ordered = CSharpestPicks::bySharpness(files.mid(0, 5), scoreOf);
    QVERIFY2(ordered.indexOf(path("burst_5.jpg")) < ordered.indexOf(path("burst_1.jpg")),
             qPrintable(scores.join(", ")));
    // The picks: the burst's sharpest and the picture alone.
    QCOMPARE(CSharpestPicks::picks(files, groups, scoreOf),
             QStringList({path("burst_3.jpg"), path("other.jpg")}));
}

void tst_Sharpness::flatOrTinyPicturesHaveNoScore()
{
    QImage solid(1600, 1200, QImage::Format_RGB32);
    solid.fill(QColor(90, 140, 200));
    // A sky without a cloud: a gradient far too gentle to have edges, as a JPEG stores it.
    QImage sky(1600, 1200, QImage::Format_RGB32);
    for (int y = 0; y < sky.height(); ++y)
        for (int x = 0; x < sky.width(); ++x)
            sky.setPixel(x, y, qRgb(60 + y / 40, 110 + y / 30, 200 + x / 200));
    QVERIFY(ExifJpeg::writeWithTime(path("solid.jpg"), solid, exifText(0)));
    QVERIFY(ExifJpeg::writeWithTime(path("sky.jpg"), sky, exifText(1)));
    QVERIFY(ExifJpeg::writeWithTime(path("tiny.jpg"), detailedScene(3, QSize(24, 16)), exifText(2)));
    QVERIFY(TestSupport::writeImage(path("icon.png"), detailedScene(4, QSize(40, 30))));
    const QStringList files = {path("solid.jpg"), path("sky.jpg"), path("tiny.jpg"), path("icon.png")};

    const QHash<QString, CPictureFacts> facts = load(files);
    QCOMPARE(facts.size(), 4);
    for (auto it = facts.constBegin(); it != facts.constEnd(); ++it) {
        QVERIFY2(it->isValid(), qPrintable(it.key()));
        QVERIFY2(!it->hasSharpness(), qPrintable(QStringLiteral("%1: %2").arg(it.key()).arg(it->sharpness)));
    }
    // Two flat shots of one scene: neither is called the sharpest, nor picked for the user.
    CLookalikeGroups groups;
    for (const QString& file : files.mid(0, 2))
        groups.add(file, facts.value(QFileInfo(file).fileName()));
    QCOMPARE(groups.groupSize(groups.group(path("sky.jpg"))), 2);
    const auto scoreOf = [&](const QString& file) {
        return facts.value(QFileInfo(file).fileName()).sharpness;
    };
    QVERIFY(CSharpestPicks::sharpest(files.mid(0, 2), groups, scoreOf).isEmpty());
    QVERIFY(CSharpestPicks::picks(files.mid(0, 2), groups, scoreOf).isEmpty());
}

void tst_Sharpness::scoreComesBackFromTheCacheEntry()
{
    CThumbnailCache::setEnabled(true);
    QVERIFY(ExifJpeg::writeWithTime(path("shot.jpg"), detailedScene(21), exifText(0), 1, 92));
    QImage blank(800, 600, QImage::Format_RGB32);
    blank.fill(Qt::lightGray);
    QVERIFY(ExifJpeg::writeWithTime(path("flat.jpg"), blank, exifText(1)));
    const QStringList files = {path("shot.jpg"), path("flat.jpg")};
    const CPictureFacts first = load(files).value("shot.jpg");
    QVERIFY(first.hasSharpness());

    // The entry names the score (and that the flat picture has none).
    const CThumbnailCache cache(m_cache->path());
    const CThumbnailCache::Source source = cache.source(path("shot.jpg"));
    const CThumbnailCache::Found entry = cache.find(source, QSize(270, 270));
    QCOMPARE(entry.state, CThumbnailCache::State::Hit);
    QVERIFY(entry.sharpness.has_value());
    QCOMPARE(qRound(*entry.sharpness * 100), qRound(first.sharpness * 100));
    const CThumbnailCache::Found flat = cache.find(cache.source(path("flat.jpg")), QSize(270, 270));
    QVERIFY(flat.sharpness.has_value() && *flat.sharpness < 0);

    // A reopen takes the score from the entry, not from the pictures: an entry saying 42 gives 42.
    QVERIFY(
        cache.store(source, entry.stored, entry.uprightSize, entry.captureTime, entry.timeFromExif, 42.0));
    QHash<QString, CPictureFacts> again = load(files);
    QCOMPARE(again.value("shot.jpg").sharpness, 42.0);
    QVERIFY(!again.value("flat.jpg").hasSharpness());

    // An entry without the key (an older one, another program's) still gives a score, worked out
    // from the entry's own picture, near the one of the decoded picture.
    QVERIFY(cache.store(source, entry.stored, entry.uprightSize, entry.captureTime, entry.timeFromExif));
    QVERIFY(!cache.find(source, QSize(270, 270)).sharpness.has_value());
    again = load(files);
    QVERIFY(again.value("shot.jpg").hasSharpness());
    QVERIFY2(
        qAbs(again.value("shot.jpg").sharpness - first.sharpness) < 0.2 * first.sharpness,
        qPrintable(
            QStringLiteral("%1 against %2").arg(again.value("shot.jpg").sharpness).arg(first.sharpness)));
}

void tst_Sharpness::compareWindowShowsTheSharpestFirst()
{
    const QImage scene = detailedScene(31);
    QVERIFY(ExifJpeg::writeWithTime(path("a.jpg"), defocused(scene, 2), exifText(0), 1, 92));
    QVERIFY(ExifJpeg::writeWithTime(path("b.jpg"), noisy(scene, 14), exifText(2), 1, 92));
    QVERIFY(ExifJpeg::writeWithTime(path("c.jpg"), scene, exifText(4), 1, 92));
    QVERIFY(ExifJpeg::writeWithTime(path("d.jpg"), defocused(scene, 1), exifText(6), 1, 92));

    // As the grid hands a group over: in capture order, the picture opened from chosen.
    QComprareImageDlg dialog;
    dialog.SetPictures({path("a.jpg"), path("b.jpg"), path("c.jpg"), path("d.jpg")}, path("b.jpg"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.GetPaths().first(), path("c.jpg"));
    QCOMPARE(dialog.GetPaths().indexOf(path("d.jpg")) < dialog.GetPaths().indexOf(path("a.jpg")), true);
    QCOMPARE(dialog.GetChosenPath(), path("b.jpg"));
    // Each picture's bar shows its score, the first the highest.
    int previous = 101;
    for (int i = 0; i < 4; ++i) {
        const auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("sharpness%1Bar").arg(i));
        QVERIFY(bar && bar->isVisible());
        QVERIFY2(bar->value() > 0 && bar->value() <= previous, qPrintable(QString::number(bar->value())));
        previous = bar->value();
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("caption%1").arg(i))->text(),
                 QFileInfo(dialog.GetPaths().at(i)).fileName());
    }
    // Two pictures from the viewer have no scores to show.
    const QPixmap left = QPixmap::fromImage(scene.scaled(400, 300));
    dialog.SetImages(&left, &left);
    QVERIFY(!dialog.findChild<QProgressBar*>(QStringLiteral("sharpness0Bar"))->isVisible());
}

QTEST_MAIN(tst_Sharpness)
#include "tst_sharpness.moc"
