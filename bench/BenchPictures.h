// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CPhotoFilter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

// What the benchmarks share: the pictures of a folder, as the program would take them.
namespace BenchPictures {

constexpr int maxPictures = 999;

// The photos directly in folder (the filter's suffixes, any date), in name order, at most cap
// (none when cap is negative).
inline QStringList picturesOf(const QString& folder, int cap = maxPictures)
{
    const CPhotoFilter filter;
    QStringList files;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
        if (filter.acceptsSuffix(entry.suffix()) && (cap < 0 || files.size() < cap))
            files.append(entry.absoluteFilePath());
    }
    return files;
}

// Reads every file once so that the measured runs read from the file cache; returns the bytes.
inline qint64 warmFileCache(const QStringList& files)
{
    qint64 bytes = 0;
    for (const QString& path : files) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes += file.readAll().size();
    }
    return bytes;
}

} // namespace BenchPictures
