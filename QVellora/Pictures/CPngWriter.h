// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPair>

class QIODevice;

// Writes thumbnails as PNG, tuned for speed: a thumbnail is written for every picture decoded and
// read back for every tile of a folder opened again, so both costs count, on every core. The
// pixels are stored without compression: photo detail shrinks by less than half under zlib,
// while compressing costs about a sixth of decoding the photo and reading back takes five times
// as long. An entry is then about 3 bytes per pixel (576 KB for 512x384). Text chunks are plain
// tEXt, written before the pixels, as given (Latin-1).
class CPngWriter
{
public:
    using Texts = QList<QPair<QByteArray, QByteArray>>;

    // False when the image is null or the device refused the bytes.
    static bool write(QIODevice* device, const QImage& image, const Texts& texts);
};
