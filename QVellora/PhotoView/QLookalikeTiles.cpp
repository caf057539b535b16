// SPDX-License-Identifier: MIT
#include "PhotoView/QLookalikeTiles.h"

#include "PhotoView/QPhotoViewListWidget.h"

#include <QHash>

QLookalikeTiles::QLookalikeTiles(QPhotoViewListWidget* grid, QObject* parent) : QObject(parent), m_grid(grid)
{
}

void QLookalikeTiles::tileAdded(const QString& path, const CPictureFacts& facts)
{
    m_tiles.insert(path);
    if (facts.isValid())
        apply(m_groups.add(path, facts).groups);
}

void QLookalikeTiles::onPictureFacts(const QString& path, const CPictureFacts& facts)
{
    if (m_tiles.contains(path))
        apply(m_groups.add(path, facts).groups);
}

void QLookalikeTiles::clear()
{
    m_groups.clear();
    m_tiles.clear();
}

void QLookalikeTiles::setFirstOfEachOnly(bool on)
{
    if (on == m_firstOfEachOnly)
        return;
    m_firstOfEachOnly = on;
    QVector<int> all;
    for (const QString& first : m_groups.firstOfEach()) {
        const int id = m_groups.group(first);
        if (m_groups.groupSize(id) >= 2)
            all.append(id);
    }
    apply(all);
}

QStringList QLookalikeTiles::groupOf(const QString& path) const
{
    const QStringList members = m_groups.members(m_groups.group(path));
    return members.isEmpty() ? QStringList{path} : members;
}

void QLookalikeTiles::apply(const QVector<int>& groupIds)
{
    if (groupIds.isEmpty())
        return;
    QHash<QString, int> sizes;
    QSet<QString> hidden;
    for (int id : groupIds) {
        // Groups never shrink: a group of one is a new single, whose tile is right as it is.
        if (m_groups.groupSize(id) < 2)
            continue;
        const QStringList members = m_groups.members(id);
        for (const QString& member : members) {
            sizes.insert(member, members.size());
            if (m_firstOfEachOnly && member != members.first())
                hidden.insert(member);
        }
    }
    if (!sizes.isEmpty())
        m_grid->SetLookalikes(sizes, hidden);
}
