// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QImage>
#include <QMetaType>
#include <QSize>

#include <array>

// What the thumbnail workers learn about a picture besides its thumbnail: enough to tell how
// sharp it prints and which other pictures look like it, without opening it again.
struct CPictureFacts
{
    QSize pixelSize;           // the picture's own size, upright; invalid when no reader could tell
    QDateTime captureTime;     // EXIF DateTimeOriginal (local time), else the file's modification time
    bool timeFromExif = false; // which of the two captureTime is
    quint64 hash = 0;          // differenceHash() of the upright thumbnail
    qint64 fileBytes = -1;     // the file's size; -1 when unknown
    // Why the picture was not decoded (too large), for its tile's tooltip; empty for a picture
    // that was read. A refused picture's other facts are empty apart from size and bytes.
    QString refusal;
    // colourLayout() of the upright thumbnail: the second look at a picture, beside the hash.
    using Layout = std::array<quint8, 48>;
    Layout layout{};
    // CSharpness::score() of the picture; negative when it has none (too small or too flat).
    // Only comparable between pictures of one group.
    qreal sharpness = -1;

    bool hasSharpness() const { return sharpness >= 0; }

    // Facts of a picture that was read (as opposed to the empty facts of a file that was not).
    bool isValid() const { return captureTime.isValid(); }

    // A 64-bit difference hash: the picture's brightness averaged over a 9x8 grid of cells, one
    // bit per pair of horizontal neighbours (set when the left cell is brighter). Small crops,
    // exposure shifts, slight turns and re-encoding move few bits; a different scene about half.
    // 0 for a null image.
    static quint64 differenceHash(const QImage& image);
    static int distance(quint64 a, quint64 b);
    // Where the picture is bright and which colour it is: the brightness of 3 bands across and 8
    // down against the whole picture's (so a horizon or a shore that the hash, comparing only
    // left and right, cannot see counts), and the share of red and of green (chromaticity) of 3
    // by 4 cells. An exposure shift hardly moves it; another subject or another light does. All
    // zero for a null image.
    static Layout colourLayout(const QImage& image);
    // Mean difference per value, 0..255; alike framings of one scene stay within a few units.
    static int layoutDistance(const Layout& a, const Layout& b);
    // Hash and layout of the upright thumbnail, from one pass over it.
    void setLooks(const QImage& thumbnail);

    // The facts of a picture file whose upright thumbnail and size the caller has at hand.
    // exifBlock, when the caller has the file's EXIF block already (HEIF), is read instead of the
    // file. Reads at most the file's head. Invalid when the thumbnail is null.
    static CPictureFacts of(const QString& path, const QImage& thumbnail, const QSize& uprightSize,
                            const QByteArray& exifBlock = QByteArray());
    // The facts of a picture refused for its size (CImageReading::Thumbnails::refusal).
    static CPictureFacts refused(const QString& path, const QSize& uprightSize, const QString& refusal);
    // The capture time alone, as above.
    static CPictureFacts withCaptureTime(const QString& path, const QByteArray& exifBlock = QByteArray());
};

Q_DECLARE_METATYPE(CPictureFacts)
