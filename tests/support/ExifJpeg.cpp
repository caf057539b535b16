// SPDX-License-Identifier: MIT
#include "ExifJpeg.h"

#include "TestSupport.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>

namespace ExifJpeg {

namespace {

QByteArray plainJpeg(const QImage& image, int quality)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    return writer.write(image) ? buffer.data() : QByteArray();
}

} // namespace

QByteArray exifBlock(const QByteArray& dateTime, int orientation, bool littleEndian)
{
    auto u16 = [littleEndian](int value) {
        char bytes[2];
        if (littleEndian)
            qToLittleEndian<quint16>(quint16(value), bytes);
        else
            qToBigEndian<quint16>(quint16(value), bytes);
        return QByteArray(bytes, 2);
    };
    auto u32 = [littleEndian](quint32 value) {
        char bytes[4];
        if (littleEndian)
            qToLittleEndian<quint32>(value, bytes);
        else
            qToBigEndian<quint32>(value, bytes);
        return QByteArray(bytes, 4);
    };
    const quint32 exifIfd = 8 + 2 + 2 * 12 + 4;
    const quint32 text = exifIfd + 2 + 12 + 4;
    QByteArray tiff = QByteArray(littleEndian ? "II" : "MM") + u16(42) + u32(8);
    // First IFD: orientation (SHORT, value in the entry), the EXIF IFD's offset (LONG), no next IFD.
    tiff += u16(2);
    tiff += u16(0x0112) + u16(3) + u32(1) + u16(orientation) + u16(0);
    tiff += u16(0x8769) + u16(4) + u32(1) + u32(exifIfd);
    tiff += u32(0);
    // EXIF IFD: DateTimeOriginal (ASCII, 20 bytes with the closing zero, at `text`).
    tiff += u16(1);
    tiff += u16(0x9003) + u16(2) + u32(20) + u32(text);
    tiff += u32(0);
    tiff += dateTime.left(19).leftJustified(19, ' ') + QByteArray(1, '\0');
    return QByteArray("Exif\0\0", 6) + tiff;
}

QByteArray encodeWithTime(const QImage& image, const QByteArray& dateTime, int orientation, int quality,
                          bool littleEndian)
{
    const QByteArray jpeg = plainJpeg(image, quality);
    if (jpeg.size() < 6)
        return {};
    const QByteArray block = exifBlock(dateTime, orientation, littleEndian);
    char length[2];
    qToBigEndian<quint16>(quint16(block.size() + 2), length);
    // Qt's writer starts with a JFIF segment: the EXIF one goes after it, as in many cameras' files.
    const int afterJfif = 4 + ((uchar(jpeg.at(4)) << 8) | uchar(jpeg.at(5)));
    return jpeg.left(afterJfif) + QByteArray::fromHex("ffe1") + QByteArray(length, 2) + block +
           jpeg.mid(afterJfif);
}

bool writeWithTime(const QString& path, const QImage& image, const QByteArray& dateTime, int orientation,
                   int quality)
{
    const QByteArray bytes = encodeWithTime(image, dateTime, orientation, quality);
    return !bytes.isEmpty() && TestSupport::writeFile(path, bytes);
}

QByteArray encode(const QImage& image, int orientation, int quality)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image))
        return {};
    const QByteArray jpeg = buffer.data();

    // APP1 "Exif": a big-endian TIFF header and one IFD with the single entry 0x0112
    // (orientation, type SHORT, count 1), then no next IFD. It goes right after the start marker.
    QByteArray exif = QByteArray::fromHex("ffe10022") + QByteArray("Exif\0\0", 6);
    exif += QByteArray::fromHex("4d4d002a00000008"
                                "0001"
                                "011200030000000100");
    exif += char(orientation);
    exif += QByteArray::fromHex("0000"
                                "00000000");
    return jpeg.left(2) + exif + jpeg.mid(2);
}

bool write(const QString& path, const QImage& image, int orientation, int quality)
{
    const QByteArray bytes = encode(image, orientation, quality);
    return !bytes.isEmpty() && TestSupport::writeFile(path, bytes);
}

} // namespace ExifJpeg
