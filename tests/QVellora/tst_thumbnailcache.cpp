// SPDX-License-Identifier: MIT
#include "ExifJpeg.h"
#include "Pictures/CThumbnailCache.h"
#include "TestSupport.h"
#include "Thread/QShowImageThread.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QImageWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/mount.h>
#include <unistd.h>
#endif

using TestSupport::setModified;
using TestSupport::writeImage;

// The desktop's shared thumbnail cache, as the loaders use it: entries another program wrote,
// stale entries, failures, a cache folder that cannot be written, and several writers at once.
// Each test has a cache home of its own (XDG_CACHE_HOME).
class tst_ThumbnailCache : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void uriAndEntryName_data();
    void uriAndEntryName();
    void entryOfAnotherProgram_data();
    void entryOfAnotherProgram();
    void anotherProgramsEntryStillBringsTheFacts();
    void changedPictureGetsANewEntry();
    void entriesAreUprightWholeAndPrivate();
    void undecodablePictureIsNotDecodedAgain();
    void unwritableCacheLeavesThumbnailsAsBefore_data();
    void unwritableCacheLeavesThumbnailsAsBefore();
    void cachedPicturesComeFirstInListOrder();
    void picturesInsideTheCacheAreNotCached();
    void switchedOffCacheIsNeitherReadNorWritten();
    void concurrentWritersLeaveOneWholeFile();

private:
    struct Tile
    {
        QString name;
        QImage image;
    };
    // Runs the loader the edit page uses over paths; the tiles in the order they arrived.
    QList<Tile> load(const QStringList& paths, bool cachedFirst = true);
    static QStringList names(const QList<Tile>& tiles);
    // "1 4 6" -> {"1.png", "4.png", "6.png"}
    static QStringList pngNames(const QString& numbers);
    QString picture(const QString& name) const { return m_pictures->filePath(name); }
    QString root() const { return CThumbnailCache::standardRoot(); }
    QString entry(const QString& folder, const QString& path) const
    {
        return CThumbnailCache(root()).entryPath(folder, path);
    }
    // Writes a thumbnail entry as another program that follows the standard would.
    static bool writeEntry(const QString& file, const QImage& image, const QByteArray& uri, qint64 mtime,
                           qint64 size = -1);
    static qint64 mtimeOf(const QString& path) { return QFileInfo(path).lastModified().toSecsSinceEpoch(); }
    static QColor centre(const QImage& image, double x = 0.25)
    {
        return image.pixelColor(int(image.width() * x), image.height() / 2);
    }
    static bool near(const QColor& a, const QColor& b)
    {
        return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 &&
               qAbs(a.blue() - b.blue()) < 40;
    }

    QScopedPointer<QTemporaryDir> m_home;
    QScopedPointer<QTemporaryDir> m_pictures;
};

void tst_ThumbnailCache::init()
{
    m_home.reset(new QTemporaryDir);
    m_pictures.reset(new QTemporaryDir);
    QVERIFY(m_home->isValid() && m_pictures->isValid());
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_home->filePath(QStringLiteral("cache"))));
    CThumbnailCache::setEnabled(true);
}

void tst_ThumbnailCache::cleanup()
{
    CThumbnailCache::setEnabled(true);
    CThumbnailCache::setRootOverride(QString());
}

QList<tst_ThumbnailCache::Tile> tst_ThumbnailCache::load(const QStringList& paths, bool cachedFirst)
{
    QList<Tile> tiles;
    QShowImageThread thread;
    thread.SetCachedFirst(cachedFirst);
    connect(&thread, &QShowImageThread::showOneImage, this, [&](QString path, QImage image) {
        tiles.append({QFileInfo(path).fileName(), image});
    });
    QSignalSpy end(&thread, &QShowImageThread::endShowOneImage);
    thread.SetPathList(paths);
    thread.start();
    if (!end.wait(60000))
        tiles.append({QStringLiteral("no end signal"), QImage()});
    thread.wait();
    return tiles;
}

QStringList tst_ThumbnailCache::names(const QList<Tile>& tiles)
{
    QStringList result;
    for (const Tile& tile : tiles)
        result << tile.name;
    return result;
}

QStringList tst_ThumbnailCache::pngNames(const QString& numbers)
{
    QStringList result;
    for (const QString& number : numbers.split(QLatin1Char(' ')))
        result << number + QStringLiteral(".png");
    return result;
}

bool tst_ThumbnailCache::writeEntry(const QString& file, const QImage& image, const QByteArray& uri,
                                    qint64 mtime, qint64 size)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QImage tagged = image;
    tagged.setText(QStringLiteral("Thumb::URI"), QString::fromUtf8(uri));
    tagged.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
    if (size >= 0)
        tagged.setText(QStringLiteral("Thumb::Size"), QString::number(size));
    tagged.setText(QStringLiteral("Software"), QStringLiteral("another viewer"));
    QImageWriter writer(file, "png");
    return writer.write(tagged);
}

void tst_ThumbnailCache::uriAndEntryName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("uri");
    QTest::addColumn<QString>("md5"); // worked out with md5sum over the URI written by hand

    QTest::newRow("plain") << "/tmp/x.jpg" << QByteArray("file:///tmp/x.jpg")
                           << "9478120950ea845c23e08653a1bb15a4";
    QTest::newRow("spaces, #, % and Chinese")
        << QStringLiteral("/home/用户/我的 照片/a#1 100%.jpg")
        << QByteArray(
               "file:///home/%E7%94%A8%E6%88%B7/%E6%88%91%E7%9A%84%20%E7%85%A7%E7%89%87/a%231%20100%25.jpg")
        << "2449cf0d1c224921e20d4f27d556a0b0";
    QTest::newRow("characters a path may keep, but not ;")
        << "/srv/a+b=c&d,e$f;g@h:i~j!k'l(m)n*o-_.png"
        << QByteArray("file:///srv/a+b=c&d,e$f%3Bg@h:i~j!k'l(m)n*o-_.png")
        << "9dcbe0fd278471e97b450cda3509fd4e";
    QTest::newRow("characters that must be escaped")
        << "/srv/what?[1]{x}^`|\"<>.jpg"
        << QByteArray("file:///srv/what%3F%5B1%5D%7Bx%7D%5E%60%7C%22%3C%3E.jpg")
        << "a99f48292a6e36968de59544ee5f4eee";
}

void tst_ThumbnailCache::uriAndEntryName()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, uri);
    QFETCH(QString, md5);

    QCOMPARE(CThumbnailCache::fileUri(path), uri);
    QCOMPARE(CThumbnailCache::entryName(path), md5 + QStringLiteral(".png"));
    QCOMPARE(CThumbnailCache(QStringLiteral("/c/thumbnails")).entryPath(QStringLiteral("x-large"), path),
             QStringLiteral("/c/thumbnails/x-large/") + md5 + QStringLiteral(".png"));
}

void tst_ThumbnailCache::entryOfAnotherProgram_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("mtimeShift"); // added to the picture's time in the entry
    QTest::addColumn<int>("sizeShift");  // added to the picture's size in the entry; -1: no size key
    QTest::addColumn<bool>("otherUri");
    QTest::addColumn<bool>("used");
    QTest::addColumn<QSize>("tile");

    // The other program's picture is 400x200 green, ours a 600x300 red and blue picture. (An
    // entry not of the picture's shape is made again: see tst_hostilepictures.)
    QTest::newRow("x-large, matching") << "x-large" << 0 << -1 << false << true << QSize(270, 135);
    QTest::newRow("xx-large, matching, with size")
        << "xx-large" << 0 << 0 << false << true << QSize(270, 135);
    QTest::newRow("large, enlarged to the tile") << "large" << 0 << -1 << false << true << QSize(270, 135);
    QTest::newRow("older time") << "x-large" << -60 << -1 << false << false << QSize(270, 135);
    QTest::newRow("large, older time") << "large" << -1 << -1 << false << false << QSize(270, 135);
    QTest::newRow("other size") << "x-large" << 0 << 7 << false << false << QSize(270, 135);
    QTest::newRow("another file's URI") << "x-large" << 0 << -1 << true << false << QSize(270, 135);
}

void tst_ThumbnailCache::entryOfAnotherProgram()
{
    QFETCH(QString, folder);
    QFETCH(int, mtimeShift);
    QFETCH(int, sizeShift);
    QFETCH(bool, otherUri);
    QFETCH(bool, used);
    QFETCH(QSize, tile);

    const QString path = picture(QStringLiteral("my photo #1.png"));
    QVERIFY(writeImage(path, QSize(600, 300), Qt::red, Qt::blue));
    const QByteArray uri = otherUri ? CThumbnailCache::fileUri(picture(QStringLiteral("other.png")))
                                    : CThumbnailCache::fileUri(path);
    QImage green(400, 200, QImage::Format_RGB32);
    green.fill(Qt::green);
    const QString theirs = entry(folder, path);
    QVERIFY(writeEntry(theirs, folder == QLatin1String("large") ? green.scaled(256, 128) : green, uri,
                       mtimeOf(path) + mtimeShift, sizeShift < 0 ? -1 : QFileInfo(path).size() + sizeShift));

    const QList<Tile> tiles = load({path});
    QCOMPARE(tiles.size(), 1);
    QCOMPARE(tiles.at(0).image.size(), tile);
    QCOMPARE(near(centre(tiles.at(0).image), Qt::green), used);
    if (used) {
        // Used as it is: left alone, and nothing of ours written beside it.
        if (folder != QLatin1String("x-large"))
            QVERIFY(!QFileInfo::exists(entry(QStringLiteral("x-large"), path)));
        QCOMPARE(QImage(theirs).pixelColor(10, 10), QColor(Qt::green));
        return;
    }
    QVERIFY(near(centre(tiles.at(0).image), Qt::red));
    // Ours now: the picture itself, with keys that match it.
    const QImage ours(entry(QStringLiteral("x-large"), path));
    QCOMPARE(ours.text(QStringLiteral("Thumb::URI")).toUtf8(), CThumbnailCache::fileUri(path));
    QCOMPARE(ours.text(QStringLiteral("Thumb::MTime")).toLongLong(), mtimeOf(path));
    QCOMPARE(ours.text(QStringLiteral("Thumb::Size")).toLongLong(), QFileInfo(path).size());
    QCOMPARE(ours.size(), QSize(512, 256));
}

void tst_ThumbnailCache::anotherProgramsEntryStillBringsTheFacts()
{
    // A phone picture stored on its side; the other program names its size as stored and knows
    // nothing of capture times.
    const QString path = picture(QStringLiteral("phone.jpg"));
    QVERIFY(
        ExifJpeg::writeWithTime(path, TestSupport::twoToneImage(QSize(600, 300)), "2019:04:05 06:07:08", 6));
    QImage upright(256, 512, QImage::Format_RGB32);
    upright.fill(Qt::green);
    upright.setText(QStringLiteral("Thumb::Image::Width"), QStringLiteral("600"));
    upright.setText(QStringLiteral("Thumb::Image::Height"), QStringLiteral("300"));
    QVERIFY(writeEntry(entry(QStringLiteral("x-large"), path), upright, CThumbnailCache::fileUri(path),
                       mtimeOf(path)));

    QShowImageThread thread;
    QSignalSpy thumbnails(&thread, &QShowImageThread::showOneImage);
    QSignalSpy facts(&thread, &QThumbnailThreadBase::pictureFacts);
    QSignalSpy end(&thread, &QShowImageThread::endShowOneImage);
    thread.SetPathList({path});
    thread.start();
    QVERIFY(end.wait(30000));
    QCOMPARE(thumbnails.count(), 1);
    QVERIFY(near(centre(thumbnails.first().at(1).value<QImage>()), Qt::green)); // the entry was used
    QCOMPARE(facts.count(), 1);
    const CPictureFacts got = facts.first().at(1).value<CPictureFacts>();
    QCOMPARE(got.pixelSize, QSize(300, 600));
    QCOMPARE(got.captureTime, QDateTime(QDate(2019, 4, 5), QTime(6, 7, 8)));
    QVERIFY(got.timeFromExif);
    QCOMPARE(got.hash, CPictureFacts::differenceHash(thumbnails.first().at(1).value<QImage>()));
}

void tst_ThumbnailCache::changedPictureGetsANewEntry()
{
    const QString path = picture(QStringLiteral("a.jpg"));
    QVERIFY(writeImage(path, QSize(800, 600), Qt::red, Qt::blue));
    QVERIFY(setModified(path, QDateTime::currentDateTime().addSecs(-100)));
    QList<Tile> tiles = load({path});
    QCOMPARE(tiles.size(), 1);
    QVERIFY(near(centre(tiles.at(0).image), Qt::red));
    QVERIFY(QFileInfo::exists(entry(QStringLiteral("x-large"), path)));

    // The same name, new content, a later time: the old entry no longer counts.
    QVERIFY(writeImage(path, QSize(800, 600), Qt::yellow, Qt::black));
    tiles = load({path});
    QCOMPARE(tiles.size(), 1);
    QVERIFY(near(centre(tiles.at(0).image), Qt::yellow));
    const QImage entryReader(entry(QStringLiteral("x-large"), path));
    QCOMPARE(entryReader.text(QStringLiteral("Thumb::MTime")).toLongLong(), mtimeOf(path));
    QVERIFY(near(centre(entryReader), Qt::yellow));
}

void tst_ThumbnailCache::entriesAreUprightWholeAndPrivate()
{
    // Stored landscape with the left half red; EXIF 6 turns it clockwise: upright it is a
    // portrait with red on top.
    const QString path = picture(QStringLiteral("phone.jpg"));
    QVERIFY(ExifJpeg::write(path, TestSupport::twoToneImage(QSize(1600, 1200), Qt::red, Qt::blue), 6));
    const QList<Tile> tiles = load({path});
    QCOMPARE(tiles.size(), 1);
    QCOMPARE(tiles.at(0).image.size(), QSize(202, 270));

    const QImage stored(entry(QStringLiteral("x-large"), path));
    QCOMPARE(stored.text(QStringLiteral("Thumb::Image::Width")), QStringLiteral("1200"));
    QCOMPARE(stored.text(QStringLiteral("Thumb::Image::Height")), QStringLiteral("1600"));
    QCOMPARE(stored.size(), QSize(384, 512));
    QVERIFY(near(stored.pixelColor(192, 100), Qt::red));
    QVERIFY(near(stored.pixelColor(192, 400), Qt::blue));

    // The next run shows the same tile, from the entry.
    const QList<Tile> again = load({path});
    QCOMPARE(again.size(), 1);
    QCOMPARE(again.at(0).image.size(), QSize(202, 270));
    QVERIFY(near(again.at(0).image.pixelColor(101, 60), Qt::red));
    QVERIFY(near(again.at(0).image.pixelColor(101, 210), Qt::blue));

#ifdef Q_OS_UNIX
    const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    // Owner, group and others; the "user" flags only repeat what the running user may do.
    const auto all = QFileDevice::Permissions(0x7077);
    for (const QString& folder : {root(), root() + QStringLiteral("/x-large")})
        QCOMPARE(QFileInfo(folder).permissions() & all, owner | QFileDevice::ExeOwner);
    QCOMPARE(QFileInfo(entry(QStringLiteral("x-large"), path)).permissions() & all, owner);
#endif
    // Nothing left beside the entry under a temporary name.
    QCOMPARE(QDir(root() + QStringLiteral("/x-large")).entryList(QDir::Files | QDir::Hidden),
             QStringList{CThumbnailCache::entryName(path)});
}

void tst_ThumbnailCache::undecodablePictureIsNotDecodedAgain()
{
    // A broken file exactly as long as a real picture, so that the picture can later take its
    // place with the same size and time.
    QByteArray real;
    {
        QBuffer buffer(&real);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(TestSupport::twoToneImage(QSize(300, 200)).save(&buffer, "JPG"));
    }
    const QString path = picture(QStringLiteral("broken.jpg"));
    const QString good = picture(QStringLiteral("good.png"));
    QVERIFY(TestSupport::writeFile(path, QByteArray(real.size(), 'x')));
    QVERIFY(writeImage(good, QSize(90, 60)));
    const QDateTime time = QDateTime::currentDateTime().addSecs(-50);
    QVERIFY(setModified(path, time));

    QCOMPARE(names(load({path, good})), QStringList{QStringLiteral("good.png")});
    const QString failure = CThumbnailCache(root()).failurePath(path);
    QVERIFY2(failure.contains(QStringLiteral("/fail/vellora-")), qPrintable(failure));
    const QImage failureEntry(failure);
    QVERIFY(!failureEntry.isNull());
    QCOMPARE(failureEntry.text(QStringLiteral("Thumb::URI")).toUtf8(), CThumbnailCache::fileUri(path));
    QCOMPARE(failureEntry.text(QStringLiteral("Thumb::MTime")).toLongLong(), time.toSecsSinceEpoch());
    QVERIFY(!QFileInfo::exists(entry(QStringLiteral("x-large"), path)));

    // Now a readable picture under the same name, size and time: the failure entry still
    // answers for it, so it is not decoded.
    QVERIFY(TestSupport::writeFile(path, real));
    QVERIFY(setModified(path, time));
    QCOMPARE(names(load({path, good})), QStringList{QStringLiteral("good.png")});

    // Once the time moves on, it is a new picture.
    QVERIFY(setModified(path, time.addSecs(10)));
    QCOMPARE(names(load({path, good})),
             (QStringList{QStringLiteral("good.png"), QStringLiteral("broken.jpg")}));
}

void tst_ThumbnailCache::unwritableCacheLeavesThumbnailsAsBefore_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing, cannot be made") << "missing";
    QTest::newRow("read-only") << "read-only";
}

void tst_ThumbnailCache::unwritableCacheLeavesThumbnailsAsBefore()
{
    QFETCH(QString, kind);

    QStringList paths;
    for (int i = 0; i < 5; ++i) {
        paths << picture(QStringLiteral("p%1.%2").arg(i).arg(i % 2 ? "jpg" : "png"));
        QVERIFY(writeImage(paths.last(), QSize(300 + 50 * i, 200), Qt::red, Qt::blue));
    }
    paths.insert(2, picture(QStringLiteral("broken.jpg")));
    QVERIFY(TestSupport::writeFile(paths.at(2), "not a picture"));

    CThumbnailCache::setEnabled(false);
    const QList<Tile> expected = load(paths);
    CThumbnailCache::setEnabled(true);
    QCOMPARE(expected.size(), 5);

    const QString cacheHome = m_home->filePath(QStringLiteral("cache"));
    bool mounted = false;
    if (kind == QLatin1String("missing")) {
        // The cache home is a file: no folder can ever be made under it.
        QVERIFY(TestSupport::writeFile(cacheHome, "a file"));
    } else {
        QVERIFY(QDir().mkpath(cacheHome));
#ifdef Q_OS_UNIX
        if (::geteuid() == 0) {
            // Folder rights do not stop root: a read-only file system does.
            mounted = ::mount("tmpfs", QFile::encodeName(cacheHome).constData(), "tmpfs", MS_RDONLY,
                              "size=64k") == 0;
            if (!mounted)
                QSKIP("running as root without the right to mount a read-only file system");
        }
#endif
        if (!mounted)
            QVERIFY(QFile::setPermissions(cacheHome, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }

    const QList<Tile> tiles = load(paths);
#ifdef Q_OS_UNIX
    if (mounted)
        QCOMPARE(::umount(QFile::encodeName(cacheHome).constData()), 0);
#endif
    QFile::setPermissions(cacheHome,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QCOMPARE(names(tiles), names(expected));
    for (int i = 0; i < tiles.size(); ++i) {
        QCOMPARE(tiles.at(i).image.size(), expected.at(i).image.size());
        QVERIFY(near(centre(tiles.at(i).image), Qt::red));
        QVERIFY(near(centre(tiles.at(i).image, 0.75), Qt::blue));
    }
    QVERIFY(!QFileInfo::exists(root()));
}

void tst_ThumbnailCache::cachedPicturesComeFirstInListOrder()
{
    QStringList paths;
    for (int i = 0; i < 8; ++i) {
        paths << picture(QStringLiteral("%1.png").arg(i));
        QVERIFY(writeImage(paths.last(), QSize(300, 200 + i)));
    }
    QCOMPARE(load({paths.at(6), paths.at(1), paths.at(4)}).size(), 3);

    // Cached ones first, in list order (not in the order they were cached), then the others.
    QCOMPARE(names(load(paths)), pngNames(QStringLiteral("1 4 6 0 2 3 5 7")));
    // Asked for list order, a loader keeps it, cache or not.
    const QString eight = picture(QStringLiteral("8.png"));
    QVERIFY(writeImage(eight, QSize(300, 200)));
    QCOMPARE(names(load(QStringList{eight} + paths, false)), pngNames(QStringLiteral("8 0 1 2 3 4 5 6 7")));
    // All of them cached now: plain list order.
    QCOMPARE(names(load(paths)), pngNames(QStringLiteral("0 1 2 3 4 5 6 7")));
}

void tst_ThumbnailCache::picturesInsideTheCacheAreNotCached()
{
    // A picture stored inside the cache folder (a folder opened by mistake, or a link to it).
    const QString inside = root() + QStringLiteral("/large/mine.png");
    QVERIFY(writeImage(inside, QSize(300, 300)));
    const QString link = picture(QStringLiteral("link"));
    QVERIFY(QFile::link(root() + QStringLiteral("/large"), link));
    const QString throughLink = link + QStringLiteral("/mine.png");

    const QList<Tile> tiles = load({inside, throughLink});
    QCOMPARE(tiles.size(), 2);
    QCOMPARE(QDir(root()).entryList(QDir::AllDirs | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("large")});
    QCOMPARE(QDir(root() + QStringLiteral("/large")).entryList(QDir::Files),
             QStringList{QStringLiteral("mine.png")});
}

void tst_ThumbnailCache::switchedOffCacheIsNeitherReadNorWritten()
{
    const QString path = picture(QStringLiteral("a.png"));
    QVERIFY(writeImage(path, QSize(600, 300), Qt::red, Qt::blue));
    QImage green(512, 256, QImage::Format_RGB32);
    green.fill(Qt::green);
    const QString other = picture(QStringLiteral("b.png"));
    QVERIFY(writeImage(other, QSize(600, 300), Qt::red, Qt::blue));
    QVERIFY(writeEntry(entry(QStringLiteral("x-large"), other), green, CThumbnailCache::fileUri(other),
                       mtimeOf(other)));

    CThumbnailCache::setEnabled(false);
    const QList<Tile> tiles = load({path, other});
    QCOMPARE(names(tiles), (QStringList{QStringLiteral("a.png"), QStringLiteral("b.png")}));
    QVERIFY(near(centre(tiles.at(1).image), Qt::red));
    QVERIFY(!QFileInfo::exists(entry(QStringLiteral("x-large"), path)));

    CThumbnailCache::setEnabled(true);
    QVERIFY(near(centre(load({other}).at(0).image), Qt::green));
}

void tst_ThumbnailCache::concurrentWritersLeaveOneWholeFile()
{
    const QString path = picture(QStringLiteral("a.png"));
    QVERIFY(writeImage(path, QSize(64, 64)));
    const CThumbnailCache cache(root());
    const CThumbnailCache::Source source = cache.source(path);
    const QString file = entry(QStringLiteral("x-large"), path);

    // Several writers store the same entry over and over (each its own picture, so a mix of two
    // would show), while a reader checks that once the entry is there it always reads whole.
    constexpr int writers = 4;
    constexpr int rounds = 40;
    std::atomic<int> running{writers};
    std::atomic<int> broken{0};
    std::vector<std::thread> threads;
    for (int w = 0; w < writers; ++w) {
        threads.emplace_back([&, w]() {
            QImage image(512, 512, QImage::Format_RGB32);
            image.fill(QColor::fromHsv(w * 80, 255, 255));
            const CThumbnailCache own(cache.root());
            for (int r = 0; r < rounds; ++r)
                own.store(source, image, QSize(64, 64));
            --running;
        });
    }
    threads.emplace_back([&]() {
        bool seen = false;
        while (running.load() > 0) {
            seen = seen || QFileInfo::exists(file);
            const CThumbnailCache::Found found = cache.find(source, QSize(270, 270));
            if (seen &&
                (found.state != CThumbnailCache::State::Hit || found.thumbnail.size() != QSize(270, 270)))
                ++broken;
        }
    });
    for (std::thread& thread : threads)
        thread.join();

    QCOMPARE(broken.load(), 0);
    QCOMPARE(QDir(root() + QStringLiteral("/x-large")).entryList(QDir::Files | QDir::Hidden),
             QStringList{CThumbnailCache::entryName(path)});
    const QImage stored(file);
    QCOMPARE(stored.size(), QSize(512, 512));
    QCOMPARE(stored.pixelColor(511, 511), stored.pixelColor(0, 0));
}

QTEST_MAIN(tst_ThumbnailCache)
#include "tst_thumbnailcache.moc"
