// SPDX-License-Identifier: MIT
#include "ExifJpeg.h"

#include "TestSupport.h"

#include <QBuffer>
#include <QImageWriter>

namespace ExifJpeg {

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
