// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Pictures of every type the program reads, made at test time: JPG, PNG and BMP by Qt,
// WebP and TIFF by ImageMagick's convert, HEIC/HEIF and AVIF by heif-enc; HEIC files with a
// rotation or with a thumbnail of their own by libheif's encoder (heif-enc can do neither).
namespace PictureKinds {

// Whether a program is on the PATH.
bool haveTool(const QString& program);
// The tool that writes the type of path ("convert", "heif-enc"); empty for Qt's own types.
QString toolFor(const QString& path);

// Writes image in the type its suffix names. heic/heif/avif embed a thumbnail of at most
// thumbnailBox pixels when it is above 0. Empty on success, else what went wrong.
QString write(const QString& path, const QImage& image, int thumbnailBox = 0);

// A HEIC whose stored pixels are `stored`, shown turned by orientation (EXIF numbering: 6 turns
// a quarter clockwise, 2 mirrors left to right). When thumbnailBox is above 0, `thumbnail` is
// embedded, scaled to fit that box and turned the same way. exif, when given, is stored as the
// picture's EXIF block ("Exif\0\0" and TIFF structure). Empty on success.
QString writeHeic(const QString& path, const QImage& stored, int orientation,
                  const QImage& thumbnail = QImage(), int thumbnailBox = 0,
                  const QByteArray& exif = QByteArray());

} // namespace PictureKinds
