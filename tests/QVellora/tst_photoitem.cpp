// SPDX-License-Identifier: MIT
#include "PhotoView/QFolderItemWidget.h"
#include "PhotoView/QPhotoViewItemWidget.h"
#include "Pictures/CPictureFit.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_PhotoItem : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QFolderItemWidget::SetFolderPicture(nullptr); }
    void fitMatchesKeepAspectRatio_data();
    void fitMatchesKeepAspectRatio();
    void photoTileFitsAndCentres_data();
    void photoTileFitsAndCentres();
    void unreadablePictureShowsItsName();
    void colourMarks_data();
    void colourMarks();
    void photoTilePaints_data();
    void photoTilePaints();
    void folderTileLoadsUpToFour_data();
    void folderTileLoadsUpToFour();
    void folderTilePaints_data();
    void folderTilePaints();
};

static QPixmap solid(const QSize& size, const QColor& colour)
{
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

// Source-over blending of a translucent veil, worked out independently of the painter.
static QColor veiled(const QColor& under, const QColor& veil)
{
    const double a = veil.alpha() / 255.0;
    return QColor(qRound(under.red() * (1 - a) + veil.red() * a),
                  qRound(under.green() * (1 - a) + veil.green() * a),
                  qRound(under.blue() * (1 - a) + veil.blue() * a));
}

static const QColor kUsedVeil(100, 100, 100, 100);
static const QColor kTickVeil(192, 222, 252, 150);

static bool near(const QColor& a, const QColor& b, int tolerance = 2)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

void tst_PhotoItem::fitMatchesKeepAspectRatio_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("area");
    QTest::newRow("wide, shrunk") << QSize(536, 268) << QSize(268, 268);
    QTest::newRow("tall, shrunk") << QSize(300, 4000) << QSize(268, 268);
    QTest::newRow("small, enlarged") << QSize(20, 10) << QSize(800, 750);
    QTest::newRow("odd sizes") << QSize(1237, 931) << QSize(798, 649);
    QTest::newRow("thin strip") << QSize(5000, 3) << QSize(298, 298);
    QTest::newRow("exact fit") << QSize(800, 750) << QSize(800, 750);
}

void tst_PhotoItem::fitMatchesKeepAspectRatio()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, area);
    const QSize fitted = CPictureFit::FittedSize(picture, area.width(), area.height());
    const QSize oracle = picture.scaled(area, Qt::KeepAspectRatio);
    // Truncating instead of rounding may lose one pixel, never more, and never overflows the area.
    QVERIFY2(qAbs(fitted.width() - oracle.width()) <= 1 && qAbs(fitted.height() - oracle.height()) <= 1,
             qPrintable(QString("%1x%2").arg(fitted.width()).arg(fitted.height())));
    QVERIFY(fitted.width() <= area.width() && fitted.height() <= area.height());
    QVERIFY(fitted.width() == area.width() || fitted.height() == area.height() ||
            fitted.width() == area.width() - 1 || fitted.height() == area.height() - 1);
}

void tst_PhotoItem::photoTileFitsAndCentres_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("tile");
    QTest::addColumn<QRect>("imageRect");
    QTest::newRow("536x268 in 270") << QSize(536, 268) << 270 << QRect(0, 67, 268, 134);
    QTest::newRow("268x536 in 270") << QSize(268, 536) << 270 << QRect(67, 0, 134, 268);
    QTest::newRow("small square enlarged") << QSize(50, 50) << 270 << QRect(0, 0, 268, 268);
    // s = 600 / 298; 600 * (1 / s) comes out just below 298 and truncates to 297.
    QTest::newRow("600x300 in 300") << QSize(600, 300) << 300 << QRect(1, 75, 297, 148);
    QTest::newRow("no picture") << QSize() << 270 << QRect();
}

void tst_PhotoItem::photoTileFitsAndCentres()
{
    QFETCH(QSize, picture);
    QFETCH(int, tile);
    QFETCH(QRect, imageRect);
    QPixmap pixmap = picture.isValid() ? solid(picture, Qt::red) : QPixmap();
    QPhotoViewItemWidget item(tile, tile, picture.isValid() ? &pixmap : nullptr, "/p/a.jpg");
    QCOMPARE(item.GetImageRect(), imageRect);
    QCOMPARE(item.GetPath(), QStringLiteral("/p/a.jpg"));
}

void tst_PhotoItem::unreadablePictureShowsItsName()
{
    QPhotoViewItemWidget item(270, 270, nullptr, "/p/IMG_0001.heic");
    const QImage shot = item.grab().toImage();
    // The name is written across the middle; nothing else is drawn inside the outline there.
    int ink = 0;
    for (int y = 110; y < 160; ++y)
        for (int x = 10; x < 260; ++x)
            ink += qGray(shot.pixel(x, y)) < 128 ? 1 : 0;
    QVERIFY2(ink > 30, qPrintable(QString::number(ink)));
}

void tst_PhotoItem::colourMarks_data()
{
    QTest::addColumn<QList<QColor>>("added");
    QTest::addColumn<QList<QColor>>("removed");
    QTest::addColumn<QList<QColor>>("expected");
    const QColor a(255, 53, 53), b(255, 215, 0), c(100, 149, 237);
    QTest::newRow("same colour twice") << QList<QColor>{a, a} << QList<QColor>{} << QList<QColor>{a};
    QTest::newRow("kept in order") << QList<QColor>{c, a, b} << QList<QColor>{} << QList<QColor>{c, a, b};
    QTest::newRow("remove one") << QList<QColor>{a, b, c} << QList<QColor>{b} << QList<QColor>{a, c};
    QTest::newRow("remove absent") << QList<QColor>{a} << QList<QColor>{c} << QList<QColor>{a};
    QTest::newRow("alpha makes a different colour")
        << QList<QColor>{a, QColor(255, 53, 53, 100)} << QList<QColor>{}
        << QList<QColor>{a, QColor(255, 53, 53, 100)};
    QTest::newRow("remove the first") << QList<QColor>{a, b} << QList<QColor>{a} << QList<QColor>{b};
}

void tst_PhotoItem::colourMarks()
{
    QFETCH(QList<QColor>, added);
    QFETCH(QList<QColor>, removed);
    QFETCH(QList<QColor>, expected);
    QPhotoViewItemWidget item(270, 270, nullptr, "/p/a.jpg");
    for (const QColor& colour : added)
        item.AddItemColor(colour);
    for (const QColor& colour : removed)
        item.SubItemColor(colour);
    QCOMPARE(item.GetItemColors(), expected);
}

void tst_PhotoItem::photoTilePaints_data()
{
    QTest::addColumn<int>("colours");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QColor>("centre");
    const QColor white(255, 255, 255), grey = veiled(white, kUsedVeil);
    const QColor blue = veiled(white, kTickVeil), greyBlue = veiled(grey, kTickVeil);
    QTest::newRow("plain") << 0 << false << white;
    QTest::newRow("one category") << 1 << false << grey;
    QTest::newRow("seven categories") << 7 << false << grey;
    QTest::newRow("ticked") << 0 << true << blue;
    QTest::newRow("ticked and used") << 2 << true << greyBlue;
}

void tst_PhotoItem::photoTilePaints()
{
    QFETCH(int, colours);
    QFETCH(bool, checked);
    QFETCH(QColor, centre);
    const QList<QColor> palette{QColor(255, 53, 53),   QColor(255, 215, 0),   QColor(255, 0, 255),
                                QColor(188, 238, 104), QColor(100, 149, 237), QColor(123, 104, 238),
                                QColor(0, 255, 150)};
    QPixmap picture = solid(QSize(536, 268), Qt::white);
    QPhotoViewItemWidget item(270, 270, &picture, "/p/a.jpg");
    for (int i = 0; i < colours; ++i)
        item.AddItemColor(palette.at(i));
    item.SetChecked(checked);
    const QImage shot = item.grab().toImage();

    QVERIFY2(near(shot.pixelColor(135, 135), centre), qPrintable(shot.pixelColor(135, 135).name()));
    // The outline of the content rectangle; a tick redraws it with the black pen of the tick box.
    QCOMPARE(shot.pixelColor(0, 135), checked ? QColor(Qt::black) : QColor(50, 50, 50));
    QCOMPARE(shot.pixelColor(269, 135), shot.pixelColor(0, 135));
    if (checked) {
        // The check-mark picture inside the tick box: more than the veil's one colour.
        QSet<QRgb> inBox;
        for (int y = 6; y < 19; ++y)
            for (int x = 6; x < 19; ++x)
                inBox.insert(shot.pixel(x, y));
        QVERIFY(inBox.size() > 2);
        return;
    }
    for (int i = 0; i < 6; ++i) {
        const QColor mark = shot.pixelColor(12 + 20 * i, 12);
        if (i < qMin(colours, 5))
            QCOMPARE(mark, palette.at(i));
        else
            QVERIFY2(!palette.contains(mark), qPrintable(QString("mark %1 painted").arg(i)));
    }
}

void tst_PhotoItem::folderTileLoadsUpToFour_data()
{
    QTest::addColumn<int>("pictures");
    QTest::addColumn<int>("unreadable");
    QTest::addColumn<int>("thumbnails");
    QTest::addColumn<QSize>("thumbnailSize");
    // 200 x 400 pictures in a 270 tile: boxes of 125 x 115 (up to four paths) or 125 x 125.
    QTest::newRow("three") << 3 << 0 << 3 << QSize(57, 115);
    QTest::newRow("four") << 4 << 0 << 4 << QSize(57, 115);
    QTest::newRow("five loads the first four") << 5 << 0 << 4 << QSize(62, 125);
    QTest::newRow("unreadable one skipped") << 3 << 1 << 2 << QSize(57, 115);
    QTest::newRow("all unreadable") << 2 << 2 << 0 << QSize();
    QTest::newRow("none") << 0 << 0 << 0 << QSize();
}

void tst_PhotoItem::folderTileLoadsUpToFour()
{
    QFETCH(int, pictures);
    QFETCH(int, unreadable);
    QFETCH(int, thumbnails);
    QFETCH(QSize, thumbnailSize);
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < pictures; ++i) {
        const QString path = dir.filePath(QStringLiteral("%1.jpg").arg(i));
        if (i < unreadable)
            QVERIFY(TestSupport::writeFile(path, "not a picture"));
        else
            QVERIFY(TestSupport::writeImage(path, QSize(200, 400), QColor(10 * i, 0, 0), Qt::white));
        paths << path;
    }
    QFolderItemWidget folder(270, 270, paths, dir.path());
    QCOMPARE(folder.GetPath(), dir.path());
    const QList<QPixmap> loaded = folder.GetThumbnails();
    QCOMPARE(loaded.size(), thumbnails);
    for (const QPixmap& thumbnail : loaded)
        QCOMPARE(thumbnail.size(), thumbnailSize);
}

void tst_PhotoItem::folderTilePaints_data()
{
    QTest::addColumn<int>("readable");
    QTest::addColumn<bool>("folderPicture");
    QTest::addColumn<QColor>("front");
    QTest::addColumn<QColor>("backOnly");
    const QColor red(Qt::red), blue(Qt::blue), green(Qt::green), none;
    QTest::newRow("two, the first on top") << 2 << true << red << blue;
    QTest::newRow("three, only two painted") << 3 << true << red << blue;
    QTest::newRow("one") << 1 << true << red << green;
    QTest::newRow("none loads: folder only") << 0 << true << green << green;
    QTest::newRow("no folder picture set") << 1 << false << red << none;
}

void tst_PhotoItem::folderTilePaints()
{
    QFETCH(int, readable);
    QFETCH(bool, folderPicture);
    QFETCH(QColor, front);
    QFETCH(QColor, backOnly);
    QTemporaryDir dir;
    const QColor colours[] = {Qt::red, Qt::blue, Qt::yellow};
    QStringList paths;
    for (int i = 0; i < 3; ++i) {
        paths << dir.filePath(QStringLiteral("%1.png").arg(i));
        if (i < readable)
            QVERIFY(TestSupport::writeImage(paths.last(), QSize(40, 40), colours[i], colours[i]));
    }
    QPixmap folderArt = solid(QSize(50, 50), Qt::green);
    if (folderPicture)
        QFolderItemWidget::SetFolderPicture(&folderArt);
    QFolderItemWidget folder(270, 270, paths, dir.path());
    QImage shot = folder.grab().toImage();

    // Front rectangle (38, 65) 125 x 125; back rectangle (103, 75) 125 x 115.
    QCOMPARE(shot.pixelColor(60, 130), front);
    if (backOnly.isValid())
        QCOMPARE(shot.pixelColor(200, 130), backOnly);

    // A used folder gets the grey veil twice, a ticked one the light blue veil on top.
    const QColor underFront = shot.pixelColor(60, 130);
    folder.AddItemColor(QColor(255, 215, 0));
    shot = folder.grab().toImage();
    QCOMPARE(shot.pixelColor(12, 12), QColor(255, 215, 0));
    const QColor used = veiled(veiled(underFront, kUsedVeil), kUsedVeil);
    QVERIFY2(near(shot.pixelColor(60, 130), used), qPrintable(shot.pixelColor(60, 130).name()));
    folder.SetChecked(true);
    shot = folder.grab().toImage();
    QVERIFY(near(shot.pixelColor(60, 130), veiled(used, kTickVeil)));
}

QTEST_MAIN(tst_PhotoItem)
#include "tst_photoitem.moc"
