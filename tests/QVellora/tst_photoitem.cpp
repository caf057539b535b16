// SPDX-License-Identifier: MIT
#include "PhotoView/QTileItemDelegate.h"
#include "Pictures/CPictureFit.h"
#include "Pictures/CPictureListModel.h"
#include "Selection/CSelection.h"
#include "TestSupport.h"
#include "Thread/QPictureFeed.h"

#include <QPainter>
#include <QWidget>

#include <QTemporaryDir>
#include <QtTest>

class tst_PhotoItem : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QTileItemDelegate::setFolderPicture(nullptr); }
    void fitMatchesKeepAspectRatio_data();
    void fitMatchesKeepAspectRatio();
    void photoTileFitsAndCentres_data();
    void photoTileFitsAndCentres();
    void unreadablePictureShowsItsName();
    void colourMarks_data();
    void colourMarks();
    void photoTilePaints_data();
    void photoTilePaints();
    void folderTileShowsItsFirstFile_data();
    void folderTileShowsItsFirstFile();
    void folderTilePaints_data();
    void folderTilePaints();
};

static QPixmap solid(const QSize& size, const QColor& colour)
{
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

// One tile as the grid's delegate paints row 0 of the model, on white, at its cell's size.
static QImage paintTile(const CPictureListModel& model, int side, int row = 0)
{
    QWidget host;
    QTileItemDelegate delegate;
    delegate.setTileSize(side);
    QStyleOptionViewItem option;
    option.initFrom(&host);
    const QModelIndex index = model.index(row, 0);
    option.rect = QRect(QPoint(0, 0), delegate.sizeHint(option, index));
    QImage shot(option.rect.size(), QImage::Format_RGB32);
    shot.fill(Qt::white);
    QPainter painter(&shot);
    delegate.paint(&painter, option, index);
    return shot;
}

// A model of one picture with this thumbnail (none when null).
static void onePicture(CPictureListModel& model, const QString& path, const QImage& thumbnail)
{
    model.setItems({}, {path});
    if (!thumbnail.isNull())
        model.setThumbnail(path, thumbnail);
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
    QCOMPARE(QTileItemDelegate::imageRect(picture, tile), imageRect);
    if (!picture.isValid())
        return;
    // Painted there: red inside the rectangle, white just outside it.
    CPictureListModel model;
    onePicture(model, "/p/a.jpg", solid(picture, Qt::red).toImage());
    const QImage shot = paintTile(model, tile);
    QCOMPARE(shot.pixelColor(imageRect.center()), QColor(Qt::red));
    if (imageRect.top() > 2)
        QCOMPARE(shot.pixelColor(imageRect.center().x(), imageRect.top() - 2), QColor(Qt::white));
}

void tst_PhotoItem::unreadablePictureShowsItsName()
{
    CPictureListModel model;
    onePicture(model, "/p/IMG_0001.heic", QImage());
    const QImage shot = paintTile(model, 270);
    // The name is written across the middle; nothing else is drawn inside the outline there.
    int ink = 0;
    for (int y = 110; y < 160; ++y)
        for (int x = 10; x < 260; ++x)
            ink += qGray(shot.pixel(x, y)) < 128 ? 1 : 0;
    QVERIFY2(ink > 30, qPrintable(QString::number(ink)));
}

void tst_PhotoItem::colourMarks_data()
{
    QTest::addColumn<QList<int>>("holding");
    QTest::addColumn<QList<int>>("expected");
    // Categories 0 and 12 share a colour: the twelve colours repeat.
    QTest::newRow("one") << QList<int>{1} << QList<int>{1};
    QTest::newRow("kept in category order") << QList<int>{4, 0, 2} << QList<int>{0, 2, 4};
    QTest::newRow("same colour twice is one mark") << QList<int>{0, 12} << QList<int>{0};
    QTest::newRow("none") << QList<int>{} << QList<int>{};
}

void tst_PhotoItem::colourMarks()
{
    QFETCH(QList<int>, holding);
    QFETCH(QList<int>, expected);
    // The marks are read from the selection each time they are asked for.
    CSelection selection;
    for (int i = 0; i < 13; ++i)
        selection.addCategory(QString::number(i));
    CPictureListModel model;
    model.setSelection(&selection);
    onePicture(model, "/p/a.jpg", QImage());
    for (int category : holding)
        selection.addPictures(category, {"/p/a.jpg"});
    QList<QColor> colours;
    for (int category : expected)
        colours << selection.at(category).color;
    QCOMPARE(model.index(0, 0).data(CPictureListModel::MarksRole).value<QList<QColor>>(), colours);
    for (int category : holding)
        selection.removePictures(category, {"/p/a.jpg"});
    QVERIFY(model.index(0, 0).data(CPictureListModel::MarksRole).value<QList<QColor>>().isEmpty());
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
    const QList<QColor> palette = CSelection::colors().mid(0, 7);
    CSelection selection;
    CPictureListModel model;
    model.setSelection(&selection);
    onePicture(model, "/p/a.jpg", solid(QSize(536, 268), Qt::white).toImage());
    for (int i = 0; i < colours; ++i)
        selection.addPictures(selection.addCategory(), {"/p/a.jpg"});
    model.setTicked(0, checked);
    const QImage shot = paintTile(model, 270);

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

void tst_PhotoItem::folderTileShowsItsFirstFile_data()
{
    QTest::addColumn<int>("pictures");
    QTest::addColumn<int>("unreadable");
    QTest::addColumn<bool>("shown");
    QTest::newRow("three") << 3 << 0 << true;
    QTest::newRow("first unreadable: no tile") << 3 << 1 << false;
    QTest::newRow("empty folder: no tile") << 0 << 0 << false;
}

void tst_PhotoItem::folderTileShowsItsFirstFile()
{
    QFETCH(int, pictures);
    QFETCH(int, unreadable);
    QFETCH(bool, shown);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    const QString folder = dir.filePath("sub");
    for (int i = 0; i < pictures; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("%1.jpg").arg(i));
        if (i < unreadable)
            QVERIFY(TestSupport::writeFile(path, "not a picture"));
        else
            QVERIFY(TestSupport::writeImage(path, QSize(200, 400), QColor(10 * i, 0, 0), Qt::white));
    }
    // Through the workers, as the grid gets it.
    CPictureListModel model;
    QPictureFeed feed(&model);
    QSignalSpy done(&feed, &QPictureFeed::allLoaded);
    feed.show({folder}, {});
    QVERIFY(done.wait(5000));
    QTRY_COMPARE(model.rowCount(), shown ? 1 : 0);
    if (shown) {
        QVERIFY(model.isFolder(0));
        // The first picture's thumbnail, fitted into the loaders' box.
        QCOMPARE(model.thumbnail(folder).size(), QSize(200, 400).scaled(270, 270, Qt::KeepAspectRatio));
    }
}

void tst_PhotoItem::folderTilePaints_data()
{
    QTest::addColumn<int>("readable");
    QTest::addColumn<bool>("folderPicture");
    QTest::addColumn<QColor>("front");
    QTest::addColumn<QColor>("backOnly");
    const QColor red(Qt::red), blue(Qt::blue), green(Qt::green), none;
    Q_UNUSED(blue)
    QTest::newRow("the first picture in front") << 2 << true << red << green;
    QTest::newRow("one") << 1 << true << red << green;
    QTest::newRow("none loaded yet: folder only") << 0 << true << green << green;
    QTest::newRow("no folder picture set") << 1 << false << red << none;
}

void tst_PhotoItem::folderTilePaints()
{
    QFETCH(int, readable);
    QFETCH(bool, folderPicture);
    QFETCH(QColor, front);
    QFETCH(QColor, backOnly);
    QTemporaryDir dir;
    QPixmap folderArt = solid(QSize(50, 50), Qt::green);
    if (folderPicture)
        QTileItemDelegate::setFolderPicture(&folderArt);
    CSelection selection;
    CPictureListModel model;
    model.setSelection(&selection);
    model.setItems({dir.path()}, {});
    if (readable > 0)
        model.setThumbnail(dir.path(), solid(QSize(40, 40), Qt::red).toImage());
    QImage shot = paintTile(model, 270);

    // Front rectangle (38, 65) 125 x 125; back rectangle (103, 75) 125 x 115.
    QCOMPARE(shot.pixelColor(60, 130), front);
    if (backOnly.isValid())
        QCOMPARE(shot.pixelColor(200, 130), backOnly);

    // A used folder gets the grey veil twice, a ticked one the light blue veil on top.
    const QColor underFront = shot.pixelColor(60, 130);
    selection.addCategory();
    selection.addPictures(selection.addCategory(), {dir.path()});
    shot = paintTile(model, 270);
    QCOMPARE(shot.pixelColor(12, 12), selection.at(1).color);
    const QColor used = veiled(veiled(underFront, kUsedVeil), kUsedVeil);
    QVERIFY2(near(shot.pixelColor(60, 130), used), qPrintable(shot.pixelColor(60, 130).name()));
    model.setTicked(0, true);
    shot = paintTile(model, 270);
    QVERIFY(near(shot.pixelColor(60, 130), veiled(used, kTickVeil)));
}

QTEST_MAIN(tst_PhotoItem)
#include "tst_photoitem.moc"
