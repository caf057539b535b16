// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// Which files of a folder are uploaded: its direct entries that are files with one of the five
// suffixes the storage takes, or of a picture type that is converted to JPEG for the upload
// (HEIC/HEIF, WebP, AVIF, TIFF), compared ignoring case ("JPG" is a JPEG). Sub-folders and other
// files are left out before a batch starts, so every entry of a batch comes to an end.
class CUploadFolder
{
public:
    // Full paths, sorted by name ignoring case; sub-folders are not entered.
    static QStringList pictures(const QString& folder);
    static bool isPicture(const QString& path);
    // A picture of a type the storage does not take: it is uploaded as a JPEG made from it.
    static bool needsConversion(const QString& path);
    // "image/" and the suffix in lower case.
    static QString mimeType(const QString& path);
};
