// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <list>

class CSelectImage;

// The thumbnail cache: pictures in the order they were added, at most one record per path.
// It owns its records and never removes one, so the records and the pointers FindImage hands out
// stay valid for the life of the cache.
//
// With a budget (SetThumbnailBudget), the thumbnails of the records used least recently are let go
// once their bytes pass it: the record stays (Contains, the list, the paths), FindImage returns
// null for it, and a later AddImage gives it a thumbnail again. Without one every thumbnail stays.
// Thumbnails looked up within the last keepRecentMs are kept even past the budget: they are on
// screen, and letting them go would only have them made again for the next paint, and again.
// Thumbnails only filed (AddImage) have no such claim.
class CSelectImageData
{
public:
    CSelectImageData() = default;
    virtual ~CSelectImageData();
    CSelectImageData(const CSelectImageData&) = delete;
    CSelectImageData& operator=(const CSelectImageData&) = delete;

    // Bytes of thumbnails kept at most; 0 (the default) keeps every one.
    void SetThumbnailBudget(qint64 bytes, int keepRecentMs = 0);
    qint64 ThumbnailBytes() const { return m_bytes; }

    // Adds a record unless the path is empty, already known, or the thumbnail is null; a known
    // record whose thumbnail was let go takes this one. Returns whether a thumbnail was taken; a
    // path already known keeps its first thumbnail.
    bool AddImage(const QString& path, const QPixmap& thumbnail);

    // Makes a 270x270 thumbnail of the file and adds it; unreadable pictures are skipped.
    // Decodes on the calling thread: meant for single pictures, not for whole folders.
    bool LoadImage(const QString& path);

    // The thumbnail of the record with exactly this path, or null (no record, or its thumbnail
    // was let go). The pointer stays valid; the next AddImage may let its thumbnail go.
    QPixmap* FindImage(const QString& path) const;
    // Whether a record with exactly this path exists, with its thumbnail or not.
    bool Contains(const QString& path) const { return m_byPath.contains(path); }
    // Whether it has its thumbnail now; unlike FindImage, not a use of it.
    bool HasImage(const QString& path) const;

    // Paths of all records containing text (case-sensitive), in list order.
    QStringList FindImagePaths(const QString& text) const;

    // The records in list order; the cache keeps ownership.
    QList<CSelectImage*> GetSelectImageData() const { return m_images; }
    int Count() const { return m_images.size(); }

private:
    // Marks record as the most recently used, then lets the oldest thumbnails go until the kept
    // bytes are within the budget (never record's own).
    // looked: asked for (painted), not only filed.
    void use(CSelectImage* record, bool looked) const;
    void keepWithinBudget(const CSelectImage* keep);

    QList<CSelectImage*> m_images;
    QHash<QString, CSelectImage*> m_byPath;
    qint64 m_budget = 0;
    int m_keepRecentMs = 0;
    qint64 m_bytes = 0;
    struct Use
    {
        CSelectImage* record;
        qint64 atMs;
    };
    // Records holding a thumbnail, the least recently used first.
    mutable std::list<Use> m_recent;
    mutable QHash<const CSelectImage*, std::list<Use>::iterator> m_recentAt;
    QElapsedTimer m_clock;
};
