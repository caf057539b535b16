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

} // namespace ExifJpeg
