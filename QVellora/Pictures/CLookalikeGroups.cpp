// SPDX-License-Identifier: MIT
#include "Pictures/CLookalikeGroups.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

qint64 floorDivide(qint64 value, qint64 divisor)
{
    const qint64 quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

} // namespace

CLookalikeGroups::CLookalikeGroups(int maxDistance, int windowSeconds, int maxLayout)
    : m_maxDistance(maxDistance), m_windowMsecs(qMax(1, windowSeconds) * qint64(1000)),
      m_maxLayout(qMax(1, maxLayout))
{
}

void CLookalikeGroups::clear()
{
    m_pictures.clear();
    m_indexOf.clear();
    m_buckets.clear();
    m_membersOf.clear();
}

int CLookalikeGroups::root(int index) const
{
    while (m_pictures.at(index).parent != index)
        index = m_pictures.at(index).parent;
    return index;
}

bool CLookalikeGroups::near(int a, int b) const
{
    return qAbs(m_pictures.at(a).msecs - m_pictures.at(b).msecs) <= m_windowMsecs;
}

double CLookalikeGroups::difference(int a, int b) const
{
    const Picture& x = m_pictures.at(a);
    const Picture& y = m_pictures.at(b);
    // A threshold of 0 still lets identical pictures be alike.
    const double bits = CPictureFacts::distance(x.hash, y.hash) / double(qMax(1, m_maxDistance));
    const double colours = CPictureFacts::layoutDistance(x.layout, y.layout) / double(m_maxLayout);
    return m_maxDistance <= 0 && x.hash != y.hash ? 2.0 : qMax(bits, colours);
}

double CLookalikeGroups::meanDifference(const QVector<int>& left, const QVector<int>& right) const
{
    double sum = 0;
    int pairs = 0;
    for (const int a : left) {
        for (const int b : right) {
            if (near(a, b)) {
                sum += difference(a, b);
                ++pairs;
            }
        }
    }
    return pairs ? sum / pairs : 2.0;
}

bool CLookalikeGroups::before(int a, int b) const
{
    const Picture& x = m_pictures.at(a);
    const Picture& y = m_pictures.at(b);
    return x.msecs != y.msecs ? x.msecs < y.msecs : x.path < y.path;
}

CLookalikeGroups::Changed CLookalikeGroups::add(const QString& path, const CPictureFacts& facts)
{
    Changed changed;
    if (!facts.isValid() || m_indexOf.contains(path))
        return changed;
    const int index = m_pictures.size();
    m_pictures.append(Picture{path, facts.captureTime.toMSecsSinceEpoch(), facts.hash, facts.layout, index});
    m_indexOf.insert(path, index);
    m_membersOf.insert(index, {index});

    // Neighbours within the window sit in this bucket or the one on either side; of them, those
    // alike enough to be one scene name the groups the new picture may join.
    const qint64 msecs = m_pictures.at(index).msecs;
    const qint64 bucket = floorDivide(msecs, m_windowMsecs);
    QVector<int> candidates;
    for (qint64 b = bucket - 1; b <= bucket + 1; ++b) {
        const auto found = m_buckets.constFind(b);
        if (found == m_buckets.constEnd())
            continue;
        for (const int other : *found) {
            if (near(other, index) && difference(other, index) <= 1.0 && !candidates.contains(root(other)))
                candidates.append(root(other));
        }
    }
    // Nearest group first, so that the picture goes where it fits best; then every other group
    // that fits the grown one as a whole.
    QVector<std::pair<double, int>> ranked;
    for (const int candidate : candidates)
        ranked.append({meanDifference({index}, m_membersOf.value(candidate)), candidate});
    std::sort(ranked.begin(), ranked.end());
    int group = index;
    for (const auto& [mean, candidate] : ranked) {
        if (mean > 1.0)
            break;
        if (group == index || meanDifference(m_membersOf.value(group), m_membersOf.value(candidate)) <= 1.0)
            group = join(group, candidate, &changed);
    }
    m_buckets[bucket].append(index);
    // The new picture's own group only existed within this call.
    changed.gone.removeAll(index);
    if (!changed.groups.contains(group))
        changed.groups.append(group);
    // Only the survivors are reported as changed; a group that was joined away is gone.
    changed.groups.erase(std::remove_if(changed.groups.begin(), changed.groups.end(),
                                        [&](int id) { return changed.gone.contains(id); }),
                         changed.groups.end());
    return changed;
}

int CLookalikeGroups::join(int a, int b, Changed* changed)
{
    int keep = root(a);
    int drop = root(b);
    // The larger group keeps its id, so that fewer tiles have to learn a new one; of two alike
    // the older one, so that a new picture never renames the group it joins.
    const int keepSize = m_membersOf.value(keep).size();
    const int dropSize = m_membersOf.value(drop).size();
    if (keepSize < dropSize || (keepSize == dropSize && drop < keep))
        std::swap(keep, drop);
    m_pictures[drop].parent = keep;
    const QVector<int> left = m_membersOf.take(keep);
    const QVector<int> right = m_membersOf.take(drop);
    QVector<int> merged;
    merged.reserve(left.size() + right.size());
    std::merge(left.begin(), left.end(), right.begin(), right.end(), std::back_inserter(merged),
               [this](int x, int y) { return before(x, y); });
    m_membersOf.insert(keep, merged);
    // Every picture points straight at its root, so root() is one step.
    for (const int member : merged)
        m_pictures[member].parent = keep;
    if (!changed->groups.contains(keep))
        changed->groups.append(keep);
    if (!changed->gone.contains(drop))
        changed->gone.append(drop);
    return keep;
}

int CLookalikeGroups::group(const QString& path) const
{
    const auto found = m_indexOf.constFind(path);
    return found == m_indexOf.constEnd() ? -1 : root(*found);
}

int CLookalikeGroups::groupSize(int groupId) const
{
    return m_membersOf.value(groupId).size();
}

QStringList CLookalikeGroups::members(int groupId) const
{
    QStringList paths;
    for (const int member : m_membersOf.value(groupId))
        paths.append(m_pictures.at(member).path);
    return paths;
}

QStringList CLookalikeGroups::firstOfEach() const
{
    QVector<int> firsts;
    firsts.reserve(m_membersOf.size());
    for (auto it = m_membersOf.constBegin(); it != m_membersOf.constEnd(); ++it)
        firsts.append(it->first());
    std::sort(firsts.begin(), firsts.end(), [this](int x, int y) { return before(x, y); });
    QStringList paths;
    for (const int first : firsts)
        paths.append(m_pictures.at(first).path);
    return paths;
}
