// SPDX-License-Identifier: MIT
#include "PhotoView/QLookalikeTiles.h"

#include "PhotoView/QPhotoViewListWidget.h"
#include "Pictures/CSharpestPicks.h"

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
        join(path, facts);
}

void QLookalikeTiles::onPictureFacts(const QString& path, const CPictureFacts& facts)
{
    if (m_tiles.contains(path))
        join(path, facts);
}

void QLookalikeTiles::join(const QString& path, const CPictureFacts& facts)
{
    const CLookalikeGroups::Changed changed = m_groups.add(path, facts);
    // The score goes with the facts the picture was grouped by, never with later ones.
    if (m_groups.group(path) >= 0 && !m_scores.contains(path) && facts.hasSharpness())
        m_scores.insert(path, facts.sharpness);
    schedule(changed.groups);
}

QStringList QLookalikeTiles::picks(const QStringList& paths)
{
    settle();
    return CSharpestPicks::picks(paths, m_groups, [this](const QString& path) { return scoreOf(path); });
}

void QLookalikeTiles::clear()
{
    m_groups.clear();
    m_tiles.clear();
    m_scores.clear();
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
    QSet<QString> sharpest;
    const CSharpestPicks::ScoreOf score = [this](const QString& path) { return scoreOf(path); };
    for (int id : groupIds) {
        // Groups never shrink: a group of one is a new single, whose tile is right as it is.
        if (m_groups.groupSize(id) < 2)
            continue;
        const QStringList members = m_groups.members(id);
        // The whole group is compared, hidden members too: the mark says which shot is best,
        // whether or not it shows now.
        const QString best = CSharpestPicks::sharpestOf(members, score);
        if (!best.isEmpty())
            sharpest.insert(best);
        for (const QString& member : members) {
            sizes.insert(member, members.size());
            if (m_firstOfEachOnly && member != members.first())
                hidden.insert(member);
        }
    }
    if (!sizes.isEmpty())
        m_grid->SetLookalikes(sizes, hidden, sharpest);
}
