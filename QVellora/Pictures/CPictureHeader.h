// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QSize>

class QIODevice;

// What a picture file's first bytes tell before any decoder sees it: which of the kinds the
// program lists it is, and for JPEG the frame header (size, progressive or not, sampling), which
// decides how much memory a decode takes.
class CPictureHeader
{
public:
    // The reader format of the listed kind the bytes start like: "jpeg", "png", "bmp", "webp",
    // "tiff", "heif" or "avif"; empty for anything else (PostScript, text, ...). 32 bytes are enough.
    static QByteArray kindOf(const QByteArray& head);

    struct JpegFrame
    {
        QSize size; // as stored, before the EXIF turn; invalid when no frame header was found
        bool progressive = false;
        // Stored samples per pixel over all components (3 for 4:4:4 colour, 1.5 for 4:2:0).
        double samplesPerPixel = 3;
    };
    // Walks the JPEG markers of device from its current position up to the first frame header.
    // The device's position is left wherever the walk stopped.
    static JpegFrame jpegFrame(QIODevice& device);
};
