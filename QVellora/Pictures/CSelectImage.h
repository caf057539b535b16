// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QPixmap>
#include <QString>

// One picture known to the program: its path (the record's identity), its thumbnail and the day
// the file was last modified. Records live on the interface thread (they hold a QPixmap).
class CSelectImage
{
public:
    CSelectImage(const QString& path, const QPixmap& thumbnail, const QDate& date);

    QString GetImagePath() const { return m_path; }
    // Points into the record; stays valid for as long as the record lives. The thumbnail is null
    // while the cache holding the record has let it go (see CSelectImageData's budget).
    QPixmap* GetImage() { return &m_thumbnail; }
    const QPixmap* GetImage() const { return &m_thumbnail; }
    void SetImage(const QPixmap& thumbnail) { m_thumbnail = thumbnail; }
    QDate GetDate() const { return m_date; }

private:
    QString m_path;
    QPixmap m_thumbnail;
    QDate m_date;
};
