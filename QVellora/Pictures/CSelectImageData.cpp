// SPDX-License-Identifier: MIT
#include "Pictures/CSelectImageData.h"

#include "Pictures/CImageReading.h"
#include "Pictures/CSelectImage.h"

#include <QFileInfo>

#include <limits>

CSelectImageData::~CSelectImageData()
{
    qDeleteAll(m_images);
}

namespace {
qint64 bytesOf(const QPixmap& pixmap)
{
    return qint64(pixmap.width()) * pixmap.height() * qMax(pixmap.depth(), 8) / 8;
}
} // namespace

void CSelectImageData::SetThumbnailBudget(qint64 bytes, int keepRecentMs)
{
    m_budget = qMax<qint64>(0, bytes);
    m_keepRecentMs = qMax(0, keepRecentMs);
    if (!m_clock.isValid())
        m_clock.start();
    keepWithinBudget(nullptr);
}

bool CSelectImageData::AddImage(const QString& path, const QPixmap& thumbnail)
{
    if (path.isEmpty() || thumbnail.isNull())
        return false;
    CSelectImage* record = m_byPath.value(path);
    if (record && !record->GetImage()->isNull())
        return false;
    if (record) {
        record->SetImage(thumbnail);
    } else {
        record = new CSelectImage(path, thumbnail, QFileInfo(path).lastModified().date());
        m_images.append(record);
        m_byPath.insert(path, record);
    }
    m_bytes += bytesOf(thumbnail);
    // Filed, not shown yet: it may go like any other, only not for itself.
    use(record, false);
    keepWithinBudget(record);
    return true;
}

void CSelectImageData::use(CSelectImage* record, bool looked) const
{
    const auto at = m_recentAt.find(record);
    if (at != m_recentAt.end())
        m_recent.erase(at.value());
    const qint64 atMs =
        looked && m_clock.isValid() ? m_clock.elapsed() : std::numeric_limits<qint64>::min() / 2;
    m_recentAt.insert(record, m_recent.insert(m_recent.end(), Use{record, atMs}));
}

void CSelectImageData::keepWithinBudget(const CSelectImage* keep)
{
    if (m_budget <= 0)
        return;
    const qint64 now = m_clock.isValid() ? m_clock.elapsed() : 0;
    // The least recently used go first; those looked at lately are passed over.
    auto mayGo = [&](const Use& use) {
        return use.record != keep && (m_keepRecentMs == 0 || use.atMs < now - m_keepRecentMs);
    };
    for (auto use = m_recent.begin(); use != m_recent.end() && m_bytes > m_budget;) {
        if (!mayGo(*use)) {
            ++use;
            continue;
        }
        CSelectImage* oldest = use->record;
        use = m_recent.erase(use);
        m_recentAt.remove(oldest);
        m_bytes -= bytesOf(*oldest->GetImage());
        oldest->SetImage(QPixmap());
    }
}

bool CSelectImageData::LoadImage(const QString& path)
{
    const QImage thumbnail = CImageReading::thumbnail(path, CImageReading::thumbnailBox());
    if (thumbnail.isNull())
        return false;
    return AddImage(path, QPixmap::fromImage(thumbnail));
}

bool CSelectImageData::HasImage(const QString& path) const
{
    const CSelectImage* record = m_byPath.value(path);
    return record && !record->GetImage()->isNull();
}

QPixmap* CSelectImageData::FindImage(const QString& path) const
{
    CSelectImage* record = m_byPath.value(path);
    if (!record || record->GetImage()->isNull())
        return nullptr;
    use(record, true);
    return record->GetImage();
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
