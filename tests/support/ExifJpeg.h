// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// JPEG files as cameras write them: the stored pixels plus an EXIF orientation tag that tells a
// viewer how to turn them upright (6: turn 90 degrees clockwise, 8: counter-clockwise).
namespace ExifJpeg {

// The JPEG bytes of image with an EXIF block holding only the orientation tag (1 to 8).
QByteArray encode(const QImage& image, int orientation, int quality = 90);
bool write(const QString& path, const QImage& image, int orientation, int quality = 90);

// An EXIF block ("Exif\0\0" and TIFF structure, either byte order) as cameras write one: the
// first IFD holds the orientation and points to the EXIF IFD, which holds DateTimeOriginal
// (dateTime, "YYYY:MM:DD HH:MM:SS"); the text comes last, so any cut of the block loses it.
QByteArray exifBlock(const QByteArray& dateTime, int orientation = 1, bool littleEndian = false);
// The JPEG bytes of image with that block in an APP1 segment after the JFIF segment.
QByteArray encodeWithTime(const QImage& image, const QByteArray& dateTime, int orientation = 1,
                          int quality = 90, bool littleEndian = false);
bool writeWithTime(const QString& path, const QImage& image, const QByteArray& dateTime, int orientation = 1,
                   int quality = 90);

} // namespace ExifJpeg
