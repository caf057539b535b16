// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPair>

class QIODevice;

// Writes thumbnails as PNG, tuned for speed: a thumbnail is written once for every picture
// decoded, so its cost adds to every first look at a folder. Each row is filtered against the row
// above and the result run-length coded; that writes a photo in less than half the time of
// QImageWriter (which tries every filter and searches for matches) at about the same size, and
// reads back faster too. Text chunks are plain tEXt, written before the pixels, as given
// (Latin-1).
class CPngWriter
{
public:
    using Texts = QList<QPair<QByteArray, QByteArray>>;

    // False when the image is null or the device refused the bytes.
    static bool write(QIODevice* device, const QImage& image, const Texts& texts);
};
