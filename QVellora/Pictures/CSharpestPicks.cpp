// SPDX-License-Identifier: MIT
#include "Pictures/CSharpestPicks.h"

#include "Pictures/CLookalikeGroups.h"

#include <QHash>
#include <QVector>

#include <algorithm>

namespace {

// The members of each group among paths, in the order of paths; groups in order of first member.
QVector<QStringList> groupsAmong(const QStringList& paths, const CLookalikeGroups& groups)
{
    QVector<QStringList> found;
    QHash<int, int> slotOf;
    for (const QString& path : paths) {
        const int group = groups.group(path);
        if (group < 0) {
            found.append({path}); // never added (no facts yet): a picture of its own
            continue;
        }
        const auto known = slotOf.constFind(group);
        if (known == slotOf.constEnd()) {
            slotOf.insert(group, found.size());
            found.append({path});
        } else {
            found[*known].append(path);
        }
    }
    return found;
}

} // namespace

QStringList CSharpestPicks::bySharpness(const QStringList& paths, const ScoreOf& scoreOf)
{
    QVector<std::pair<qreal, QString>> scored;
    for (const QString& path : paths)
        scored.append({scoreOf(path), path});
    std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) {
        const bool aScored = a.first >= 0;
        const bool bScored = b.first >= 0;
        return aScored != bScored ? aScored : aScored && a.first > b.first;
    });
    QStringList ordered;
    for (const auto& entry : scored)
        ordered.append(entry.second);
    return ordered;
}

QString CSharpestPicks::sharpestOf(const QStringList& paths, const ScoreOf& scoreOf)
{
    QString best;
    qreal bestScore = -1;
    for (const QString& path : paths) {
        const qreal score = scoreOf(path);
        if (score >= 0 && score > bestScore) {
            best = path;
            bestScore = score;
        }
    }
    return best;
}

QSet<QString> CSharpestPicks::sharpest(const QStringList& paths, const CLookalikeGroups& groups,
                                       const ScoreOf& scoreOf)
{
    QSet<QString> marked;
    for (const QStringList& members : groupsAmong(paths, groups)) {
        if (members.size() < 2)
            continue;
        const QString best = sharpestOf(members, scoreOf);
        if (!best.isEmpty())
            marked.insert(best);
    }
    return marked;
}

QStringList CSharpestPicks::picks(const QStringList& paths, const CLookalikeGroups& groups,
                                  const ScoreOf& scoreOf)
{
    QSet<QString> picked = sharpest(paths, groups, scoreOf);
    for (const QStringList& members : groupsAmong(paths, groups)) {
        if (members.size() == 1)
            picked.insert(members.first());
    }
    QStringList ordered;
    for (const QString& path : paths) {
        if (picked.contains(path))
            ordered.append(path);
    }
    return ordered;
}
