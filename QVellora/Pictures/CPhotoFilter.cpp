// SPDX-License-Identifier: MIT
#include "Pictures/CPhotoFilter.h"

#include "Pictures/CPictureFormats.h"

#include <QFileInfo>

CPhotoFilter::CPhotoFilter()
    : m_suffixes(defaultSuffixes()), m_beginTime(defaultBeginTime()), m_endTime(defaultEndTime())
{
}

QStringList CPhotoFilter::defaultSuffixes()
{
    return CPictureFormats::readableSuffixes();
}

QDateTime CPhotoFilter::defaultBeginTime()
{
    return QDate(2000, 1, 1).startOfDay();
}

QDateTime CPhotoFilter::defaultEndTime()
{
    return QDate::currentDate().addDays(1).startOfDay();
}

void CPhotoFilter::setSuffixes(const QStringList& suffixes)
{
    m_suffixes.clear();
    for (const QString& suffix : suffixes)
        m_suffixes.append(suffix.toLower());
}

bool CPhotoFilter::acceptsSuffix(const QString& suffix) const
{
    const QString lower = suffix.toLower();
    if (m_suffixes.contains(lower))
        return true;
    return lower == QLatin1String("jpeg") && m_suffixes.contains(QLatin1String("jpg"));
}

bool CPhotoFilter::acceptsTime(const QDateTime& modified) const
{
    return m_beginTime < modified && modified < m_endTime;
}

bool CPhotoFilter::accepts(const QFileInfo& file) const
{
    return file.exists() && acceptsTime(file.lastModified()) && acceptsSuffix(file.suffix());
}

bool CPhotoFilter::operator==(const CPhotoFilter& other) const
{
    return m_suffixes == other.m_suffixes && m_beginTime == other.m_beginTime && m_endTime == other.m_endTime;
}
