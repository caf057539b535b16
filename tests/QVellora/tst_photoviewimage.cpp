// SPDX-License-Identifier: MIT
#include "PhotoView/QComprareImageDlg.h"
#include "PhotoView/QPhotoViewImageDlg.h"
#include "PhotoView/QPhotoViewImageWidget.h"
#include "TestSupport.h"
#include "WidgetTestHelpers.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace WidgetTestHelpers;

class tst_PhotoViewImage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void showsPictureWithItsLabels_data();
    void showsPictureWithItsLabels();
    void fitsIntoTheArea_data();
    void fitsIntoTheArea();
    void zoomSteps_data();
    void zoomSteps();
    void rotationTurnsTheShownCopyOnly_data();
    void rotationTurnsTheShownCopyOnly();
    void resizeRefitsAndDropsTheZoom();
    void maximiseResetsTheZoom();
    void compareShowsBothUpright();

private:
    QString m_twoTone;      // 400 x 200, left half red, right half blue
    QString m_portraitExif; // stored 400 x 200, EXIF says turn right: upright 200 x 400
    std::unique_ptr<QTemporaryDir> m_dir;
};

// A JPEG whose EXIF orientation tag says "turn 90 degrees clockwise to show", as phones write.
static QByteArray jpegWithOrientation(const QImage& stored, quint16 orientation)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    stored.save(&buffer, "JPG", 95);
    // APP1 "Exif": a big-endian TIFF header and one IFD holding the Orientation (0x0112) SHORT.
    QByteArray tiff("MM\0\x2a\0\0\0\x08", 8);
    tiff += QByteArray("\0\x01", 2);
    tiff += QByteArray("\x01\x12\0\x03\0\0\0\x01", 8);
    tiff += char(orientation >> 8), tiff += char(orientation & 0xff), tiff += QByteArray(2, '\0');
    tiff += QByteArray(4, '\0');
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = payload.size() + 2;
    QByteArray app1("\xff\xe1", 2);
    app1 += char(length >> 8), app1 += char(length & 0xff);
    return jpeg.left(2) + app1 + payload + jpeg.mid(2);
}

static QColor centreOf(const QImage& image, const QRect& part)
{
    return image.pixelColor(part.center());
}

static bool reddish(const QColor& c)
{
    return c.red() > 200 && c.blue() < 60;
}
static bool bluish(const QColor& c)
{
    return c.blue() > 200 && c.red() < 60;
}

void tst_PhotoViewImage::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_twoTone = m_dir->filePath(QStringLiteral("海边.2015.png"));
    QVERIFY(TestSupport::writeImage(m_twoTone, QSize(400, 200), Qt::red, Qt::blue));
    m_portraitExif = m_dir->filePath("phone.jpg");
    QVERIFY(TestSupport::writeFile(m_portraitExif,
                                   jpegWithOrientation(TestSupport::twoToneImage(QSize(400, 200)), 6)));
}

void tst_PhotoViewImage::showsPictureWithItsLabels_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QRect>("drawn");
    QTest::newRow("picture; name up to the first dot") << "海边.2015.png"
                                                       << "海边"
                                                       << "400 x 200 像素" << QRect(0, 175, 800, 400);
    QTest::newRow("phone portrait shown upright") << "phone.jpg"
                                                  << "phone"
                                                  << "200 x 400 像素" << QRect(212, 0, 375, 750);
    QTest::newRow("not a picture") << "notes.jpg"
                                   << "notes"
                                   << "0 x 0 像素" << QRect();
    QTest::newRow("missing file") << "gone.png"
                                  << "gone"
                                  << "0 x 0 像素" << QRect();
}

void tst_PhotoViewImage::showsPictureWithItsLabels()
{
    QFETCH(QString, file);
    QFETCH(QString, name);
    QFETCH(QString, size);
    QFETCH(QRect, drawn);
    QVERIFY(TestSupport::writeFile(m_dir->filePath("notes.jpg"), "just some text"));
    const QString path = m_dir->filePath(file);
    const QDateTime modified(QDate(2014, 4, 11), QTime(11, 17, 9));
    if (QFile::exists(path))
        QVERIFY(TestSupport::setModified(path, modified));

    QPhotoViewImageDlg viewer;
    QCOMPARE(viewer.findChild<QLabel*>("sizeLabel")->text(), QStringLiteral("1920 x 1040 像素"));
    viewer.SetImage(m_twoTone); // something shown before, which must not linger
    viewer.SetImage(path);
    QCOMPARE(viewer.GetImagePath(), path);
    QCOMPARE(viewer.findChild<QLabel*>("nameLabel")->text(), name);
    QCOMPARE(viewer.findChild<QLabel*>("sizeLabel")->text(), size);
    QCOMPARE(viewer.findChild<QLabel*>("timeLabel")->text(),
             QFile::exists(path) ? modified.toString(Qt::TextDate) : QString());
    QPhotoViewImageWidget* area = viewer.GetImageWidget();
    QCOMPARE(area->GetDrawRect(), drawn);
    QCOMPARE(area->GetDisplayPixmap().size(), drawn.size());
    if (file == "phone.jpg") {
        // Turned upright: the stored left half (red) is now on top.
        const QImage shown = area->GetDisplayPixmap().toImage();
        QVERIFY(reddish(shown.pixelColor(shown.width() / 2, shown.height() / 4)));
        QVERIFY(bluish(shown.pixelColor(shown.width() / 2, 3 * shown.height() / 4)));
    }
}

void tst_PhotoViewImage::fitsIntoTheArea_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("fitted");
    QTest::newRow("1600x400") << QSize(1600, 400) << QRect(0, 275, 800, 200);
    QTest::newRow("400x1500") << QSize(400, 1500) << QRect(300, 0, 200, 750);
    QTest::newRow("exactly the area") << QSize(800, 750) << QRect(0, 0, 800, 750);
    QTest::newRow("small, enlarged") << QSize(100, 50) << QRect(0, 175, 800, 400);
}

void tst_PhotoViewImage::fitsIntoTheArea()
{
    QFETCH(QSize, picture);
    QFETCH(QRect, fitted);
    QPhotoViewImageWidget area;
    QPixmap pixmap(picture);
    pixmap.fill(Qt::darkCyan);
    area.SetPixmap(&pixmap);
    QCOMPARE(area.GetFitRect(), fitted);
    QCOMPARE(area.GetDrawRect(), fitted);
    QCOMPARE(area.GetDisplayPixmap().size(), fitted.size());
    QCOMPARE(pixmap.size(), picture); // the caller's picture is left alone

    area.SetPixmap(nullptr); // only a repaint: the picture stays
    QCOMPARE(area.GetDrawRect(), fitted);
}

void tst_PhotoViewImage::zoomSteps_data()
{
    QTest::addColumn<int>("ins");
    QTest::addColumn<int>("outs");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QRect>("drawn");
    // A 1600 x 400 picture: fitted (0, 275) 800 x 200.
    QTest::newRow("five in") << 5 << 0 << 1.5000000074505806 << QRect(-200, 225, 1200, 300);
    QTest::newRow("a hundred in stops at 10") << 100 << 0 << 10.0 << QRect(-3600, -625, 8000, 2000);
    QTest::newRow("nine out") << 0 << 9 << 0.0999999865889549 << QRect(360, 365, 79, 19);
    QTest::newRow("ten out: the lower bound")
        << 0 << 10 << 0.100000001490116119384765625 << QRect(360, 365, 80, 20);
    QTest::newRow("twenty out stays there")
        << 0 << 20 << 0.100000001490116119384765625 << QRect(360, 365, 80, 20);
    QTest::newRow("out and back in") << 2 << 2 << 1.0 << QRect(0, 275, 800, 200);
}

void tst_PhotoViewImage::zoomSteps()
{
    QFETCH(int, ins);
    QFETCH(int, outs);
    QFETCH(double, zoom);
    QFETCH(QRect, drawn);
    const QString path = m_dir->filePath("wide.png");
    QVERIFY(TestSupport::writeImage(path, QSize(1600, 400)));
    QPhotoViewImageDlg viewer;
    viewer.SetImage(path);
    for (int i = 0; i < ins; ++i)
        viewer.findChild<QPushButton*>("maxButton")->click();
    for (int i = 0; i < outs; ++i)
        viewer.findChild<QPushButton*>("smallButton")->click();
    QVERIFY2(qAbs(viewer.GetZoom() - zoom) < 1e-15, qPrintable(QString::number(viewer.GetZoom(), 'g', 17)));
    QCOMPARE(viewer.GetImageWidget()->GetDrawRect(), drawn);
    QCOMPARE(viewer.GetImageWidget()->GetFitRect(), QRect(0, 275, 800, 200));
}

void tst_PhotoViewImage::rotationTurnsTheShownCopyOnly_data()
{
    QTest::addColumn<QStringList>("turns");
    QTest::addColumn<QRect>("fitted");
    QTest::addColumn<QString>("redAt");
    QTest::newRow("right") << QStringList{"right90Button"} << QRect(212, 0, 375, 750) << "top";
    QTest::newRow("left") << QStringList{"left90Button"} << QRect(212, 0, 375, 750) << "bottom";
    QTest::newRow("right twice: upside down")
        << QStringList{"right90Button", "right90Button"} << QRect(0, 175, 800, 400) << "right";
    QTest::newRow("right then left") << QStringList{"right90Button", "left90Button"}
                                     << QRect(0, 175, 800, 400) << "left";
}

void tst_PhotoViewImage::rotationTurnsTheShownCopyOnly()
{
    QFETCH(QStringList, turns);
    QFETCH(QRect, fitted);
    QFETCH(QString, redAt);
    const QByteArray before = TestSupport::readFile(m_twoTone);
    QPhotoViewImageDlg viewer;
    viewer.SetImage(m_twoTone);
    viewer.findChild<QPushButton*>("maxButton")->click();
    viewer.findChild<QPushButton*>("maxButton")->click();
    for (const QString& turn : turns)
        viewer.findChild<QPushButton*>(turn)->click();

    QPhotoViewImageWidget* area = viewer.GetImageWidget();
    QCOMPARE(area->GetFitRect(), fitted);
    QCOMPARE(area->GetDrawRect(), fitted);
    const QImage shown = area->GetDisplayPixmap().toImage();
    const QRect all = shown.rect();
    const QRect halves[] = {
        QRect(0, 0, all.width(), all.height() / 2), QRect(0, all.height() / 2, all.width(), all.height() / 2),
        QRect(0, 0, all.width() / 2, all.height()), QRect(all.width() / 2, 0, all.width() / 2, all.height())};
    const QStringList names{"top", "bottom", "left", "right"};
    QVERIFY(reddish(centreOf(shown, halves[names.indexOf(redAt)])));
    QVERIFY(bluish(centreOf(shown, halves[names.indexOf(redAt) ^ 1])));

    // A turn starts the zoom again from 1.0.
    QCOMPARE(viewer.GetZoom(), 1.0);
    viewer.findChild<QPushButton*>("maxButton")->click();
    QVERIFY(qAbs(viewer.GetZoom() - 1.100000001490116) < 1e-15);

    // The file is untouched, and showing it again shows it unturned.
    QCOMPARE(TestSupport::readFile(m_twoTone), before);
    viewer.SetImage(m_twoTone);
    QVERIFY(reddish(viewer.GetImageWidget()->GetDisplayPixmap().toImage().pixelColor(100, 200)));
}

void tst_PhotoViewImage::resizeRefitsAndDropsTheZoom()
{
    QPhotoViewImageWidget area;
    area.resize(800, 750);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    QPixmap pixmap(1600, 400);
    pixmap.fill(Qt::darkRed);
    area.SetPixmap(&pixmap);
    area.SetScale(2.0);
    QCOMPARE(area.GetDrawRect(), QRect(-400, 175, 1600, 400));
    area.resize(400, 300);
    QCOMPARE(area.GetFitRect(), QRect(0, 100, 400, 100));
    QCOMPARE(area.GetDrawRect(), QRect(0, 100, 400, 100));
    QCOMPARE(area.GetDisplayPixmap().size(), QSize(400, 100));
    const QImage shot = area.grab().toImage();
    QCOMPARE(shot.pixelColor(200, 150), QColor(Qt::darkRed));
}

void tst_PhotoViewImage::maximiseResetsTheZoom()
{
    QPhotoViewImageDlg viewer;
    viewer.SetImage(m_twoTone);
    viewer.findChild<QPushButton*>("smallButton")->click();
    viewer.findChild<QPushButton*>("fullScreenButton")->click();
    QVERIFY(viewer.isMaximized());
    QCOMPARE(viewer.GetZoom(), 1.0);
    viewer.close();
}

void tst_PhotoViewImage::compareShowsBothUpright()
{
    QPhotoViewImageDlg viewer;
    viewer.SetImage(m_twoTone);
    QComprareImageDlg* compare = viewer.GetCompareDlg();
    QSize left, right;
    const bool opened =
        opensModal([compare] { return compare; }, [&] { viewer.SetCompareImage(m_portraitExif); },
                   [&](QWidget*) {
                       left = compare->findChild<QLabel*>("leftLabel")->pixmap(Qt::ReturnByValue).size();
                       right = compare->findChild<QLabel*>("rightLabel")->pixmap(Qt::ReturnByValue).size();
                   });
    QVERIFY(opened);
    QCOMPARE(left, QSize(800, 400));
    QCOMPARE(right, QSize(400, 800));
    QCOMPARE(viewer.GetImagePath(), m_twoTone); // comparing does not change the picture shown
}

QTEST_MAIN(tst_PhotoViewImage)
#include "tst_photoviewimage.moc"
