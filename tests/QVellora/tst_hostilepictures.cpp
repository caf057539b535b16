// SPDX-License-Identifier: MIT
#include "PhotoView/QPhotoViewImageDlg.h"
#include "PictureKinds.h"
#include "Pictures/CDecodeBudget.h"
#include "Pictures/CImageReading.h"
#include "Pictures/CPictureListModel.h"
#include "Pictures/CPngText.h"
#include "Pictures/CThumbnailCache.h"
#include "TestSupport.h"
#include "Thread/CThumbnailPipeline.h"
#include "Thread/QPictureFeed.h"
#include "Thread/QShowImageFolderThread.h"
#include "Thread/QShowImageThread.h"

#include <QApplication>
#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QLabel>
#include <QProcess>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtEndian>
#include <QtTest>

#include <memory>

#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>
#endif

// Pictures and cache entries made to hurt: headers claiming 30000x30000 over a few bytes, a
// PostScript program named ".jpg", a pipe and a link to /dev/zero where cache entries belong, a
// text chunk that inflates without end, entries whose claims lie. The bombs are read by a copy of
// this program under a memory limit; the good pictures around them must still get their tiles.
class tst_HostilePictures : public QObject
{
    Q_OBJECT
private slots:
    void bombsAmongGoodPicturesUnderMemoryLimit();
    void cacheEntriesDecideNothing();
    void textChunkInflatesNoFurther();
    void stuckWorkerIsLeftBehind();
    void gridFeedShowsRefusalAndLeavesStuckWorker();
    void viewerShowsGiantPictureReduced();
    void heifSizeClaimYieldsToDecodedSize();
};

namespace {

constexpr char childListVariable[] = "VELLORA_HOSTILE_LIST";
constexpr int childLimitMb = 1536;

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray chunk(const QByteArray& type, const QByteArray& data)
{
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), out.data());
    out += type + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(type + data), crc.data());
    return out + crc;
}

// zlib data of bytes (qCompress leads with a 4-byte size of its own).
QByteArray deflated(const QByteArray& bytes)
{
    return qCompress(bytes).mid(4);
}

// A grey PNG whose header claims size over a few rows of data.
QByteArray pngClaiming(const QSize& size)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(size.width()), header.data());
    qToBigEndian<quint32>(quint32(size.height()), header.data() + 4);
    header[8] = 8; // bit depth; colour type 0 (grey)
    const QByteArray rows(4 * (size.width() + 1), '\0');
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", deflated(rows)) +
           chunk("IEND", {});
}

// A small colour JPEG whose frame header is made to claim size.
QByteArray jpegClaiming(const QSize& size, bool progressive)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    writer.write(TestSupport::twoToneImage(QSize(64, 48)));
    QByteArray bytes = buffer.data();
    const int frame = bytes.indexOf(progressive ? "\xFF\xC2" : "\xFF\xC0");
    if (frame < 0)
        return {};
    qToBigEndian<quint16>(quint16(size.height()), bytes.data() + frame + 5);
    qToBigEndian<quint16>(quint16(size.width()), bytes.data() + frame + 7);
    return bytes;
}

// A PostScript program that never ends, as image readers that hand PostScript to Ghostscript
// would run it.
QByteArray postScriptLoop()
{
    return "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 30000 30000\n{} loop\n";
}

// A thumbnail cache entry for the picture at path: image, the standard's keys, and extra chunks
// (already framed) before the pixels.
QByteArray cacheEntry(const QString& path, const QImage& image,
                      const QList<QPair<QByteArray, QByteArray>>& keys,
                      const QByteArray& extraChunks = QByteArray())
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const QByteArray png = buffer.data();
    const QFileInfo picture(path);
    QByteArray texts;
    texts += chunk("tEXt",
                   "Thumb::URI" + QByteArray(1, '\0') + CThumbnailCache::fileUri(picture.absoluteFilePath()));
    texts += chunk("tEXt", "Thumb::MTime" + QByteArray(1, '\0') +
                               QByteArray::number(picture.lastModified().toSecsSinceEpoch()));
    texts += chunk("tEXt", "Thumb::Size" + QByteArray(1, '\0') + QByteArray::number(picture.size()));
    for (const auto& key : keys)
        texts += chunk("tEXt", key.first + QByteArray(1, '\0') + key.second);
    // After the signature and the 25-byte IHDR chunk.
    return png.left(33) + texts + extraChunks + png.mid(33);
}

// What the child reported, one line per signal: "tile", "folder", "facts", "end".
struct Report
{
    QHash<QString, QSize> tiles;
    QSet<QString> folders;
    QHash<QString, QString> refusals;
    QHash<QString, QSize> sizes;
    bool ended = false;
};

Report parseReport(const QByteArray& output)
{
    Report report;
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        const auto sizeOf = [](const QByteArray& text) {
            const QList<QByteArray> wh = text.split('x');
            return wh.size() == 2 ? QSize(wh.at(0).toInt(), wh.at(1).toInt()) : QSize();
        };
        const QString name =
            fields.size() > 1 ? QFileInfo(QString::fromUtf8(fields.at(1))).fileName() : QString();
        if (fields.at(0) == "tile" && fields.size() == 3)
            report.tiles.insert(name, sizeOf(fields.at(2)));
        else if (fields.at(0) == "folder" && fields.size() == 3)
            report.folders.insert(name);
        else if (fields.at(0) == "facts" && fields.size() == 4) {
            if (!fields.at(2).isEmpty())
                report.refusals.insert(name, QString::fromUtf8(fields.at(2)));
            report.sizes.insert(name, sizeOf(fields.at(3)));
        } else if (fields.at(0) == "end")
            report.ended = true;
    }
    return report;
}

// Calls call on this thread. A call that does not return within a minute (a join on a worker
// stuck for good never does) ends the whole test program, saying what, since nothing else could.
void mustReturn(const char* what, const std::function<void()>& call)
{
    std::mutex mutex;
    std::condition_variable done;
    bool returned = false;
    std::thread watchdog([&]() {
        std::unique_lock<std::mutex> lock(mutex);
        if (!done.wait_for(lock, std::chrono::seconds(60), [&returned] { return returned; })) {
            fprintf(stderr, "%s\n", what);
            std::_Exit(1);
        }
    });
    call();
    {
        std::lock_guard<std::mutex> lock(mutex);
        returned = true;
    }
    done.notify_all();
    watchdog.join();
}

QByteArray sizeText(const QSize& size)
{
    return QByteArray::number(size.width()) + 'x' + QByteArray::number(size.height());
}

// The child: the folder loader over the listed paths, with the cache the variable names, under a
// limit of its address space; one line per signal on stdout.
int runChild()
{
#if defined(Q_OS_UNIX) && !defined(__SANITIZE_ADDRESS__)
    // Sanitizers reserve terabytes of address space up front: they run without the limit.
    const rlimit limit{rlim_t(childLimitMb) << 20, rlim_t(childLimitMb) << 20};
    setrlimit(RLIMIT_AS, &limit);
#endif
    const QStringList lines =
        QString::fromUtf8(TestSupport::readFile(qEnvironmentVariable(childListVariable)))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    CThumbnailCache::setRootOverride(lines.value(0));
    QTextStream out(stdout);
    QShowImageFolderThread loader;
    loader.SetPathList(lines.mid(1));
    QObject::connect(&loader, &QShowImageFolderThread::showSingleImage, [&out](QString path, QImage image) {
        out << "tile\t" << path << '\t' << sizeText(image.size()) << Qt::endl;
    });
    QObject::connect(&loader, &QShowImageFolderThread::showFolderImage,
                     [&out](QString path, QStringList, QImage image) {
                         out << "folder\t" << path << '\t' << sizeText(image.size()) << Qt::endl;
                     });
    QObject::connect(&loader, &QThumbnailThreadBase::pictureFacts, [&out](QString path, CPictureFacts facts) {
        out << "facts\t" << path << '\t' << facts.refusal << '\t' << sizeText(facts.pixelSize) << Qt::endl;
    });
    QObject::connect(&loader, &QShowImageFolderThread::endShowMoreImages, [&out]() {
        out << "end" << Qt::endl;
        QCoreApplication::quit();
    });
    loader.start();
    const int result = QCoreApplication::exec();
    // As the program does: a worker still stuck must not meet the libraries' teardown.
    if (CThumbnailPipeline::workersLeftBehind()) {
        std::fflush(nullptr);
        std::_Exit(result);
    }
    return result;
}

} // namespace

void tst_HostilePictures::bombsAmongGoodPicturesUnderMemoryLimit()
{
#ifndef Q_OS_UNIX
    QSKIP("pipes, links to devices and address-space limits are Unix matters");
#else
    QTemporaryDir dir;
    const QString photos = dir.filePath(QStringLiteral("photos"));
    const QString cacheRoot = dir.filePath(QStringLiteral("cache"));
    QVERIFY(QDir().mkpath(photos + QStringLiteral("/sub")));
    QVERIFY(QDir().mkpath(cacheRoot + QStringLiteral("/x-large")));
    const auto photo = [&photos](const QString& name) { return photos + QLatin1Char('/') + name; };

    QVERIFY(TestSupport::writeImage(photo(QStringLiteral("good1.jpg")), QSize(640, 480)));
    QVERIFY(TestSupport::writeImage(photo(QStringLiteral("good2.png")), QSize(300, 200)));
    QVERIFY(TestSupport::writeImage(photo(QStringLiteral("good3.jpg")), QSize(200, 300)));
    QVERIFY(TestSupport::writeFile(photo(QStringLiteral("bomb_progressive.jpg")),
                                   jpegClaiming(QSize(30000, 30000), true)));
    QVERIFY(TestSupport::writeFile(photo(QStringLiteral("bomb_baseline.jpg")),
                                   jpegClaiming(QSize(29999, 29999), false)));
    QVERIFY(TestSupport::writeFile(photo(QStringLiteral("bomb.png")), pngClaiming(QSize(30000, 30000))));
    QVERIFY(TestSupport::writeFile(photo(QStringLiteral("loop.jpg")), postScriptLoop()));
    QVERIFY(TestSupport::writeFile(photo(QStringLiteral("sub/a.eps")), postScriptLoop()));
    QVERIFY(TestSupport::writeImage(photo(QStringLiteral("sub/b.jpg")), QSize(64, 64)));
    QVERIFY(TestSupport::writeImage(photo(QStringLiteral("wide.png")), QSize(3000, 10)));
    QVERIFY(TestSupport::writeImage(photo(QStringLiteral("tall.jpg")), QSize(10, 3000)));
    QCOMPARE(mkfifo(QFile::encodeName(photo(QStringLiteral("pipe.jpg"))).constData(), 0600), 0);

    // Where the good pictures' cache entries belong: a pipe, a link to /dev/zero, and an entry
    // carrying a text chunk of 64 MB of zeros in 64 KB.
    const CThumbnailCache cache(cacheRoot);
    const auto entry = [&](const QString& name) {
        return cache.entryPath(QStringLiteral("x-large"), photo(name));
    };
    QCOMPARE(mkfifo(QFile::encodeName(entry(QStringLiteral("good3.jpg"))).constData(), 0600), 0);
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), entry(QStringLiteral("good2.png"))));
    const QByteArray textBomb =
        chunk("zTXt", "Comment" + QByteArray(2, '\0') + deflated(QByteArray(64 << 20, '\0')));
    QVERIFY(TestSupport::writeFile(
        entry(QStringLiteral("good1.jpg")),
        cacheEntry(photo(QStringLiteral("good1.jpg")), TestSupport::twoToneImage(QSize(512, 384)),
                   {{"Thumb::Image::Width", "640"}, {"Thumb::Image::Height", "480"}}, textBomb)));

    // A Ghostscript that only notes that it was started.
    const QString bin = dir.filePath(QStringLiteral("bin"));
    const QString started = dir.filePath(QStringLiteral("gs-started"));
    QVERIFY(
        TestSupport::writeFile(bin + QStringLiteral("/gs"),
                               "#!/bin/sh\necho \"$@\" >> '" + QFile::encodeName(started) + "'\nexit 1\n"));
    QVERIFY(
        QFile::setPermissions(bin + QStringLiteral("/gs"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    QStringList listing{cacheRoot, photo(QStringLiteral("sub"))};
    for (const char* name : {"good1.jpg", "bomb_progressive.jpg", "good2.png", "bomb_baseline.jpg",
                             "bomb.png", "loop.jpg", "pipe.jpg", "wide.png", "tall.jpg", "good3.jpg"})
        listing.append(photo(QString::fromLatin1(name)));
    const QString listFile = dir.filePath(QStringLiteral("list.txt"));
    QVERIFY(TestSupport::writeFile(listFile, listing.join(QLatin1Char('\n')).toUtf8()));

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(childListVariable), listFile);
    environment.insert(QStringLiteral("PATH"),
                       bin + QLatin1Char(':') + environment.value(QStringLiteral("PATH")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // One malloc arena per thread would take much of the limit before any picture is read.
    environment.insert(QStringLiteral("MALLOC_ARENA_MAX"), QStringLiteral("2"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForStarted());
    // A loader stuck on a pipe never ends: the child is then ended here and the test fails.
    const bool finished = child.waitForFinished(240000);
    if (!finished) {
        child.kill();
        child.waitForFinished();
    }
    const QByteArray output = child.readAllStandardOutput();
    const QByteArray said = output + child.readAllStandardError();
    const Report report = parseReport(output);
    QVERIFY2(finished, said.constData());
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, said.constData());
    QVERIFY2(report.ended, output.constData());

    // The good pictures around the bombs have their tiles and sizes.
    QCOMPARE(report.tiles.value(QStringLiteral("good1.jpg")), QSize(270, 202));
    QCOMPARE(report.sizes.value(QStringLiteral("good1.jpg")), QSize(640, 480));
    QCOMPARE(report.tiles.value(QStringLiteral("good2.png")), QSize(270, 180));
    QCOMPARE(report.tiles.value(QStringLiteral("good3.jpg")), QSize(180, 270));
    // A baseline JPEG is decoded at reduced size: a tile, no refusal.
    QCOMPARE(report.tiles.value(QStringLiteral("bomb_baseline.jpg")), QSize(270, 270));
    QVERIFY(!report.refusals.contains(QStringLiteral("bomb_baseline.jpg")));
    // The others are refused from their headers: the broken tile, and why.
    for (const QString& bomb : {QStringLiteral("bomb_progressive.jpg"), QStringLiteral("bomb.png")}) {
        QVERIFY2(report.tiles.contains(bomb), qPrintable(bomb));
        QVERIFY2(report.refusals.value(bomb).contains(QStringLiteral("30000 × 30000")), qPrintable(bomb));
    }
    // Strips are shown, letterboxed, and no failure is noted for them.
    QCOMPARE(report.tiles.value(QStringLiteral("wide.png")), QSize(270, 1));
    QCOMPARE(report.tiles.value(QStringLiteral("tall.jpg")), QSize(1, 270));
    QVERIFY(!QFile::exists(cache.failurePath(photo(QStringLiteral("wide.png")))));
    QVERIFY(!QFile::exists(cache.failurePath(photo(QStringLiteral("tall.jpg")))));
    // PostScript is no picture, whatever its name, and no program was started for it.
    QVERIFY(!report.tiles.contains(QStringLiteral("loop.jpg")));
    QVERIFY(!report.folders.contains(QStringLiteral("sub")));
    QVERIFY2(!QFile::exists(started), TestSupport::readFile(started).constData());
    QVERIFY(!report.tiles.contains(QStringLiteral("pipe.jpg")));
#endif
}

void tst_HostilePictures::cacheEntriesDecideNothing()
{
    QTemporaryDir dir;
    const QString photos = dir.filePath(QStringLiteral("photos"));
    const QString cacheRoot = dir.filePath(QStringLiteral("cache"));
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
    const auto photo = [&photos](const QString& name) { return photos + QLatin1Char('/') + name; };
    const CThumbnailCache cache(cacheRoot);
    QVERIFY(QDir().mkpath(QFileInfo(cache.failurePath(photo(QStringLiteral("x.jpg")))).absolutePath()));
    QVERIFY(QDir().mkpath(cacheRoot + QStringLiteral("/large")));
    QVERIFY(QDir().mkpath(elsewhere));

    // Another thumbnailer's entry with only URI, MTime and Size, square over a 4:3 picture.
    QVERIFY(TestSupport::writeImage(photo(QStringLiteral("foreign.png")), QSize(120, 90)));
    QVERIFY(TestSupport::writeFile(
        cache.entryPath(QStringLiteral("large"), photo(QStringLiteral("foreign.png"))),
        cacheEntry(photo(QStringLiteral("foreign.png")), TestSupport::twoToneImage(QSize(128, 128)), {})));
    // A claim of 100000x75000 on a 640x480 picture, in the picture's shape.
    QVERIFY(TestSupport::writeImage(photo(QStringLiteral("claimed.jpg")), QSize(640, 480)));
    QVERIFY(TestSupport::writeFile(
        cache.entryPath(QStringLiteral("large"), photo(QStringLiteral("claimed.jpg"))),
        cacheEntry(photo(QStringLiteral("claimed.jpg")), TestSupport::twoToneImage(QSize(256, 192)),
                   {{"Thumb::Image::Width", "100000"}, {"Thumb::Image::Height", "75000"}})));
    // A failure entry another program put there for a good picture.
    QVERIFY(TestSupport::writeImage(photo(QStringLiteral("planted.jpg")), QSize(320, 240)));
    QVERIFY(TestSupport::writeFile(
        cache.failurePath(photo(QStringLiteral("planted.jpg"))),
        cacheEntry(photo(QStringLiteral("planted.jpg")), QImage(1, 1, QImage::Format_ARGB32), {})));
    // An entry of 2000x1500 green pixels for a red and blue picture.
    QVERIFY(TestSupport::writeImage(photo(QStringLiteral("oversized.png")), QSize(400, 300)));
    QImage green(2000, 1500, QImage::Format_RGB32);
    green.fill(Qt::green);
    QVERIFY(TestSupport::writeFile(
        cache.entryPath(QStringLiteral("large"), photo(QStringLiteral("oversized.png"))),
        cacheEntry(photo(QStringLiteral("oversized.png")), green,
                   {{"Thumb::Image::Width", "400"}, {"Thumb::Image::Height", "300"}})));
    // The folder entries are written to is a link to another folder.
    QVERIFY(QFile::link(elsewhere, cacheRoot + QStringLiteral("/x-large")));

    CThumbnailCache::setRootOverride(cacheRoot);
    QShowImageThread loader;
    loader.SetPathList({photo(QStringLiteral("foreign.png")), photo(QStringLiteral("claimed.jpg")),
                        photo(QStringLiteral("planted.jpg")), photo(QStringLiteral("oversized.png"))});
    QHash<QString, QImage> tiles;
    QHash<QString, QSize> sizes;
    connect(&loader, &QShowImageThread::showOneImage,
            [&](QString path, QImage image) { tiles.insert(QFileInfo(path).fileName(), image); });
    connect(&loader, &QThumbnailThreadBase::pictureFacts, [&](QString path, CPictureFacts facts) {
        sizes.insert(QFileInfo(path).fileName(), facts.pixelSize);
    });
    QSignalSpy ended(&loader, &QShowImageThread::endShowOneImage);
    loader.start();
    QVERIFY(ended.wait(30000));
    CThumbnailCache::setRootOverride(QString());

    QCOMPARE(tiles.value(QStringLiteral("foreign.png")).size(), QSize(270, 202));
    QCOMPARE(sizes.value(QStringLiteral("foreign.png")), QSize(120, 90));
    QCOMPARE(sizes.value(QStringLiteral("claimed.jpg")), QSize(640, 480));
    QCOMPARE(tiles.value(QStringLiteral("planted.jpg")).size(), QSize(270, 202));
    const QImage fromPicture = tiles.value(QStringLiteral("oversized.png"));
    QCOMPARE(fromPicture.size(), QSize(270, 202));
    QCOMPARE(QColor(fromPicture.pixel(20, 100)), QColor(Qt::red));
    QCOMPARE(QDir(elsewhere).entryList(QDir::Files).size(), 0);
}

void tst_HostilePictures::textChunkInflatesNoFurther()
{
    const QByteArray uri("file:///photos/a.jpg");
    const QByteArray entry =
        cacheEntry(QStringLiteral("/photos/a.jpg"), TestSupport::twoToneImage(QSize(8, 8)), {},
                   chunk("zTXt", "Comment" + QByteArray(2, '\0') + deflated(QByteArray(64 << 20, 'z'))));
    const QHash<QByteArray, QString> keys = CPngText::read(entry);
    QCOMPARE(keys.value("Thumb::URI").toUtf8(), uri);
    QVERIFY(keys.value("Comment").isEmpty());
}

void tst_HostilePictures::stuckWorkerIsLeftBehind()
{
    QTemporaryDir dir;
    const QStringList paths = TestSupport::writePhotos(dir.path(), 4);
    QCOMPARE(paths.size(), 4);
    // Shared with the workers: a released worker still holds the semaphore for a moment after
    // this test has returned, and must not find its place on the stack taken by the next test.
    const auto release = std::make_shared<QSemaphore>();
    // A decode that never comes back, as on a network share that went away.
    CThumbnailPipeline::setWorkerHookForTests([release, stuck = paths.at(1)](const QString& file) {
        if (file == stuck)
            release->acquire();
    });
    CThumbnailPipeline::setPatience(300, 100);
    CThumbnailCache::setEnabled(false);

    QShowImageThread loader;
    loader.SetPathList(paths);
    QStringList shown;
    connect(&loader, &QShowImageThread::showOneImage, [&shown](QString path, QImage) { shown.append(path); });
    QSignalSpy ended(&loader, &QShowImageThread::endShowOneImage);
    loader.start();
    // The others are shown and the run ends without the stuck one.
    QVERIFY(ended.wait(30000));
    QCOMPARE(shown, (QStringList{paths.at(0), paths.at(2), paths.at(3)}));

    // A run stopped while its worker is stuck returns at once, as a folder change or the close
    // needs. A Stop() that waits for the worker would never return.
    loader.SetPathList({paths.at(1), paths.at(0)});
    loader.start();
    QTest::qWait(100);
    mustReturn("Stop() waited for a stuck worker", [&loader] { loader.Stop(); });
    QVERIFY(loader.isFinished());

    release->release(2);
    CThumbnailPipeline::setWorkerHookForTests({});
    CThumbnailPipeline::setPatience(120000, 1000);
    CThumbnailCache::setEnabled(true);
}

// The grid's own loader: a refused picture keeps its row with the broken tile and says why in its
// tooltip; a decode stuck for good does not hold up the end of the feed (the close of the page).
void tst_HostilePictures::gridFeedShowsRefusalAndLeavesStuckWorker()
{
    QTemporaryDir dir;
    const QStringList good = TestSupport::writePhotos(dir.path(), 3);
    QCOMPARE(good.size(), 3);
    const QString bomb = dir.filePath(QStringLiteral("bomb.png"));
    QVERIFY(TestSupport::writeFile(bomb, pngClaiming(QSize(30000, 30000))));
    CThumbnailCache::setEnabled(false);

    CPictureListModel model;
    auto* feed = new QPictureFeed(&model);
    QSignalSpy loaded(feed, &QPictureFeed::allLoaded);
    feed->show({}, {good.at(0), bomb, good.at(1)});
    QVERIFY(loaded.wait(30000));
    const int row = model.rowOf(bomb);
    QVERIFY(row >= 0);
    const QModelIndex index = model.index(row);
    QVERIFY(!index.data(CPictureListModel::ThumbnailRole).value<QImage>().isNull());
    const QString refusal = index.data(CPictureListModel::RefusalRole).toString();
    QVERIFY2(refusal.contains(QStringLiteral("30000 × 30000")), qPrintable(refusal));
    QVERIFY(index.data(Qt::ToolTipRole).toString().startsWith(refusal));
    QVERIFY(model.index(model.rowOf(good.at(0))).data(CPictureListModel::RefusalRole).isNull());

    // Shared with the worker, which outlives this test (see stuckWorkerIsLeftBehind).
    const auto release = std::make_shared<QSemaphore>();
    const auto entered = std::make_shared<QSemaphore>();
    CThumbnailPipeline::setWorkerHookForTests([release, entered, stuck = good.at(2)](const QString& file) {
        if (file == stuck) {
            entered->release();
            release->acquire();
        }
    });
    CThumbnailPipeline::setPatience(120000, 100);
    feed->show({}, {good.at(2)});
    QVERIFY(QTest::qWaitFor([entered] { return entered->available() > 0; }, 30000));
    // Deleting the feed with its worker stuck returns; one that joined it would never return.
    mustReturn("the feed waited for a stuck worker", [feed] { delete feed; });
    QVERIFY(CThumbnailPipeline::workersLeftBehind());
    // The worker's late answer finds no feed and is dropped.
    release->release();
    QTest::qWait(300);
    QCOMPARE(model.rowCount(), 1);

    CThumbnailPipeline::setWorkerHookForTests({});
    CThumbnailPipeline::setPatience(120000, 1000);
    CThumbnailCache::setEnabled(true);
}

void tst_HostilePictures::viewerShowsGiantPictureReduced()
{
    QTemporaryDir dir;
    const QString baseline = dir.filePath(QStringLiteral("giant.jpg"));
    const QString png = dir.filePath(QStringLiteral("giant.png"));
    QVERIFY(TestSupport::writeFile(baseline, jpegClaiming(QSize(29999, 29999), false)));
    QVERIFY(TestSupport::writeFile(png, pngClaiming(QSize(30000, 30000))));

    QString refusal;
    const QImage reduced = CImageReading::readUpright(baseline, &refusal);
    QVERIFY(!reduced.isNull());
    QVERIFY(qint64(reduced.width()) * reduced.height() <= CDecodeBudget::maxDecodePixels());
    QCOMPARE(reduced.width(), reduced.height());
    QVERIFY(refusal.isEmpty());

    QVERIFY(CImageReading::readUpright(png, &refusal).isNull());
    QCOMPARE(refusal, CImageReading::tooLargeText(QSize(30000, 30000)));

    // The viewer names the reduced picture by its own size, and says why it shows nothing of the
    // refused one.
    QPhotoViewImageDlg viewer;
    viewer.SetImage(baseline);
    auto* size = viewer.findChild<QLabel*>(QStringLiteral("sizeLabel"));
    QVERIFY(size);
    QCOMPARE(size->text(), QStringLiteral("29999 x 29999 像素"));
    viewer.SetImage(png);
    QCOMPARE(size->text(), CImageReading::tooLargeText(QSize(30000, 30000)));
}

void tst_HostilePictures::heifSizeClaimYieldsToDecodedSize()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("claims.heic"));
    const QString written = PictureKinds::writeHeic(path, TestSupport::twoToneImage(QSize(64, 48)), 1);
    if (!written.isEmpty())
        QSKIP(qPrintable(written));
    // The ispe box names 4000x3000 over the 64x48 the picture holds.
    QByteArray bytes = TestSupport::readFile(path);
    int at = bytes.indexOf("ispe");
    QVERIFY(at > 0);
    for (; at > 0; at = bytes.indexOf("ispe", at + 4)) {
        qToBigEndian<quint32>(4000, bytes.data() + at + 8);
        qToBigEndian<quint32>(3000, bytes.data() + at + 12);
    }
    QVERIFY(TestSupport::writeFile(path, bytes));

    const CImageReading::Thumbnails made = CImageReading::thumbnailAndKept(path, QSize(270, 270), QSize());
    QCOMPARE(made.uprightSize, QSize(64, 48));
    QCOMPARE(made.thumbnail.size(), QSize(270, 202));
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(childListVariable)) {
        QGuiApplication app(argc, argv);
        return runChild();
    }
    // The viewer is a widget.
    QApplication app(argc, argv);
    tst_HostilePictures test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostilepictures.moc"
