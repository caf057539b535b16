// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CPictureFacts.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// Runs of near-identical shots: pictures whose thumbnails hash alike and that were taken within
// a short time of each other belong to one group, and so do chains of them (a burst of ten shots
// a few seconds apart is one group even if the first and the last are a minute apart).
//
// Pictures are added one by one as their facts arrive, in any order; each addition compares the
// picture only with those taken near it in time (kept in buckets of one window each), so a
// folder of a thousand pictures costs a few comparisons per picture. Every picture is in a
// group, alone if need be. Group ids are small integers; when two groups join, one id lives on
// and the other is gone. A plain value used on one thread (the interface thread, as facts come).
class CLookalikeGroups
{
public:
    // Hashes this close (different bits of 64) count as the same scene. On the benchmark's bursts
    // (crops, exposure shifts, slight turns, re-encodes) look-alikes differ by at most 12 bits and
    // different scenes shot within the window by at least 19; unrelated pictures by about 32.
    static constexpr int defaultMaxDistance = 14;
    // Shots this far apart in time, or closer, may be one group: a burst, not a walk around.
    static constexpr int defaultWindowSeconds = 30;

    struct Changed
    {
        QVector<int> groups; // groups whose members changed (they exist)
        QVector<int> gone;   // groups that joined another one (they no longer exist)
        bool isEmpty() const { return groups.isEmpty() && gone.isEmpty(); }
    };

    explicit CLookalikeGroups(int maxDistance = defaultMaxDistance, int windowSeconds = defaultWindowSeconds);

    // Adds a picture. A path added before, or facts that are not valid, change nothing.
    Changed add(const QString& path, const CPictureFacts& facts);
    void clear();

    bool contains(const QString& path) const { return m_indexOf.contains(path); }
    int count() const { return m_pictures.size(); }
    // The group of a picture; -1 for a picture never added.
    int group(const QString& path) const;
    int groupSize(int groupId) const;
    // Members by capture time, then path; empty for an id that is not a group.
    QStringList members(int groupId) const;
    // The first member of every group (singles included), by capture time, then path.
    QStringList firstOfEach() const;

private:
    struct Picture
    {
        QString path;
        qint64 msecs = 0;
        quint64 hash = 0;
        int parent = 0;
    };

    int root(int index) const;
    bool before(int a, int b) const;
    // Joins the groups of a and b; records what changed. Returns the surviving root.
    int join(int a, int b, Changed* changed);

    int m_maxDistance;
    qint64 m_windowMsecs;
    QVector<Picture> m_pictures;
    QHash<QString, int> m_indexOf;
    QHash<qint64, QVector<int>> m_buckets; // floor(time / window) -> pictures
    QHash<int, QVector<int>> m_membersOf;  // root -> members in (time, path) order
};
