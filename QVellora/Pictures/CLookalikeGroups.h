// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CPictureFacts.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// Runs of near-identical shots: pictures that look alike (their thumbnails' difference hashes and
// colour layouts both close) and that were taken within a short time of each other belong to one
// group. A burst of ten shots a few seconds apart is one group even if the first and the last are
// a minute apart, but one loose match never merges two scenes: a picture joins a group only when
// it is, on average, close to every member taken within the window of it, and two groups join
// only when their members within the window of each other are, on average, close. Neighbouring
// scenes at one place (same light, same colours) are often a close pair here and there, seldom on
// average.
//
// Pictures are added one by one as their facts arrive, in any order; each addition compares the
// picture only with those taken near it in time (kept in buckets of one window each), so a
// folder of a thousand pictures costs a few comparisons per picture. Every picture is in a
// group, alone if need be. Group ids are small integers; when two groups join, one id lives on
// and the other is gone. A plain value used on one thread (the interface thread, as facts come).
class CLookalikeGroups
{
public:
    // Hashes this close (different bits of 64) can be the same scene. Bursts of real photographs
    // (reframed, exposure shifted, turned, re-encoded, a subject moving) differ by up to about 14
    // bits, neighbouring scenes at one place by 12 or more; unrelated pictures by about 32.
    static constexpr int defaultMaxDistance = 16;
    // Colour layouts this close (mean difference, see CPictureFacts::layoutDistance) can be too.
    static constexpr int defaultMaxLayout = 12;
    // Shots this far apart in time, or closer, may be one group: a burst, not a walk around.
    static constexpr int defaultWindowSeconds = 30;

    struct Changed
    {
        QVector<int> groups; // groups whose members changed (they exist)
        QVector<int> gone;   // groups that joined another one (they no longer exist)
        bool isEmpty() const { return groups.isEmpty() && gone.isEmpty(); }
    };

    explicit CLookalikeGroups(int maxDistance = defaultMaxDistance, int windowSeconds = defaultWindowSeconds,
                              int maxLayout = defaultMaxLayout);

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
        CPictureFacts::Layout layout{};
        int parent = 0;
    };

    int root(int index) const;
    // How unalike two pictures are: 1 at the edge of either threshold, below 1 when both are within.
    double difference(int a, int b) const;
    // The mean difference of the pairs, one picture from each list, taken within the window of
    // each other; 2 (too far) when there is no such pair.
    double meanDifference(const QVector<int>& left, const QVector<int>& right) const;
    bool near(int a, int b) const;
    bool before(int a, int b) const;
    // Joins the groups of a and b; records what changed. Returns the surviving root.
    int join(int a, int b, Changed* changed);

    int m_maxDistance;
    qint64 m_windowMsecs;
    int m_maxLayout;
    QVector<Picture> m_pictures;
    QHash<QString, int> m_indexOf;
    QHash<qint64, QVector<int>> m_buckets; // floor(time / window) -> pictures
    QHash<int, QVector<int>> m_membersOf;  // root -> members in (time, path) order
};
