// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QStringList>

class QFileInfo;

// Which files count as photos for a search: an accepted suffix and a modification time strictly
// inside [begin, end]. Both filter dialogs edit one, both scan threads apply one.
//
// The default window runs from 2000-01-01 to the start of tomorrow (local time, taken when the
// filter is made), so every file modified up to today is found.
class CPhotoFilter
{
public:
    CPhotoFilter();

    // Every type whose reader is there in this process (CPictureFormats), as the type dialog
    // ticks them at start.
    static QStringList defaultSuffixes();
    static QDateTime defaultBeginTime();
    static QDateTime defaultEndTime();

    QStringList suffixes() const { return m_suffixes; }
    // Stored lower-cased: the comparison is made against the lower-cased file suffix.
    void setSuffixes(const QStringList& suffixes);
    QDateTime beginTime() const { return m_beginTime; }
    void setBeginTime(const QDateTime& time) { m_beginTime = time; }
    QDateTime endTime() const { return m_endTime; }
    void setEndTime(const QDateTime& time) { m_endTime = time; }

    // A "jpg" entry also takes "jpeg": both name the same format.
    bool acceptsSuffix(const QString& suffix) const;
    // Both bounds are exclusive.
    bool acceptsTime(const QDateTime& modified) const;
    // The file exists, its time is inside the window and its suffix is accepted.
    bool accepts(const QFileInfo& file) const;

    bool operator==(const CPhotoFilter& other) const;
    bool operator!=(const CPhotoFilter& other) const { return !(*this == other); }

private:
    QStringList m_suffixes;
    QDateTime m_beginTime;
    QDateTime m_endTime;
};
