// SPDX-License-Identifier: MIT
#include "PhotoView/QLookalikeTiles.h"

#include "PhotoView/QPhotoViewListWidget.h"

#include <QHash>

QLookalikeTiles::QLookalikeTiles(QPhotoViewListWidget* grid, QObject* parent)
    : QObject(parent), m_grid(grid), m_settleTimer(new QTimer(this))
{
    m_settleTimer->setSingleShot(true);
    m_settleTimer->setInterval(0);
    connect(m_settleTimer, &QTimer::timeout, this, &QLookalikeTiles::settle);
}

void QLookalikeTiles::schedule(const QVector<int>& groupIds)
{
    for (int id : groupIds)
        m_pending.insert(id);
    if (!m_pending.isEmpty() && !m_settleTimer->isActive())
        m_settleTimer->start();
}

void QLookalikeTiles::settle()
{
    m_settleTimer->stop();
    // A group that joined another one since is gone; its members are in the one it joined.
    QVector<int> changed;
    for (int id : qAsConst(m_pending)) {
        if (m_groups.groupSize(id) > 0)
            changed.append(id);
    }
    m_pending.clear();
    apply(changed);
}

void QLookalikeTiles::tileAdded(const QString& path, const CPictureFacts& facts)
{
    m_tiles.insert(path);
    if (facts.isValid())
        schedule(m_groups.add(path, facts).groups);
}

void QLookalikeTiles::onPictureFacts(const QString& path, const CPictureFacts& facts)
{
    if (m_tiles.contains(path))
        schedule(m_groups.add(path, facts).groups);
}

void QLookalikeTiles::clear()
{
    m_groups.clear();
    m_tiles.clear();
    m_pending.clear();
    m_settleTimer->stop();
}

void QLookalikeTiles::setFirstOfEachOnly(bool on)
{
    if (on == m_firstOfEachOnly)
        return;
    m_firstOfEachOnly = on;
    settle();
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
