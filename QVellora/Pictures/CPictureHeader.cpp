// SPDX-License-Identifier: MIT
#include "Pictures/CPictureHeader.h"

#include <QIODevice>
#include <QtEndian>

namespace {

bool isBrandOf(const QByteArray& brand, std::initializer_list<const char*> brands)
{
    for (const char* known : brands) {
        if (brand == known)
            return true;
    }
    return false;
}

} // namespace

QByteArray CPictureHeader::kindOf(const QByteArray& head)
{
    if (head.startsWith("\xFF\xD8\xFF"))
        return QByteArrayLiteral("jpeg");
    if (head.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8)))
        return QByteArrayLiteral("png");
    if (head.startsWith("BM") && head.size() >= 18)
        return QByteArrayLiteral("bmp");
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP")
        return QByteArrayLiteral("webp");
    if (head.startsWith(QByteArray("II*\0", 4)) || head.startsWith(QByteArray("MM\0*", 4)))
        return QByteArrayLiteral("tiff");
    if (head.mid(4, 4) == "ftyp") {
        // The major brand, then the compatible ones up to the end of the box (or of the head).
        const int boxEnd = qMin(head.size(), int(qFromBigEndian<quint32>(head.constData())));
        QList<QByteArray> brands{head.mid(8, 4)};
        for (int at = 16; at + 4 <= boxEnd; at += 4)
            brands.append(head.mid(at, 4));
        for (const QByteArray& brand : brands) {
            if (isBrandOf(brand, {"heic", "heix", "heim", "heis", "hevc", "hevx"}))
                return QByteArrayLiteral("heif");
        }
        for (const QByteArray& brand : brands) {
            if (isBrandOf(brand, {"avif", "avis"}))
                return QByteArrayLiteral("avif");
        }
        for (const QByteArray& brand : brands) {
            if (isBrandOf(brand, {"mif1", "msf1"}))
                return QByteArrayLiteral("heif");
        }
    }
    return {};
}

CPictureHeader::JpegFrame CPictureHeader::jpegFrame(QIODevice& device)
{
    JpegFrame frame;
    // Markers before the frame are few (SOI, APPn, DQT, DHT, COM); a file of thousands is no photo.
    for (int markers = 0; markers < 1000; ++markers) {
        char byte = 0;
        if (!device.getChar(&byte))
            return frame;
        if (byte != '\xFF')
            return frame;
        quint8 marker = 0xFF;
        while (marker == 0xFF) {
            if (!device.getChar(&byte))
                return frame;
            marker = quint8(byte);
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (marker == 0xD9 || marker == 0xDA)
            return frame; // the end, or the scan data before any frame header
        const QByteArray lengthBytes = device.read(2);
        if (lengthBytes.size() != 2)
            return frame;
        const int length = qFromBigEndian<quint16>(lengthBytes.constData());
        if (length < 2)
            return frame;
        const bool isFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (!isFrame) {
            if (!device.seek(device.pos() + length - 2))
                return frame;
            continue;
        }
        const QByteArray data = device.read(length - 2);
        if (data.size() < 6)
            return frame;
        const auto* bytes = reinterpret_cast<const quint8*>(data.constData());
        const int height = bytes[1] << 8 | bytes[2];
        const int width = bytes[3] << 8 | bytes[4];
        const int components = bytes[5];
        if (components <= 0 || data.size() < 6 + 3 * components)
            return frame;
        int maxH = 1;
        int maxV = 1;
        for (int c = 0; c < components; ++c) {
            maxH = qMax(maxH, bytes[7 + 3 * c] >> 4);
            maxV = qMax(maxV, bytes[7 + 3 * c] & 0xF);
        }
        double samples = 0;
        for (int c = 0; c < components; ++c)
            samples +=
                double(qMax(1, bytes[7 + 3 * c] >> 4) * qMax(1, bytes[7 + 3 * c] & 0xF)) / (maxH * maxV);
        frame.size = QSize(width, height);
        frame.progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
        frame.samplesPerPixel = samples;
        return frame;
    }
    return frame;
}
