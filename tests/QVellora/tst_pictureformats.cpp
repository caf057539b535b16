// SPDX-License-Identifier: MIT
#include "AnsweredDialogs.h"
#include "CProgramFiles.h"
#include "CatePage/QCateMakeWidget.h"
#include "CatePage/QCatePage.h"
#include "CategoryParts.h"
#include "Dialogs/QSetFileTypeDlg.h"
#include "LoadIn/QUpdateImageData.h"
#include "NoticeBoxes.h"
#include "OtherWidget/QDrawImageButton.h"
#include "PageParts.h"
#include "PhotoView/QPhotoViewImageDlg.h"
#include "PhotoView/QPhotoViewImageWidget.h"
#include "PictureKinds.h"
#include "Pictures/CImageReading.h"
#include "Pictures/CSelectImageData.h"
#include "Records/CLastSession.h"
#include "Selection/CSelection.h"
#include "StandinService.h"
#include "TestSupport.h"
#include "Thread/QScanFilesThread.h"
#include "Thread/QScanFolderThread.h"
#include "Thread/QShowImageThread.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <deque>
#include <memory>

// Phone and web pictures (HEIC/HEIF, WebP, AVIF, TIFF) beside JPG, PNG and BMP: found by the
// searches, shown upright in tiles and the viewer, kept in categories, exported as they are and
// uploaded as JPEG. The pictures are made at test time with the tools a user's files come from.
class tst_PictureFormats : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void searchesFindTheTickedKinds_data();
    void searchesFindTheTickedKinds();
    void heicUprightInTileAndViewer_data();
    void heicUprightInTileAndViewer();
    void heicTileFromEmbeddedThumbnailOnlyWhenLargeEnough_data();
    void heicTileFromEmbeddedThumbnailOnlyWhenLargeEnough();
    void categoryKeepsUnreadablePicturesAndExportsBytes();
    void uploadSendsConvertedJpegs();

private:
    // Skips the calling test when a tool that makes the picture is missing.
    bool makePicture(const QString& path, const QImage& image, int thumbnailBox = 0);
    static QStringList namesOf(const QStringList& paths);
    // Runs a worker and returns the list its one result signal carries.
    template <typename Thread, typename Signal> static QStringList resultOf(Thread& thread, Signal signal);
    // The thumbnails the thumbnail worker makes for paths, by path.
    static QMap<QString, QImage> tilesOf(const QStringList& paths);
    // The colour at a fraction of the picture's width and height.
    static QColor colourAt(const QImage& image, double x, double y);
    static bool near(const QColor& a, const QColor& b);

    QTemporaryDir m_dir;
    QString m_kinds; // a folder holding one picture of every kind, made once
};

void tst_PictureFormats::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_kinds = m_dir.filePath("kinds");
    const QStringList names{"a.jpg",  "b.jpeg", "c.png",  "d.bmp", "e.heic",
                            "f.heif", "g.webp", "h.avif", "i.tif", "j.tiff"};
    for (const QString& name : names) {
        const QString tool = PictureKinds::toolFor(name);
        if (!tool.isEmpty() && !PictureKinds::haveTool(tool))
            QSKIP(qPrintable(tool + " is missing (tools/install-deps.sh installs it)"));
        const QString error =
            PictureKinds::write(m_kinds + "/" + name, TestSupport::twoToneImage(QSize(48, 32)));
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
    QVERIFY(TestSupport::writeFile(m_kinds + "/notes.txt", "not a picture"));
}

void tst_PictureFormats::cleanup()
{
    NoticeBoxes::closeAll();
}

bool tst_PictureFormats::makePicture(const QString& path, const QImage& image, int thumbnailBox)
{
    const QString tool = PictureKinds::toolFor(path);
    if (!tool.isEmpty() && !PictureKinds::haveTool(tool)) {
        QTest::qSkip(qPrintable(tool + " is missing"), __FILE__, __LINE__);
        return false;
    }
    const QString error = PictureKinds::write(path, image, thumbnailBox);
    if (!error.isEmpty())
        qWarning() << error;
    return error.isEmpty();
}

QStringList tst_PictureFormats::namesOf(const QStringList& paths)
{
    QStringList names;
    for (const QString& path : paths)
        names << QFileInfo(path).fileName();
    names.sort();
    return names;
}

template <typename Thread, typename Signal>
QStringList tst_PictureFormats::resultOf(Thread& thread, Signal signal)
{
    QSignalSpy spy(&thread, signal);
    thread.start();
    if (!spy.wait(20000) || spy.size() != 1)
        return {QStringLiteral("no result")};
    return spy.first().first().toStringList();
}

QMap<QString, QImage> tst_PictureFormats::tilesOf(const QStringList& paths)
{
    QShowImageThread worker;
    QMap<QString, QImage> tiles;
    connect(&worker, &QShowImageThread::showOneImage,
            [&](const QString& path, const QImage& image) { tiles.insert(path, image); });
    QSignalSpy end(&worker, &QShowImageThread::endShowOneImage);
    worker.SetPathList(paths);
    worker.start();
    if (!end.wait(30000))
        return {};
    return tiles;
}

QColor tst_PictureFormats::colourAt(const QImage& image, double x, double y)
{
    return image.pixelColor(int(x * (image.width() - 1)), int(y * (image.height() - 1)));
}

bool tst_PictureFormats::near(const QColor& a, const QColor& b)
{
    // Lossy coding moves colours a little, never from one of the test colours to another.
    return qAbs(a.red() - b.red()) < 60 && qAbs(a.green() - b.green()) < 60 && qAbs(a.blue() - b.blue()) < 60;
}

void tst_PictureFormats::searchesFindTheTickedKinds_data()
{
    QTest::addColumn<QString>("untick");
    QTest::addColumn<QStringList>("expected");
    const QStringList all{"a.jpg",  "b.jpeg", "c.png",  "d.bmp", "e.heic",
                          "f.heif", "g.webp", "h.avif", "i.tif", "j.tiff"};
    QStringList withoutHeic = all;
    withoutHeic.removeAll("e.heic");
    withoutHeic.removeAll("f.heif");
    QTest::newRow("the types ticked at start") << QString() << all;
    QTest::newRow("HEIC unticked") << QStringLiteral("HEIC/HEIF类型") << withoutHeic;
}

void tst_PictureFormats::searchesFindTheTickedKinds()
{
    QFETCH(QString, untick);
    QFETCH(QStringList, expected);

    QSetFileTypeDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
        QVERIFY2(box->isEnabled(), qPrintable(box->text() + " is greyed out: its image plugin is missing"));
        if (box->text() == untick)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    }
    dialog.close();
    CPhotoFilter filter;
    dialog.ApplyTo(filter);

    QScanFilesThread tree;
    tree.SetScanPath(m_dir.path());
    tree.SetFilter(filter);
    const QStringList found = resultOf(tree, &QScanFilesThread::findOnePicture);
    QCOMPARE(namesOf(found), expected);

    QScanFolderThread folder;
    folder.SetScanPath(m_kinds);
    folder.SetFilter(filter);
    QCOMPARE(namesOf(resultOf(folder, &QScanFolderThread::findOneFolderOrImage)), expected);

    // Every kind found gets its tile, the 48 x 32 picture fitted into 270 x 270.
    const QMap<QString, QImage> tiles = tilesOf(found);
    QCOMPARE(namesOf(tiles.keys()), expected);
    for (auto it = tiles.cbegin(); it != tiles.cend(); ++it) {
        QCOMPARE(it.value().size(), QSize(270, 180));
        QVERIFY2(near(colourAt(it.value(), 0.1, 0.5), Qt::red), qPrintable(it.key()));
        QVERIFY2(near(colourAt(it.value(), 0.9, 0.5), Qt::blue), qPrintable(it.key()));
    }
}

void tst_PictureFormats::heicUprightInTileAndViewer_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("thumbnailBox");
    QTest::addColumn<QTransform>("turn");
    QTest::newRow("a quarter clockwise, with its thumbnail") << 6 << 320 << QTransform().rotate(90);
    QTest::newRow("a quarter anticlockwise, decoded whole") << 8 << 0 << QTransform().rotate(270);
    QTest::newRow("mirrored") << 2 << 0 << QTransform().scale(-1, 1);
}

void tst_PictureFormats::heicUprightInTileAndViewer()
{
    QFETCH(int, orientation);
    QFETCH(int, thumbnailBox);
    QFETCH(QTransform, turn);

    // Stored as a phone stores it: the sensor's pixels, and how to turn them for viewing.
    const QImage stored = TestSupport::twoToneImage(QSize(400, 240), Qt::red, Qt::blue);
    const QImage upright = stored.transformed(turn);
    const QString path = m_dir.filePath(QStringLiteral("turned/%1.heic").arg(orientation));
    const QString error = PictureKinds::writeHeic(path, stored, orientation, stored, thumbnailBox);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    auto sameLayout = [&](const QImage& shown) {
        for (double x : {0.15, 0.85})
            for (double y : {0.15, 0.85})
                if (!near(colourAt(shown, x, y), colourAt(upright, x, y)))
                    return false;
        return true;
    };

    const QImage tile = tilesOf({path}).value(path);
    QCOMPARE(tile.size(), upright.size().scaled(270, 270, Qt::KeepAspectRatio));
    QVERIFY(sameLayout(tile));

    QPhotoViewImageDlg viewer;
    viewer.SetImage(path);
    QCOMPARE(viewer.findChild<QLabel*>("sizeLabel")->text(),
             QStringLiteral("%1 x %2 像素").arg(upright.width()).arg(upright.height()));
    const QImage shown = viewer.GetImageWidget()->GetDisplayPixmap().toImage();
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.width() > shown.height(), upright.width() > upright.height());
    QVERIFY(sameLayout(shown));
}

void tst_PictureFormats::heicTileFromEmbeddedThumbnailOnlyWhenLargeEnough_data()
{
    QTest::addColumn<int>("thumbnailBox");
    QTest::addColumn<QColor>("tileColour");
    // The embedded thumbnail is painted another colour than the picture, so the tile tells which
    // of the two it was made from.
    QTest::newRow("320 pixels: the thumbnail serves") << 320 << QColor(Qt::magenta);
    QTest::newRow("64 pixels: too small, the picture is decoded") << 64 << QColor(Qt::green);
}

void tst_PictureFormats::heicTileFromEmbeddedThumbnailOnlyWhenLargeEnough()
{
    QFETCH(int, thumbnailBox);
    QFETCH(QColor, tileColour);

    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QImage thumbnail(640, 480, QImage::Format_RGB32);
    thumbnail.fill(Qt::magenta);
    const QString path = m_dir.filePath(QStringLiteral("thumbs/%1.heic").arg(thumbnailBox));
    const QString error = PictureKinds::writeHeic(path, picture, 1, thumbnail, thumbnailBox);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    const QImage tile = CImageReading::thumbnail(path, CImageReading::thumbnailBox());
    QCOMPARE(tile.size(), QSize(270, 202));
    QVERIFY2(near(colourAt(tile, 0.5, 0.5), tileColour), qPrintable(colourAt(tile, 0.5, 0.5).name()));
}

void tst_PictureFormats::categoryKeepsUnreadablePicturesAndExportsBytes()
{
    const QString heic = m_kinds + "/e.heic";
    const QString webp = m_kinds + "/g.webp";
    const QString broken = m_dir.filePath("broken/broken.heic");
    const QString gone = m_dir.filePath("broken/gone.heic");
    QVERIFY(TestSupport::writeFile(broken, "not a picture at all"));

    // A saved category comes back with the unreadable picture; only a vanished file is dropped.
    const CCategory saved{"Phone", {heic, broken, gone, webp}};
    QCOMPARE(CLastSession::restorablePictures(saved, {heic, webp}), (QStringList{heic, broken, webp}));

    AnsweredDialogs answers(m_dir.filePath("records"));
    CSelectImageData thumbnails;
    const QStringList phone{heic, broken, webp};
    for (const QString& path : phone.mid(0, 2)) {
        const QImage tile = CImageReading::thumbnail(path, CImageReading::thumbnailBox());
        if (!tile.isNull())
            thumbnails.AddImage(path, QPixmap::fromImage(tile));
    }
    QVERIFY(thumbnails.FindImage(heic));
    QVERIFY(!thumbnails.FindImage(broken));
    // The WebP has no thumbnail, as when its plugin went missing.
    CSelection selection;
    selection.addPictures(selection.addCategory("Phone"), phone);

    QCatePage page;
    page.SetSelection(&selection, &thumbnails);
    page.ShowCategories();
    QCategoryRow* row = CategoryParts::row(&page, 0);
    QCOMPARE(CategoryParts::paths(row), phone);
    const QAbstractItemModel* list = CategoryParts::pictures(row)->model();
    auto tile = [list](int i) { return list->index(i, 0); };
    QCOMPARE(tile(1).data(Qt::DisplayRole).toString(), QStringLiteral("broken.heic"));
    QVERIFY(tile(1).data(Qt::DecorationRole).isNull());
    QCOMPARE(tile(2).data(Qt::DisplayRole).toString(), QStringLiteral("g.webp"));
    QVERIFY(tile(0).data(Qt::DisplayRole).toString().isEmpty());

    const QString target = m_dir.filePath("export");
    QVERIFY(QDir().mkpath(target));
    answers.folder = target;
    QSignalSpy finished(&page, &QCatePage::sigExportFinished);
    auto* exportButton =
        PageParts::find<QCateMakeWidget>(&page, "makeWidget")->findChild<QDrawImageButton*>("exportButton");
    QVERIFY(exportButton);
    QTest::mouseClick(exportButton, Qt::LeftButton);
    QVERIFY(finished.size() == 1 || finished.wait(20000));
    QVERIFY(finished.first().first().toBool());
    for (const QString& path : phone)
        QCOMPARE(TestSupport::readFile(target + "/Phone/" + QFileInfo(path).fileName()),
                 TestSupport::readFile(path));
}

void tst_PictureFormats::uploadSendsConvertedJpegs()
{
    // A ledger of this test's own: nothing counts as sent before.
    CProgramFiles::setRecordFolderOverride(m_dir.filePath("upload-records"));
    auto restoreRecords = qScopeGuard([] { CProgramFiles::setRecordFolderOverride(QString()); });
    const QString folder = m_dir.filePath("upload");
    // A phone picture turned a quarter clockwise: stored 120 x 80, shown 80 x 120, red on top.
    const QString turned = folder + "/turned.heic";
    const QImage stored = TestSupport::twoToneImage(QSize(120, 80), Qt::red, Qt::blue);
    const QString error = PictureKinds::writeHeic(turned, stored, 6);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    if (!makePicture(folder + "/web.webp", TestSupport::twoToneImage(QSize(60, 40))))
        return;
    QVERIFY(makePicture(folder + "/kept.jpg", TestSupport::twoToneImage(QSize(50, 30))));

    StandinService service;
    QVERIFY(service.start());
    QVERIFY(service.addAccount("phone", "pw"));
    const QString userId = service.userId("phone");

    // The converted files go to the temporary folder; one of the test's own shows what is left.
    const QString temporary = m_dir.filePath("tmp");
    QVERIFY(QDir().mkpath(temporary));
    const QByteArray oldTemporary = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temporary));
    auto restore = qScopeGuard([&] { qputenv("TMPDIR", oldTemporary); });

    QUpdateImageData uploader;
    uploader.SetUserID(userId);
    QSignalSpy finished(&uploader, &QUpdateImageData::batchFinished);
    QVERIFY(uploader.UpdataImagePath(folder));
    QVERIFY(finished.wait(60000));
    QCOMPARE(finished.first(), (QList<QVariant>{3, 0}));
    QCOMPARE(NoticeBoxes::texts(),
             QStringList{QStringLiteral("照片上传完成！\n其中 2 张照片已转换为 JPEG 格式上传。")});
    QCOMPARE(QDir(temporary).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());

    struct Expected
    {
        QString type;
        QSize size;
        QColor top, bottom; // colours of the upright picture
    };
    const QMap<QString, Expected> expected{
        {"turned", {"image/jpeg", QSize(80, 120), Qt::red, Qt::blue}},
        {"web", {"image/jpeg", QSize(60, 40), Qt::red, Qt::red}},
        {"kept", {"image/jpg", QSize(50, 30), Qt::red, Qt::red}},
    };
    QMap<QString, QString> typeOfObject;
    for (const QJsonValue& value : service.records("uploads.json", "uploads"))
        typeOfObject.insert(value.toObject().value("key").toString(),
                            value.toObject().value("contentType").toString());
    const QJsonArray registrations = service.records("registrations.json", "registrations");
    QCOMPARE(registrations.size(), 3);
    QStringList names;
    for (const QJsonValue& value : registrations) {
        const QJsonObject entry = value.toObject();
        const QString name = entry.value("name").toString();
        names << name;
        QVERIFY2(expected.contains(name), qPrintable(name));
        const Expected want = expected.value(name);
        QCOMPARE(entry.value("mimetype").toString(), want.type);
        QCOMPARE(typeOfObject.value(entry.value("src").toString()), want.type);
        QCOMPARE(QSize(entry.value("width").toString().toInt(), entry.value("height").toString().toInt()),
                 want.size);

        // What the storage holds is a JPEG of that size, upright, and the size registered.
        QByteArray object = service.object(entry.value("src").toString());
        QCOMPARE(entry.value("size").toString().toLongLong(), qint64(object.size()));
        QBuffer buffer(&object);
        QImageReader reader(&buffer);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QImage picture = reader.read();
        QCOMPARE(picture.size(), want.size);
        QVERIFY2(near(colourAt(picture, 0.1, 0.1), want.top), qPrintable(name));
        QVERIFY2(near(colourAt(picture, 0.1, 0.9), want.bottom), qPrintable(name));
    }
    names.sort();
    QCOMPARE(names, (QStringList{"kept", "turned", "web"}));
}

QTEST_MAIN(tst_PictureFormats)
#include "tst_pictureformats.moc"
