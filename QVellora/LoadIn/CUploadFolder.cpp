// SPDX-License-Identifier: MIT
#include "CUploadFolder.h"

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

bool CUploadFolder::isPicture(const QString& path)
{
    static const QStringList suffixes{QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                      QStringLiteral("bmp"), QStringLiteral("gif")};
    const QFileInfo info(path);
    return info.isFile() && suffixes.contains(info.suffix(), Qt::CaseInsensitive);
}

QString CUploadFolder::mimeType(const QString& path)
{
    return QStringLiteral("image/") + QFileInfo(path).suffix().toLower();
}
