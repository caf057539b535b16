// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Reads HEIF files (phone HEIC, and AVIF where libheif has a decoder) through libheif itself.
// Decoding a phone's 12-megapixel HEIC takes more than a second, while the phone stores a small
// thumbnail in the file; a tile is made from that thumbnail whenever it is large enough. The
// size the file claims (its ispe box) only decides whether the primary picture may be decoded at
// all (CDecodeBudget); once it is decoded, its decoded size is the picture's size. The
// file's rotation and mirroring are applied, so pictures come out upright. Thread-safe: every
// call works on a decoder context of its own.
class CHeifReading
{
public:
    enum class Source
    {
        None,
        Embedded,
        Primary
    };

    // What the thumbnail reading learns on its way: the picture's upright size and its EXIF
    // block (led by libheif's 4-byte offset; empty when the file has none).
    struct Details
    {
        QSize uprightSize;
        QByteArray exif;
        QString refusal; // set when the picture is too large to decode (CDecodeBudget)
    };

    // The file starts like a HEIF file that libheif can decode.
    static bool isHeif(const QString& path);

    // The picture scaled to fit box with its aspect ratio kept (small pictures are enlarged),
    // upright, smoothly filtered; its size is uprightSize.scaled(box, Qt::KeepAspectRatio). Made
    // from the largest embedded thumbnail when that is at least as large as the scaled picture
    // needs, else from the primary picture. Null when the file cannot be decoded. source, when
    // given, tells which of the two was used; details, when given, is filled once the file opened.
    static QImage thumbnail(const QString& path, const QSize& box, Source* source = nullptr,
                            Details* details = nullptr);

    // The primary picture at full size, upright; null when it cannot be decoded or, with
    // *refusal saying why, when it is too large to decode.
    static QImage readUpright(const QString& path, QString* refusal = nullptr);

    // The primary picture's upright size as the file claims it; invalid when unknown.
    static QSize uprightSizeOf(const QString& path);
};
