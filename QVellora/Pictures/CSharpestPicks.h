// SPDX-License-Identifier: MIT
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class CLookalikeGroups;

// Which shot of a burst to keep: sharpness scores (CSharpness) are compared only between members
// of one look-alike group, never against a fixed bar, since noise and subject change what a score
// means from one scene to the next. A picture without a score is never called the sharpest. Plain
// functions over paths; the caller says which pictures count (those shown) and how to find a
// picture's score (from its facts).
class CSharpestPicks
{
public:
    using ScoreOf = std::function<qreal(const QString& path)>; // negative: no score

    // paths ordered by score, highest first; those without one keep their order at the end.
    static QStringList bySharpness(const QStringList& paths, const ScoreOf& scoreOf);
    // The sharpest of paths; empty when none has a score. Of equal scores the earlier one.
    static QString sharpestOf(const QStringList& paths, const ScoreOf& scoreOf);

    // The sharpest member of every group of two or more among paths (what carries the mark).
    static QSet<QString> sharpest(const QStringList& paths, const CLookalikeGroups& groups,
                                  const ScoreOf& scoreOf);
    // The picks, in the order of paths: every picture alone in its group among paths, and the
    // sharpest of every group of two or more. A group none of whose members has a score gives
    // none: it is for the user to choose there.
    static QStringList picks(const QStringList& paths, const CLookalikeGroups& groups,
                             const ScoreOf& scoreOf);
};
