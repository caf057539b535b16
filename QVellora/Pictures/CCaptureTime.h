// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// When a picture was taken, as the camera wrote it: the EXIF DateTimeOriginal tag. The readers
// are pure functions over bytes from untrusted files: every offset is checked against the bytes
// at hand before it is followed, nothing is read past them, and a bad structure gives an invalid
// time rather than a guess. The time has no zone in EXIF; it is taken as local time.
class CCaptureTime
{
public:
    // How much of a file fromFile() reads at most. A JPEG's EXIF block must sit in its first
    // segment of at most 64 KiB, and cameras put it first.
    static constexpr int maxHeadBytes = 256 * 1024;

    // The time in a JPEG file's EXIF block (an APP1 segment before the picture data).
    static QDateTime fromJpeg(const QByteArray& bytes);
    // The time in TIFF structure (a TIFF file, or the inside of an EXIF block): the EXIF
    // sub-IFD that the first IFD points to.
    static QDateTime fromTiff(const QByteArray& tiff);
    // An EXIF block as containers carry it: optionally led by a 4-byte offset (HEIF), then
    // optionally "Exif\0\0", then TIFF structure.
    static QDateTime fromExifBlock(const QByteArray& block);
    // A JPEG or TIFF file's time, reading at most maxHeadBytes of it. Invalid for other files.
    static QDateTime fromFile(const QString& path);

    // "YYYY:MM:DD HH:MM:SS" (the rest of the field ignored); invalid for anything else,
    // including the all-zero or blank dates cameras write when their clock was never set.
    static QDateTime parse(const QByteArray& text);
};
