// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// How the program reads the user's pictures: always upright (EXIF orientation applied), and for
// thumbnails decoded at reduced size where the format allows it. Thread-safe: works on QImage.
class CImageReading
{
public:
    static QSize thumbnailBox() { return QSize(270, 270); }

    // The whole picture, upright; null when the file is not a readable picture.
    static QImage readUpright(const QString& path);

    // The picture scaled to fit box with its aspect ratio kept (small pictures are enlarged),
    // upright, smoothly filtered. Its size is exactly uprightSize.scaled(box, Qt::KeepAspectRatio).
    static QImage thumbnail(const QString& path, const QSize& box);

    // The picture's upright size as its header tells it, without decoding; invalid when unknown.
    static QSize uprightSizeOf(const QString& path);

    // One decode for the thumbnail above and for a larger copy to keep (the thumbnail cache's):
    // the picture upright, fitted into keepBox without being enlarged. Both are null when the
    // file is not a readable picture.
    struct Thumbnails
    {
        QImage thumbnail;
        QImage kept;
        QSize uprightSize;
        QByteArray exif; // the EXIF block when the container reader had it at hand (HEIF), else empty
        QImage decoded;  // the picture upright as decoded (reduced for a JPEG), before any fitting
    };
    static Thumbnails thumbnailAndKept(const QString& path, const QSize& box, const QSize& keepBox);
};
