// SPDX-License-Identifier: MIT
#include "Pictures/CSelectImageData.h"

#include "Pictures/CImageReading.h"
#include "Pictures/CSelectImage.h"

#include <QFileInfo>

CSelectImageData::~CSelectImageData()
{
    qDeleteAll(m_images);
}

bool CSelectImageData::AddImage(const QString& path, const QPixmap& thumbnail)
{
    if (path.isEmpty() || thumbnail.isNull() || m_byPath.contains(path))
        return false;
    auto* record = new CSelectImage(path, thumbnail, QFileInfo(path).lastModified().date());
    m_images.append(record);
    m_byPath.insert(path, record);
    return true;
}

bool CSelectImageData::LoadImage(const QString& path)
{
    const QImage thumbnail = CImageReading::thumbnail(path, CImageReading::thumbnailBox());
    if (thumbnail.isNull())
        return false;
    return AddImage(path, QPixmap::fromImage(thumbnail));
}

QPixmap* CSelectImageData::FindImage(const QString& path) const
{
    CSelectImage* record = m_byPath.value(path);
    return record ? record->GetImage() : nullptr;
}

QStringList CSelectImageData::FindImagePaths(const QString& text) const
{
    QStringList paths;
    for (const CSelectImage* record : m_images) {
        if (record->GetImagePath().contains(text, Qt::CaseSensitive))
            paths.append(record->GetImagePath());
    }
    return paths;
}
