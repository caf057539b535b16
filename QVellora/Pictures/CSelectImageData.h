// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>

class CSelectImage;

// The thumbnail cache: pictures in the order they were added, at most one record per path.
// It owns its records and never removes one, so thumbnail pointers handed out by FindImage stay
// valid for the life of the cache (tiles and category rows paint through them).
class CSelectImageData
{
public:
    CSelectImageData() = default;
    virtual ~CSelectImageData();
    CSelectImageData(const CSelectImageData&) = delete;
    CSelectImageData& operator=(const CSelectImageData&) = delete;

    // Adds a record unless the path is empty, already known, or the thumbnail is null.
    // Returns whether a record was added; a path already known keeps its first thumbnail.
    bool AddImage(const QString& path, const QPixmap& thumbnail);

    // Makes a 270x270 thumbnail of the file and adds it; unreadable pictures are skipped.
    // Decodes on the calling thread: meant for single pictures, not for whole folders.
    bool LoadImage(const QString& path);

    // The thumbnail of the record with exactly this path, or null.
    QPixmap* FindImage(const QString& path) const;

    // Paths of all records containing text (case-sensitive), in list order.
    QStringList FindImagePaths(const QString& text) const;

    // The records in list order; the cache keeps ownership.
    QList<CSelectImage*> GetSelectImageData() const { return m_images; }
    int Count() const { return m_images.size(); }

private:
    QList<CSelectImage*> m_images;
    QHash<QString, CSelectImage*> m_byPath;
};
