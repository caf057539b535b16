// SPDX-License-Identifier: MIT
#include "ExifJpeg.h"
#include "PictureKinds.h"
#include "Pictures/CPngText.h"
#include "Pictures/CThumbnailCache.h"
#include "TestSupport.h"
#include "Thread/QShowImageFolderThread.h"
#include "Thread/QShowImageThread.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using TestSupport::writeFile;
using TestSupport::writeImage;

// The thumbnail loaders as the edit page drives them: a list in, one signal per thumbnail in
// list order, one end signal.
class tst_ThumbnailThreads : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void thumbnailSize_data();
    void thumbnailSize();
    void exifOrientationGivesUprightThumbnail_data();
    void exifOrientationGivesUprightThumbnail();
    void mixedListSignalsInOrder_data();
    void mixedListSignalsInOrder();
    void manyPicturesArriveInListOrder();
    void stoppedRunIsSilentAndRestartsAtOnce_data();
    void stoppedRunIsSilentAndRestartsAtOnce();
    void destroyingARunningLoader();
    void factsFollowPictureFilesNotFolders_data();
    void factsFollowPictureFilesNotFolders();
    void heicFactsComeFromItsExifBlock();

private:
    QString path(const QString& relative) const { return m_dir->filePath(relative); }
    // Runs a loader over list to its end; every signal as one line ("single <name> WxH", ...).
    QStringList runFolderThread(const QStringList& list);
    QStringList runImageThread(const QStringList& list);
    static QStringList runToEnd(QThumbnailThreadBase& thread, const QStringList& list, QSignalSpy& end,
                                QStringList& events);
    QString name(const QString& absolute) const { return QDir(m_dir->path()).relativeFilePath(absolute); }
    static QString sizeText(const QImage& image)
    {
        return QStringLiteral("%1x%2").arg(image.width()).arg(image.height());
    }

    QScopedPointer<QTemporaryDir> m_dir;
};

void tst_ThumbnailThreads::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

QStringList tst_ThumbnailThreads::runFolderThread(const QStringList& list)
{
    QStringList events;
    QShowImageFolderThread thread;
    connect(&thread, &QShowImageFolderThread::showSingleImage, this, [&](QString p, QImage image) {
        events << QStringLiteral("single %1 %2").arg(name(p), sizeText(image));
    });
    connect(
        &thread, &QShowImageFolderThread::showFolderImage, this,
        [&](QString folder, QStringList files, QImage image) {
            QStringList names;
            for (const QString& file : files)
                names << name(file);
            events << QStringLiteral("folder %1 [%2] %3").arg(name(folder), names.join(','), sizeText(image));
        });
    QSignalSpy end(&thread, &QShowImageFolderThread::endShowMoreImages);
    return runToEnd(thread, list, end, events);
}

QStringList tst_ThumbnailThreads::runImageThread(const QStringList& list)
{
    QStringList events;
    QShowImageThread thread;
    connect(&thread, &QShowImageThread::showOneImage, this, [&](QString p, QImage image) {
        events << QStringLiteral("one %1 %2").arg(name(p), sizeText(image));
    });
    QSignalSpy end(&thread, &QShowImageThread::endShowOneImage);
    return runToEnd(thread, list, end, events);
}

QStringList tst_ThumbnailThreads::runToEnd(QThumbnailThreadBase& thread, const QStringList& list,
                                           QSignalSpy& end, QStringList& events)
{
    thread.SetPathList(list);
    thread.start();
    if (!end.wait(60000))
        return {QStringLiteral("no end signal")};
    thread.wait();
    // Anything the run posted after its end signal would show up now.
    QCoreApplication::sendPostedEvents(&thread, QEvent::MetaCall);
    events << QStringLiteral("end x%1").arg(end.count());
    return events;
}

void tst_ThumbnailThreads::thumbnailSize_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("expected"); // worked out by hand: fit 270x270, keep the aspect ratio

    QTest::newRow("4000x3000 jpg") << "a.jpg" << QSize(4000, 3000) << QSize(270, 202);
    QTest::newRow("100x50 png is enlarged") << "b.png" << QSize(100, 50) << QSize(270, 135);
    QTest::newRow("portrait bmp") << "c.bmp" << QSize(600, 900) << QSize(180, 270);
    QTest::newRow("odd-sized jpg") << "d.jpg" << QSize(3001, 1999) << QSize(270, 179);
    QTest::newRow("wide jpg") << "e.JPG" << QSize(5000, 1000) << QSize(270, 54);
    QTest::newRow("exactly the box") << "f.png" << QSize(270, 270) << QSize(270, 270);
    QTest::newRow("small jpeg") << "g.jpeg" << QSize(30, 20) << QSize(270, 180);
}

void tst_ThumbnailThreads::thumbnailSize()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(QSize, expected);

    QCOMPARE(size.scaled(270, 270, Qt::KeepAspectRatio), expected);
    QVERIFY(writeImage(path(file), size, Qt::red, Qt::blue));

    QShowImageThread thread;
    QSignalSpy spy(&thread, &QShowImageThread::showOneImage);
    thread.SetPathList({path(file)});
    thread.start();
    QVERIFY(spy.wait(30000));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().at(0).toString(), path(file));
    const QImage thumbnail = spy.first().at(1).value<QImage>();
    QCOMPARE(thumbnail.size(), expected);
    // It is this picture, not just any picture of that size: red on the left, blue on the right.
    const QColor left = thumbnail.pixelColor(thumbnail.width() / 8, thumbnail.height() / 2);
    const QColor right = thumbnail.pixelColor(thumbnail.width() * 7 / 8, thumbnail.height() / 2);
    QVERIFY2(left.red() > 200 && left.blue() < 60, qPrintable(left.name()));
    QVERIFY2(right.blue() > 200 && right.red() < 60, qPrintable(right.name()));
}

void tst_ThumbnailThreads::exifOrientationGivesUprightThumbnail_data()
{
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QSize>("expected");
    // Which colour an upright viewer sees at the top and at the bottom. The stored picture is
    // red on its left half and blue on its right half: turning it a quarter clockwise
    // (orientation 6) brings the left edge to the top, counter-clockwise (8) to the bottom.
    QTest::addColumn<QColor>("top");
    QTest::addColumn<QColor>("bottom");

    const QColor red(Qt::red), blue(Qt::blue);
    QTest::newRow("6, small") << QSize(400, 200) << 6 << QSize(135, 270) << red << blue;
    QTest::newRow("8, small") << QSize(400, 200) << 8 << QSize(135, 270) << blue << red;
    QTest::newRow("6, camera size") << QSize(4000, 3000) << 6 << QSize(202, 270) << red << blue;
    QTest::newRow("8, camera size") << QSize(4000, 3000) << 8 << QSize(202, 270) << blue << red;
    QTest::newRow("1 stays as stored") << QSize(4000, 3000) << 1 << QSize(270, 202) << QColor() << QColor();
}

void tst_ThumbnailThreads::exifOrientationGivesUprightThumbnail()
{
    QFETCH(QSize, stored);
    QFETCH(int, orientation);
    QFETCH(QSize, expected);
    QFETCH(QColor, top);
    QFETCH(QColor, bottom);

    QVERIFY(ExifJpeg::write(path("phone.jpg"), TestSupport::twoToneImage(stored, Qt::red, Qt::blue),
                            orientation));
    QShowImageThread thread;
    QSignalSpy spy(&thread, &QShowImageThread::showOneImage);
    thread.SetPathList({path("phone.jpg")});
    thread.start();
    QVERIFY(spy.wait(30000));
    const QImage thumbnail = spy.first().at(1).value<QImage>();
    QCOMPARE(thumbnail.size(), expected);
    if (!top.isValid())
        return;
    const QColor seenTop = thumbnail.pixelColor(thumbnail.width() / 2, thumbnail.height() / 8);
    const QColor seenBottom = thumbnail.pixelColor(thumbnail.width() / 2, thumbnail.height() * 7 / 8);
    auto near = [](const QColor& a, const QColor& b) {
        return qAbs(a.red() - b.red()) < 50 && qAbs(a.green() - b.green()) < 50 &&
               qAbs(a.blue() - b.blue()) < 50;
    };
    QVERIFY2(near(seenTop, top), qPrintable(seenTop.name()));
    QVERIFY2(near(seenBottom, bottom), qPrintable(seenBottom.name()));
}

void tst_ThumbnailThreads::mixedListSignalsInOrder_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QStringList>("folderEvents");
    QTest::addColumn<QStringList>("imageEvents");

    QTest::newRow("text file, folder, picture")
        << QStringList{"notes.txt", "album", "pic.png"}
        << QStringList{"folder album [album/1.jpg,album/sub.txt] 270x135", "single pic.png 270x202", "end x1"}
        << QStringList{"one pic.png 270x202", "end x1"};
    QTest::newRow("folder whose first file is not a picture")
        << QStringList{"textfirst", "pic.png"} << QStringList{"single pic.png 270x202", "end x1"}
        << QStringList{"one pic.png 270x202", "end x1"};
    QTest::newRow("empty folder and folder with only a sub-folder")
        << QStringList{"empty", "nested", "pic.png"} << QStringList{"single pic.png 270x202", "end x1"}
        << QStringList{"one pic.png 270x202", "end x1"};
    QTest::newRow("broken picture and missing file")
        << QStringList{"broken.jpg", "missing.jpg", "pic.png", "broken.jpg"}
        << QStringList{"single pic.png 270x202", "end x1"} << QStringList{"one pic.png 270x202", "end x1"};
    QTest::newRow("empty list") << QStringList() << QStringList{"end x1"} << QStringList{"end x1"};
    QTest::newRow("same picture twice")
        << QStringList{"pic.png", "album", "pic.png"}
        << QStringList{"single pic.png 270x202", "folder album [album/1.jpg,album/sub.txt] 270x135",
                       "single pic.png 270x202", "end x1"}
        << QStringList{"one pic.png 270x202", "one pic.png 270x202", "end x1"};
}

void tst_ThumbnailThreads::mixedListSignalsInOrder()
{
    QFETCH(QStringList, list);
    QFETCH(QStringList, folderEvents);
    QFETCH(QStringList, imageEvents);

    QVERIFY(writeFile(path("notes.txt"), "not a picture"));
    QVERIFY(writeImage(path("album/1.jpg"), QSize(200, 100)));
    QVERIFY(writeFile(path("album/sub.txt"), "text"));
    QVERIFY(QDir().mkpath(path("album/inner")));
    QVERIFY(writeFile(path("textfirst/0.txt"), "text"));
    QVERIFY(writeImage(path("textfirst/1.jpg"), QSize(200, 100)));
    QVERIFY(QDir().mkpath(path("empty")));
    QVERIFY(writeImage(path("nested/deeper/1.jpg"), QSize(200, 100)));
    QVERIFY(writeImage(path("pic.png"), QSize(400, 300)));
    QVERIFY(writeFile(path("broken.jpg"), QByteArray::fromHex("ffd8ffe000104a464946") + "truncated"));

    QStringList absolute;
    for (const QString& entry : list)
        absolute << path(entry);
    QCOMPARE(runFolderThread(absolute), folderEvents);
    QCOMPARE(runImageThread(absolute), imageEvents);
}

void tst_ThumbnailThreads::manyPicturesArriveInListOrder()
{
    // Sizes vary a lot so that decodes finish out of order on the pool.
    QStringList list;
    QStringList expected;
    for (int i = 0; i < 24; ++i) {
        const QSize size = (i % 3 == 0) ? QSize(2400, 1800) : QSize(60 + i, 40);
        const QString file =
            QStringLiteral("p%1.%2").arg(i, 2, 10, QChar('0')).arg(i % 4 == 1 ? "png" : "jpg");
        QVERIFY(writeImage(path(file), size));
        list << path(file);
        const QSize thumb = size.scaled(270, 270, Qt::KeepAspectRatio);
        expected << QStringLiteral("one %1 %2x%3").arg(file).arg(thumb.width()).arg(thumb.height());
        if (i % 5 == 2) {
            QVERIFY(writeFile(path(QStringLiteral("bad%1.jpg").arg(i)), "not a picture"));
            list << path(QStringLiteral("bad%1.jpg").arg(i));
        }
    }
    expected << "end x1";
    for (int round = 0; round < 3; ++round)
        QCOMPARE(runImageThread(list), expected);
}

void tst_ThumbnailThreads::stoppedRunIsSilentAndRestartsAtOnce_data()
{
    QTest::addColumn<bool>("folderThread");
    QTest::newRow("picture list") << false;
    QTest::newRow("folder listing") << true;
}

void tst_ThumbnailThreads::stoppedRunIsSilentAndRestartsAtOnce()
{
    QFETCH(bool, folderThread);
    QStringList longList;
    for (int i = 0; i < 40; ++i) {
        QVERIFY(writeImage(path(QStringLiteral("long/%1.jpg").arg(i)), QSize(1600, 1200)));
        longList << path(QStringLiteral("long/%1.jpg").arg(i));
    }
    QVERIFY(writeImage(path("short/a.png"), QSize(30, 20)));
    QVERIFY(writeImage(path("short/b.png"), QSize(20, 30)));
    const QStringList shortList{path("short/a.png"), path("short/b.png")};

    QShowImageThread images;
    QShowImageFolderThread folders;
    QWorkerThread* thread = folderThread ? static_cast<QWorkerThread*>(&folders) : &images;
    std::unique_ptr<QSignalSpy> pictureSpy(
        folderThread ? new QSignalSpy(&folders, &QShowImageFolderThread::showSingleImage)
                     : new QSignalSpy(&images, &QShowImageThread::showOneImage));
    std::unique_ptr<QSignalSpy> endSpy(
        folderThread ? new QSignalSpy(&folders, &QShowImageFolderThread::endShowMoreImages)
                     : new QSignalSpy(&images, &QShowImageThread::endShowOneImage));
    QSignalSpy& pictures = *pictureSpy;
    QSignalSpy& ends = *endSpy;
    auto setList = [&](const QStringList& list) {
        images.SetPathList(list);
        folders.SetPathList(list);
    };

    for (int round = 0; round < 2; ++round) {
        setList(longList);
        thread->start();
        QVERIFY(pictures.wait(30000));
        thread->Stop();
        const int seen = pictures.count();
        QCoreApplication::sendPostedEvents(thread, QEvent::MetaCall);
        QCOMPARE(pictures.count(), seen);
        QCOMPARE(ends.count(), 0);
        QVERIFY(seen < longList.size());
        pictures.clear();

        // A run that has ended but whose signals are still queued is silenced just the same.
        setList(shortList);
        thread->start();
        thread->wait();
        thread->Stop();
        QCoreApplication::sendPostedEvents(thread, QEvent::MetaCall);
        QCOMPARE(pictures.count(), 0);
        QCOMPARE(ends.count(), 0);

        thread->start();
        QVERIFY(ends.wait(30000));
        thread->wait();
        QCoreApplication::sendPostedEvents(thread, QEvent::MetaCall);
        QCOMPARE(ends.count(), 1);
        QCOMPARE(pictures.count(), 2);
        QCOMPARE(pictures.at(0).at(0).toString(), shortList.at(0));
        QCOMPARE(pictures.at(1).at(0).toString(), shortList.at(1));
        pictures.clear();
        ends.clear();
    }
}

void tst_ThumbnailThreads::destroyingARunningLoader()
{
    QStringList list;
    for (int i = 0; i < 20; ++i) {
        QVERIFY(writeImage(path(QStringLiteral("%1.jpg").arg(i)), QSize(1600, 1200)));
        list << path(QStringLiteral("%1.jpg").arg(i));
    }
    auto* images = new QShowImageThread;
    auto* folders = new QShowImageFolderThread;
    images->SetPathList(list);
    folders->SetPathList(list);
    images->start();
    folders->start();
    // Each destructor stops and joins its run; a thread destroyed while running would abort.
    delete images;
    delete folders;
}

void tst_ThumbnailThreads::factsFollowPictureFilesNotFolders_data()
{
    QTest::addColumn<bool>("cached");
    QTest::newRow("decoded") << false;
    QTest::newRow("from the thumbnail cache") << true;
}

void tst_ThumbnailThreads::factsFollowPictureFilesNotFolders()
{
    QFETCH(bool, cached);
    CThumbnailCache::setEnabled(cached);
    // A folder (its tile is no picture of its own), a picture turned upright by its EXIF block, a
    // text file, and a PNG whose time is the file's.
    QVERIFY(writeImage(path("trip/inside.jpg"), QSize(640, 480)));
    QVERIFY(ExifJpeg::writeWithTime(path("turned.jpg"), TestSupport::twoToneImage(QSize(300, 200)),
                                    "2023:12:24 18:30:05", 6));
    QVERIFY(writeFile(path("notes.txt"), "not a picture"));
    QVERIFY(writeImage(path("scan.png"), QSize(500, 100)));
    const QDateTime scanTime(QDate(2022, 2, 2), QTime(2, 2, 2));
    QVERIFY(TestSupport::setModified(path("scan.png"), scanTime));
    const QStringList list{path("trip"), path("turned.jpg"), path("notes.txt"), path("scan.png")};

    // Twice: with the cache on, the second run is answered from the entries the first one wrote,
    // which remember when the picture was taken.
    quint64 firstHash = 0;
    for (int run = 0; run < 2; ++run) {
        if (cached && run == 1) {
            const QHash<QByteArray, QString> keys = CPngText::read(TestSupport::readFile(
                CThumbnailCache::forLoaders()->entryPath(QStringLiteral("x-large"), path("turned.jpg"))));
            QCOMPARE(keys.value("X-Vellora::CaptureTime"),
                     QString::number(QDateTime(QDate(2023, 12, 24), QTime(18, 30, 5)).toSecsSinceEpoch()));
            QCOMPARE(keys.value("X-Vellora::CaptureFrom"), QStringLiteral("exif"));
        }
        QShowImageFolderThread thread;
        QStringList events;
        QHash<QString, CPictureFacts> facts;
        connect(&thread, &QShowImageFolderThread::showSingleImage, this,
                [&](QString p, QImage) { events << "single " + name(p); });
        connect(&thread, &QShowImageFolderThread::showFolderImage, this,
                [&](QString p, QStringList, QImage) { events << "folder " + name(p); });
        connect(&thread, &QThumbnailThreadBase::pictureFacts, this, [&](QString p, CPictureFacts f) {
            events << "facts " + name(p);
            facts.insert(name(p), f);
        });
        QSignalSpy end(&thread, &QShowImageFolderThread::endShowMoreImages);
        thread.SetCachedFirst(false);
        const QStringList got = runToEnd(thread, list, end, events);
        QCOMPARE(got, QStringList({"folder trip", "single turned.jpg", "facts turned.jpg", "single scan.png",
                                   "facts scan.png", "end x1"}));
        const CPictureFacts turned = facts.value("turned.jpg");
        QCOMPARE(turned.pixelSize, QSize(200, 300));
        QCOMPARE(turned.captureTime, QDateTime(QDate(2023, 12, 24), QTime(18, 30, 5)));
        QVERIFY(turned.timeFromExif);
        if (run == 0)
            firstHash = turned.hash;
        QVERIFY(CPictureFacts::distance(turned.hash, firstHash) <= 3);
        const CPictureFacts scan = facts.value("scan.png");
        QCOMPARE(scan.pixelSize, QSize(500, 100));
        QCOMPARE(scan.captureTime, scanTime);
        QVERIFY(!scan.timeFromExif);
        // Red left, blue right, in nine columns of cells: only the pairs around the middle cell
        // (half red, half blue) have a brighter left cell, bits 3 and 4 of every row.
        QCOMPARE(scan.hash, Q_UINT64_C(0x1818181818181818));
    }
    CThumbnailCache::setEnabled(true);
}

void tst_ThumbnailThreads::heicFactsComeFromItsExifBlock()
{
    // Stored on its side, turned upright by the container; the time sits in libheif's EXIF item.
    const QString error =
        PictureKinds::writeHeic(path("phone.heic"), TestSupport::twoToneImage(QSize(96, 64)), 6, QImage(), 0,
                                ExifJpeg::exifBlock("2021:07:01 08:00:01"));
    if (error.contains(QLatin1String("encoder")))
        QSKIP(qPrintable(error));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(TestSupport::setModified(path("phone.heic"), QDateTime(QDate(2020, 1, 1), QTime(0, 0))));

    QShowImageThread thread;
    QSignalSpy facts(&thread, &QThumbnailThreadBase::pictureFacts);
    QSignalSpy end(&thread, &QShowImageThread::endShowOneImage);
    thread.SetPathList({path("phone.heic")});
    thread.start();
    QVERIFY(end.wait(30000));
    QCOMPARE(facts.count(), 1);
    const CPictureFacts got = facts.first().at(1).value<CPictureFacts>();
    QCOMPARE(got.pixelSize, QSize(64, 96));
    QCOMPARE(got.captureTime, QDateTime(QDate(2021, 7, 1), QTime(8, 0, 1)));
    QVERIFY(got.timeFromExif);
}

QTEST_MAIN(tst_ThumbnailThreads)
#include "tst_thumbnailthreads.moc"
