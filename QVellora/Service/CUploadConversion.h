// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The JPEG that is uploaded in place of a picture the storage does not take (HEIC, WebP, AVIF,
// TIFF): the picture upright, at its full size, with the colour profile the reader gave, at a
// quality high enough for printing. Runs on any thread.
class CUploadConversion
{
public:
    static constexpr int Quality = 92;

    // Writes the JPEG as folder/<base name of source>.jpg; its path, or empty when the picture
    // cannot be read or the JPEG cannot be written (nothing is left behind then).
    static QString toJpeg(const QString& source, const QString& folder);
};
