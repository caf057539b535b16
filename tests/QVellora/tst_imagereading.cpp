// SPDX-License-Identifier: MIT
#include "ExifJpeg.h"
#include "Pictures/CImageReading.h"
#include "TestSupport.h"

#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

// The shared thumbnail routine decodes at reduced size; its result must still be as faithful as
// the careful way: the whole picture decoded, turned upright, then smoothly scaled down.
class tst_ImageReading : public QObject
{
    Q_OBJECT
private slots:
    void thumbnailAsFaithfulAsFullDecode_data();
    void thumbnailAsFaithfulAsFullDecode();

private:
    static QImage detailedPicture(const QSize& size, int seed);
    static double psnr(const QImage& a, const QImage& b);
};

QImage tst_ImageReading::detailedPicture(const QSize& fullSize, int seed)
{
    // Shading, shapes and groups of thin lines (what aliases when a picture is shrunk without
    // filtering), painted at half size and enlarged smoothly: edges as soft as a lens makes them.
    const QSize size = fullSize / 2;
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient shade(0, 0, size.width(), size.height());
    shade.setColorAt(0, QColor(30 + seed * 20, 90, 160));
    shade.setColorAt(1, QColor(230, 200 - seed * 30, 60));
    painter.fillRect(image.rect(), shade);
    quint32 state = 12345u + quint32(seed);
    auto next = [&state](int bound) {
        state = state * 1103515245u + 12345u;
        return int((state >> 8) % quint32(bound));
    };
    for (int i = 0; i < 40; ++i) {
        painter.setBrush(QColor(next(256), next(256), next(256)));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPoint(next(size.width()), next(size.height())), 10 + next(size.width() / 8),
                            10 + next(size.height() / 8));
    }
    painter.setPen(QPen(Qt::black, 1));
    for (int x = 0; x < size.width() / 3; x += 4)
        painter.drawLine(x, 0, x + size.width() / 5, size.height() / 2);
    painter.setPen(QPen(Qt::white, 1));
    for (int y = size.height() / 2; y < size.height(); y += 5)
        painter.drawLine(size.width() / 2, y, size.width(), y + 40);
    painter.end();
    return image.scaled(fullSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

double tst_ImageReading::psnr(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double squares = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                squares += d * d;
        }
    }
    const double mse = squares / (3.0 * x.width() * x.height());
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

void tst_ImageReading::thumbnailAsFaithfulAsFullDecode_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("orientation"); // 0: no EXIF block

    QTest::newRow("12 megapixel jpg") << "a.jpg" << QSize(4000, 3000) << 0;
    QTest::newRow("odd-sized jpg") << "b.jpg" << QSize(3001, 2001) << 0;
    QTest::newRow("panorama jpg") << "c.jpg" << QSize(6000, 1200) << 0;
    QTest::newRow("phone portrait, orientation 6") << "d.jpg" << QSize(4000, 3000) << 6;
    QTest::newRow("phone portrait, orientation 8") << "e.jpg" << QSize(3000, 2000) << 8;
    QTest::newRow("jpg just above twice the box") << "f.jpg" << QSize(1100, 800) << 0;
    QTest::newRow("png") << "g.png" << QSize(2000, 1500) << 0;
    QTest::newRow("bmp") << "h.bmp" << QSize(1200, 1600) << 0;
}

void tst_ImageReading::thumbnailAsFaithfulAsFullDecode()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(int, orientation);

    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    const QImage picture = detailedPicture(size, size.width() % 5);
    if (orientation)
        QVERIFY(ExifJpeg::write(path, picture, orientation, 92));
    else
        QVERIFY(TestSupport::writeImage(path, picture, 92));

    // The careful way: the whole file decoded upright, then smoothly scaled; the same measure
    // as the benchmark's.
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage full = reader.read();
    const QSize expected = full.size().scaled(CImageReading::thumbnailBox(), Qt::KeepAspectRatio);
    const QImage careful = full.scaled(expected, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Independent of the reader: which way up the painted picture must come out.
    const int turn = orientation == 6 ? 90 : orientation == 8 ? 270 : 0;
    QCOMPARE(expected,
             picture.transformed(QTransform().rotate(turn)).size().scaled(270, 270, Qt::KeepAspectRatio));

    const QImage thumbnail = CImageReading::thumbnail(path, CImageReading::thumbnailBox());
    QCOMPARE(thumbnail.size(), expected);
    const double value = psnr(thumbnail, careful);
    QVERIFY2(value >= 40.0, qPrintable(QStringLiteral("PSNR %1 dB").arg(value, 0, 'f', 1)));

    // The same decode also gives the copy the thumbnail cache keeps: upright, fitted into
    // 512x512 but never enlarged. It is decoded at reduced size for the tile's sake, so it is a
    // little less faithful than the tile; a tile made from it later must still look the same.
    const QSize keepBox(512, 512);
    const CImageReading::Thumbnails both =
        CImageReading::thumbnailAndKept(path, CImageReading::thumbnailBox(), keepBox);
    QCOMPARE(both.thumbnail, thumbnail);
    QCOMPARE(both.uprightSize, full.size());
    const QSize keptSize = full.size().boundedTo(full.size().scaled(keepBox, Qt::KeepAspectRatio));
    QCOMPARE(both.kept.size(), keptSize);
    const double keptValue =
        psnr(both.kept, full.scaled(keptSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QVERIFY2(keptValue >= 33.0, qPrintable(QStringLiteral("kept copy PSNR %1 dB").arg(keptValue, 0, 'f', 1)));
    const double laterValue =
        psnr(both.kept.scaled(expected, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), careful);
    QVERIFY2(laterValue >= 33.0,
             qPrintable(QStringLiteral("tile from it PSNR %1 dB").arg(laterValue, 0, 'f', 1)));
}

QTEST_MAIN(tst_ImageReading)
#include "tst_imagereading.moc"
