// SPDX-License-Identifier: MIT
#include "Service/CUploadFolder.h"

#include <QDir>
#include <QFileInfo>

QStringList CUploadFolder::pictures(const QString& folder)
{
    QStringList paths;
    if (folder.isEmpty())
        return paths;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        if (isPicture(entry.filePath()))
            paths.append(entry.absoluteFilePath());
    }
    return paths;
}

namespace {
const QStringList& storedSuffixes()
{
    static const QStringList suffixes{QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                      QStringLiteral("bmp"), QStringLiteral("gif")};
    return suffixes;
}

const QStringList& convertedSuffixes()
{
    static const QStringList suffixes{QStringLiteral("heic"), QStringLiteral("heif"), QStringLiteral("webp"),
                                      QStringLiteral("avif"), QStringLiteral("tif"),  QStringLiteral("tiff")};
    return suffixes;
}
} // namespace

bool CUploadFolder::isPicture(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && (storedSuffixes().contains(info.suffix(), Qt::CaseInsensitive) ||
                             convertedSuffixes().contains(info.suffix(), Qt::CaseInsensitive));
}

bool CUploadFolder::needsConversion(const QString& path)
{
    return convertedSuffixes().contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
}

QString CUploadFolder::mimeType(const QString& path)
{
    return QStringLiteral("image/") + QFileInfo(path).suffix().toLower();
}
