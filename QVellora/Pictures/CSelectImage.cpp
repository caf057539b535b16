// SPDX-License-Identifier: MIT
#include "Pictures/CSelectImage.h"

CSelectImage::CSelectImage(const QString& path, const QPixmap& thumbnail, const QDate& date)
    : m_path(path), m_thumbnail(thumbnail), m_date(date)
{
}
