// SPDX-License-Identifier: MIT
#include "ExifJpeg.h"
#include "Pictures/CCaptureTime.h"
#include "TestSupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

// The capture time as cameras write it, and the reader's behaviour on damaged and hostile files:
// it must never look past the bytes it is given (the sanitizer build catches reads past a buffer;
// the views below catch them in any build, since the bytes just past the cut are the real ones).
class tst_CaptureTime : public QObject
{
    Q_OBJECT
private slots:
    void readsJpegFiles_data();
    void readsJpegFiles();
    void readsHeifStyleBlocks();
    void cutBytesNeverReachTheTime_data();
    void cutBytesNeverReachTheTime();
    void hostileOffsetsAreRefused_data();
    void hostileOffsetsAreRefused();
    void scrambledBlocksDoNotCrash();
};

namespace {

const QByteArray taken("2024:05:17 14:03:09");
const QDateTime takenTime(QDate(2024, 5, 17), QTime(14, 3, 9));

QImage scene()
{
    return TestSupport::twoToneImage(QSize(64, 48));
}

// The TIFF structure of ExifJpeg::exifBlock (after "Exif\0\0").
QByteArray tiffOf(const QByteArray& block)
{
    return block.mid(6);
}

} // namespace

void tst_CaptureTime::readsJpegFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QDateTime>("expected");

    QTest::newRow("big-endian, after JFIF") << ExifJpeg::encodeWithTime(scene(), taken) << takenTime;
    QTest::newRow("little-endian") << ExifJpeg::encodeWithTime(scene(), taken, 1, 90, true) << takenTime;
    QTest::newRow("turned picture") << ExifJpeg::encodeWithTime(scene(), taken, 6) << takenTime;
    // Only an orientation tag: no EXIF IFD at all.
    QTest::newRow("orientation only") << ExifJpeg::encode(scene(), 6) << QDateTime();
    QTest::newRow("no EXIF") << ExifJpeg::encode(scene(), 1).remove(2, 0x24) << QDateTime();
    QTest::newRow("clock never set") << ExifJpeg::encodeWithTime(scene(), "0000:00:00 00:00:00")
                                     << QDateTime();
    QTest::newRow("blank time") << ExifJpeg::encodeWithTime(scene(), "                   ") << QDateTime();
    QTest::newRow("not a JPEG") << QByteArray("GIF89a not a jpeg at all") << QDateTime();
}

void tst_CaptureTime::readsJpegFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QDateTime, expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.jpg"));
    QVERIFY(TestSupport::writeFile(path, bytes));
    QCOMPARE(CCaptureTime::fromFile(path), expected);
    QCOMPARE(CCaptureTime::fromJpeg(bytes), expected);
    if (expected.isValid())
        QCOMPARE(QImage::fromData(bytes).size(), scene().size()); // still a JPEG every reader reads
}

void tst_CaptureTime::readsHeifStyleBlocks()
{
    const QByteArray block = ExifJpeg::exifBlock(taken);
    // libheif hands the block led by the offset of the TIFF header past those four bytes.
    char offset[4];
    qToBigEndian<quint32>(6, offset);
    QCOMPARE(CCaptureTime::fromExifBlock(QByteArray(offset, 4) + block), takenTime);
    qToBigEndian<quint32>(0, offset);
    QCOMPARE(CCaptureTime::fromExifBlock(QByteArray(offset, 4) + block), takenTime);
    QCOMPARE(CCaptureTime::fromExifBlock(block), takenTime);
    QCOMPARE(CCaptureTime::fromExifBlock(tiffOf(block)), takenTime);
    qToBigEndian<quint32>(0x7ffffff0, offset);
    QCOMPARE(CCaptureTime::fromExifBlock(QByteArray(offset, 4) + block), QDateTime());
}

void tst_CaptureTime::cutBytesNeverReachTheTime_data()
{
    QTest::addColumn<bool>("jpeg");
    QTest::newRow("JPEG file") << true;
    QTest::newRow("TIFF structure") << false;
}

void tst_CaptureTime::cutBytesNeverReachTheTime()
{
    QFETCH(bool, jpeg);
    const QByteArray whole =
        jpeg ? ExifJpeg::encodeWithTime(scene(), taken) : tiffOf(ExifJpeg::exifBlock(taken));
    const int textEnd = jpeg ? whole.indexOf(taken) + taken.size() : whole.size() - 1;
    QVERIFY(textEnd > 40);
    for (int length = 0; length <= whole.size(); ++length) {
        // A view of the first `length` bytes; whatever lies after it is the rest of the real file.
        const QByteArray cut = QByteArray::fromRawData(whole.constData(), length);
        const QDateTime time = jpeg ? CCaptureTime::fromJpeg(cut) : CCaptureTime::fromTiff(cut);
        if (length < textEnd)
            QVERIFY2(!time.isValid(), qPrintable(QStringLiteral("read past %1 bytes").arg(length)));
        else if (!jpeg || length == whole.size())
            QCOMPARE(time, takenTime);
    }
}

void tst_CaptureTime::hostileOffsetsAreRefused_data()
{
    QTest::addColumn<int>("at"); // where in the TIFF structure to write
    QTest::addColumn<quint32>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<QByteArray>("after"); // what lies just past the damaged bytes

    const QByteArray text = taken + QByteArray(1, '\0');
    // A whole EXIF IFD whose time points back at the real text (at 56).
    const QByteArray exifIfd = QByteArray::fromHex("0001"
                                                   "9003000200000014"
                                                   "00000038"
                                                   "00000000");

    // Offsets in the big-endian block: 4 first IFD, 8 its entry count, 10+12+8 the EXIF IFD
    // offset, 38 the EXIF IFD's count, 40+8 the text's offset, 40+4 the text's length.
    QTest::newRow("first IFD far beyond") << 4 << 0xfffffff0u << 4 << text;
    QTest::newRow("first IFD just past the end") << 4 << 76u << 4 << text;
    QTest::newRow("huge entry count") << 8 << 0xffffu << 2 << text;
    QTest::newRow("EXIF IFD beyond") << 30 << 0x80000000u << 4 << text;
    QTest::newRow("EXIF IFD is the first IFD") << 30 << 8u << 4 << text;
    QTest::newRow("EXIF IFD count runs past the end") << 38 << 40u << 2 << text;
    QTest::newRow("text offset beyond") << 48 << 0xffffffffu << 4 << text;
    QTest::newRow("text just past the end") << 48 << 76u << 4 << text;
    QTest::newRow("text overlaps the end") << 48 << 70u << 4 << text;
    QTest::newRow("text length absurd") << 44 << 0x7fffffffu << 4 << text;
    QTest::newRow("EXIF IFD just past the end") << 30 << 76u << 4 << exifIfd;
    QTest::newRow("EXIF IFD straddles the end") << 30 << 70u << 4 << exifIfd;
}

void tst_CaptureTime::hostileOffsetsAreRefused()
{
    QFETCH(int, at);
    QFETCH(quint32, value);
    QFETCH(int, width);
    QFETCH(QByteArray, after);

    const QByteArray good = tiffOf(ExifJpeg::exifBlock(taken));
    QCOMPARE(good.size(), 76);
    QCOMPARE(CCaptureTime::fromTiff(good), takenTime);
    // The same bytes with one field damaged, and something a careless reader would take just past
    // their end.
    QByteArray storage = good + after;
    if (width == 4)
        qToBigEndian<quint32>(value, storage.data() + at);
    else
        qToBigEndian<quint16>(quint16(value), storage.data() + at);
    const QByteArray hostile = QByteArray::fromRawData(storage.constData(), good.size());
    QCOMPARE(CCaptureTime::fromTiff(hostile), QDateTime());
}

void tst_CaptureTime::scrambledBlocksDoNotCrash()
{
    // Damage anywhere in the structure ends in an invalid time or, where only unused bytes were
    // hit, the right one: never another time, never a crash.
    const QByteArray whole = ExifJpeg::encodeWithTime(scene(), taken, 1, 90, true);
    const int exifEnd = whole.indexOf(taken) + taken.size() + 1;
    QRandomGenerator random(21);
    for (int round = 0; round < 3000; ++round) {
        QByteArray damaged = whole;
        const int hits = 1 + random.bounded(4);
        for (int i = 0; i < hits; ++i)
            damaged[random.bounded(2, exifEnd)] = char(random.bounded(256));
        const QDateTime time = CCaptureTime::fromJpeg(damaged);
        if (time.isValid() && time != takenTime && damaged.indexOf(taken) >= 0)
            QFAIL(qPrintable(QStringLiteral("round %1 read %2").arg(round).arg(time.toString())));
    }
}

QTEST_GUILESS_MAIN(tst_CaptureTime)
#include "tst_capturetime.moc"
