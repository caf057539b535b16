// SPDX-License-Identifier: MIT
#include "Pictures/CPhotoDragPayload.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QtTest>

class tst_PhotoDragPayload : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void bytesFollowTheStreamLayout();
    void garbageIsRefused_data();
    void garbageIsRefused();
    void missingPicturesComeBackNull_data();
    void missingPicturesComeBackNull();
};

using Pictures = QList<QPixmap>;

static QPixmap picture(const QSize& size, const QColor& a, const QColor& b)
{
    return QPixmap::fromImage(TestSupport::twoToneImage(size, a, b));
}

// Bytes written by hand, as a big-endian QDataStream lays them out, to check the codec against.
static QByteArray be32(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((value >> (24 - 8 * i)) & 0xff);
    return bytes;
}

static QByteArray utf16(const QString& text)
{
    QByteArray bytes = be32(quint32(text.size() * 2));
    for (const QChar c : text)
        bytes += char(c.unicode() >> 8), bytes += char(c.unicode() & 0xff);
    return bytes;
}

void tst_PhotoDragPayload::roundTrip_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<Pictures>("pictures");
    QTest::newRow("no pictures") << QStringList() << Pictures();
    QTest::newRow("one") << QStringList{"/photos/a.jpg"} << Pictures{picture({40, 20}, Qt::red, Qt::blue)};
    QTest::newRow("three, one null") << QStringList{"/p/a.jpg", "/p/b.png", "/p/c.jpg"}
                                     << Pictures{picture({10, 30}, Qt::green, Qt::black), QPixmap(),
                                                 picture({7, 7}, Qt::white, Qt::yellow)};
    QTest::newRow("chinese path") << QStringList{QStringLiteral("/照片/旅游 2015/海边.jpg")}
                                  << Pictures{picture({16, 9}, Qt::cyan, Qt::magenta)};
}

void tst_PhotoDragPayload::roundTrip()
{
    QFETCH(QStringList, paths);
    QFETCH(Pictures, pictures);
    QStringList readPaths;
    QList<QImage> readPictures;
    QVERIFY(CPhotoDragPayload::Read(CPhotoDragPayload::Write(paths, pictures), &readPaths, &readPictures));
    QCOMPARE(readPaths, paths);
    QCOMPARE(readPictures.size(), pictures.size());
    for (int i = 0; i < pictures.size(); ++i) {
        const QImage expected = pictures.at(i).toImage();
        QCOMPARE(readPictures.at(i).isNull(), expected.isNull());
        if (!expected.isNull())
            QCOMPARE(readPictures.at(i).convertToFormat(expected.format()), expected);
    }
}

void tst_PhotoDragPayload::bytesFollowTheStreamLayout()
{
    // Count, the paths, then one flag per picture: 0 for a null picture, 1 and a PNG otherwise.
    const QByteArray bytes = CPhotoDragPayload::Write({"/a", QStringLiteral("/é")}, {QPixmap(), QPixmap()});
    QCOMPARE(bytes, be32(2) + utf16("/a") + utf16(QStringLiteral("/é")) + be32(0) + be32(0));

    const QByteArray withPicture = CPhotoDragPayload::Write({"/b"}, {picture({3, 2}, Qt::red, Qt::blue)});
    const QByteArray head = be32(1) + utf16("/b") + be32(1);
    QVERIFY(withPicture.startsWith(head));
    QCOMPARE(withPicture.mid(head.size(), 8), QByteArray("\x89PNG\r\n\x1a\n"));
    QCOMPARE(CPhotoDragPayload::MimeType(), QStringLiteral("photo/x-ombrel-cata"));
}

void tst_PhotoDragPayload::garbageIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("count cut short") << QByteArray("\0\0", 2);
    QTest::newRow("negative count") << be32(0xffffffff) + utf16("/a");
    QTest::newRow("absurd count") << be32(0x7fffffff) + utf16("/a") + be32(0);
    QTest::newRow("count larger than the paths") << be32(3) + utf16("/a") + utf16("/b");
    QTest::newRow("path cut mid-text") << be32(1) + utf16("/photo.jpg").left(9);
    QTest::newRow("odd path length") << be32(1) + be32(3) + QByteArray("\0/\0", 3) + be32(0);
    QTest::newRow("empty path") << be32(1) + be32(0) + be32(0);
    QTest::newRow("null path") << be32(1) + be32(0xffffffff) + be32(0);
    QTest::newRow("text, not a payload") << QByteArray("file:///home/user/a.jpg\r\n");
}

void tst_PhotoDragPayload::garbageIsRefused()
{
    QFETCH(QByteArray, bytes);
    QStringList paths{"stale"};
    QList<QImage> pictures{QImage(1, 1, QImage::Format_RGB32)};
    QVERIFY(!CPhotoDragPayload::Read(bytes, &paths, &pictures));
    QVERIFY(paths.isEmpty());
    QVERIFY(pictures.isEmpty());
}

// A picture as the payload carries it: the presence flag, then the encoded bytes.
static QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return be32(1) + bytes;
}

// A few bytes of GIF whose canvas is width x height: decoding it would allocate the whole canvas.
static QByteArray hugeGif(quint16 width, quint16 height)
{
    auto le16 = [](quint16 v) { return QByteArray(1, char(v & 0xff)) + char(v >> 8); };
    QByteArray gif = "GIF89a" + le16(width) + le16(height) + QByteArray("\x80\0\0", 3) +
                     QByteArray("\0\0\0\xff\xff\xff", 6) + ',' + le16(0) + le16(0) + le16(width) +
                     le16(height) + QByteArray("\0\x02\x02\x44\x01\0;", 7);
    return be32(1) + gif;
}

void tst_PhotoDragPayload::missingPicturesComeBackNull_data()
{
    const QStringList paths{"/p/1.jpg", "/p/2.jpg", "/p/3.jpg"};
    const QByteArray full = CPhotoDragPayload::Write(paths, {picture({8, 8}, Qt::red, Qt::red),
                                                             picture({9, 9}, Qt::blue, Qt::blue),
                                                             picture({6, 6}, Qt::green, Qt::green)});
    const QByteArray pathsOnly = be32(3) + utf16(paths[0]) + utf16(paths[1]) + utf16(paths[2]);
    const QByteArray firstPicture = CPhotoDragPayload::Write({paths[0]}, {picture({8, 8}, Qt::red, Qt::red)})
                                        .mid(4 + utf16(paths[0]).size());

    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<bool>>("present");
    QTest::newRow("all there") << full << QList<bool>{true, true, true};
    QTest::newRow("no pictures at all") << pathsOnly << QList<bool>{false, false, false};
    QTest::newRow("only the first") << pathsOnly + firstPicture << QList<bool>{true, false, false};
    QTest::newRow("last one cut in half") << full.left(full.size() - 40) << QList<bool>{true, true, false};
    QTest::newRow("flag without an image")
        << pathsOnly + firstPicture + be32(1) << QList<bool>{true, false, false};

    // Only PNG of at most 1024x1024 is decoded; a refused picture ends the trusted part.
    QImage filled(8, 8, QImage::Format_RGB32);
    filled.fill(Qt::red);
    QImage atBound(1024, 1024, QImage::Format_RGB32);
    atBound.fill(Qt::red);
    QTest::newRow("png at the bound")
        << pathsOnly + encoded(atBound, "png") + encoded(filled, "png") << QList<bool>{true, true, false};
    QTest::newRow("png one pixel too wide")
        << pathsOnly + encoded(filled, "png") + encoded(QImage(1025, 2, QImage::Format_RGB32), "png") +
               encoded(filled, "png")
        << QList<bool>{true, false, false};
    QTest::newRow("png one pixel too high")
        << pathsOnly + encoded(QImage(3, 1025, QImage::Format_RGB32), "png") + encoded(filled, "png")
        << QList<bool>{false, false, false};
    QTest::newRow("gif with a huge canvas")
        << pathsOnly + hugeGif(3000, 3000) << QList<bool>{false, false, false};
    QTest::newRow("bmp") << pathsOnly + encoded(filled, "bmp") << QList<bool>{false, false, false};
    QTest::newRow("jpeg after a png")
        << pathsOnly + encoded(filled, "png") + encoded(filled, "jpg") << QList<bool>{true, false, false};
}

void tst_PhotoDragPayload::missingPicturesComeBackNull()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<bool>, present);
    QStringList paths;
    QList<QImage> pictures;
    QVERIFY(CPhotoDragPayload::Read(bytes, &paths, &pictures));
    QCOMPARE(paths, (QStringList{"/p/1.jpg", "/p/2.jpg", "/p/3.jpg"}));
    QCOMPARE(pictures.size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(!pictures.at(i).isNull(), present.at(i));
    if (present.at(0))
        QCOMPARE(pictures.at(0).pixelColor(4, 4), QColor(Qt::red));
}

QTEST_MAIN(tst_PhotoDragPayload)
#include "tst_photodragpayload.moc"
