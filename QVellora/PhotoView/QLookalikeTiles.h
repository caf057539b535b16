// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CLookalikeGroups.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

class QPhotoViewListWidget;

// The look-alike groups of the pictures in the grid, kept on the grid's tiles: every tile of a
// group of two or more carries the group's size, and with "one per group" on only the first of
// each group (by capture time) is shown. The sharpest member of a group (by the scores in the
// facts, compared within the group only) carries the "最清晰" mark; a group without any score
// has none, and the mark moves as the group gains members. A picture joins the groups once it
// has both a tile and its facts, whichever comes last, so pictures the grid does not show (a
// restored category's pictures from other folders) never count. Only the tiles of the groups
// that changed are touched, once per pass of the event loop however many pictures joined them
// meanwhile: a burst of hundreds of alike shots costs one pass over its tiles, not one per
// picture. Interface thread only.
class QLookalikeTiles : public QObject
{
    Q_OBJECT
public:
    explicit QLookalikeTiles(QPhotoViewListWidget* grid, QObject* parent = nullptr);

    // The grid gained a tile for path; facts are what is known of it so far (invalid if nothing).
    void tileAdded(const QString& path, const CPictureFacts& facts);
    // The grid was emptied for a new source.
    void clear();
    bool firstOfEachOnly() const { return m_firstOfEachOnly; }
    // The pictures of path's group by capture time; path alone when it is in no group yet.
    QStringList groupOf(const QString& path) const;
    const CLookalikeGroups& groups() const { return m_groups; }
    // The sharpness score its facts gave path; negative when it has none (or no facts yet).
    qreal scoreOf(const QString& path) const { return m_scores.value(path, -1); }
    // Of paths (the grid's pictures, in grid order): every picture alone in its group and the
    // sharpest of each group (CSharpestPicks::picks), the groups as they are now.
    QStringList picks(const QStringList& paths);
    // Whether every change of the groups is on the tiles.
    bool isSettled() const { return m_pending.isEmpty(); }

public slots:
    // The facts of a picture arrived from a worker.
    void onPictureFacts(const QString& path, const CPictureFacts& facts);
    void setFirstOfEachOnly(bool on);
    // Puts the groups changed since the last pass on their tiles now.
    void settle();

private:
    // Puts the sizes and the shown/hidden state of these groups on their tiles.
    void apply(const QVector<int>& groupIds);
    void schedule(const QVector<int>& groupIds);
    void join(const QString& path, const CPictureFacts& facts);

    QPhotoViewListWidget* m_grid;
    CLookalikeGroups m_groups;
    QSet<QString> m_tiles;
    QHash<QString, qreal> m_scores;
    bool m_firstOfEachOnly = false;
    QSet<int> m_pending;
    QTimer* m_settleTimer;
};
