// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// How the program reads the user's pictures: always upright (EXIF orientation applied), and for
// thumbnails decoded at reduced size where the format allows it. Thread-safe: works on QImage.
//
// Only regular files are opened, and only with the decoder of the kind their first bytes show,
// among the kinds the program lists (JPEG, PNG, BMP, WebP, TIFF, HEIF/HEIC, AVIF): never with a
// decoder that starts another program (PostScript through Ghostscript). The picture's size is read
// from its header first; a decode that would take more memory than CDecodeBudget allows is made at
// reduced size where the format can, and refused otherwise.
class CImageReading
{
public:
    static QSize thumbnailBox() { return QSize(270, 270); }

    // The size a picture of uprightSize gets in box: scaled with its aspect ratio kept, and never
    // thinner than one pixel, so a strip of 3000x10 still shows, letterboxed in its tile.
    static QSize fittedSize(const QSize& uprightSize, const QSize& box);

    // Whether a thumbnail could have been made from a picture of this size: the same shape,
    // allowing for the rounding of each side when it was scaled (twice).
    static bool sameShape(const QSize& picture, const QSize& thumbnail);

    // The whole picture, upright; null when the file is not a readable picture. A picture too
    // large to decode whole comes reduced where its format decodes at reduced size, and null
    // otherwise, with *refusal saying why. *wholeSize gets the picture's own upright size, also
    // when it came reduced (invalid when nothing was read).
    static QImage readUpright(const QString& path, QString* refusal = nullptr, QSize* wholeSize = nullptr);

    // The picture fitted into box (fittedSize(), small pictures are enlarged), upright, smoothly
    // filtered.
    static QImage thumbnail(const QString& path, const QSize& box);

    // The picture's upright size as its header tells it, without decoding; invalid when unknown.
    static QSize uprightSizeOf(const QString& path);
    // The same before the EXIF turn, as the picture is stored.
    static QSize storedSizeOf(const QString& path);

    // One decode for the thumbnail above and for a larger copy to keep (the thumbnail cache's):
    // the picture upright, fitted into keepBox without being enlarged. Both are null when the
    // file is not a readable picture; refusal then says why when its size was the reason.
    struct Thumbnails
    {
        QImage thumbnail;
        QImage kept;
        QSize uprightSize;
        QByteArray exif; // the EXIF block when the container reader had it at hand (HEIF), else empty
        QString refusal; // why a picture was not decoded: too large for the memory a decode may take
        QImage decoded;  // the picture upright as decoded (reduced for a JPEG), before any fitting
    };
    static Thumbnails thumbnailAndKept(const QString& path, const QSize& box, const QSize& keepBox);

    // The tile of a picture refused for its size: a box-sized grey square with a broken frame.
    static QImage brokenTile(const QSize& box);

    // The text a picture refused for its size gets (its tile's tooltip, the viewer's message).
    static QString tooLargeText(const QSize& size);
};
