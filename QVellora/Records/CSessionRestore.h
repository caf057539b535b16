// SPDX-License-Identifier: MIT
#pragma once

#include "Records/CLastSession.h"

#include <QHash>
#include <QStringList>

#include <functional>

class CSelection;

// Rebuilding the edit page's work from a session file, without widgets. A restore runs in two
// steps: start() takes the session read from the file and tells which thumbnails to make, and
// once they are made apply() rebuilds the categories in a selection and tells which pictures the
// grid shows.
//
// A file may name one picture by many spellings ("a/./b.jpg", "a//b.jpg", a link to it): each
// file counts as one picture, by the first spelling the file gives it, so that its thumbnail is
// made and kept once.
//
// Pictures the file names whose files are not there now (an unplugged card, a renamed folder)
// are never dropped: the restore remembers them until the session is written again, and
// keepUnshown() puts them back into what is written.
class CSessionRestore
{
public:
    // A new restore of session; what an earlier one remembered of missing pictures stays.
    void start(const CLastSession& session);
    // Gives up the pending restore.
    void cancel() { m_pending = CLastSession(); }
    const CLastSession& pending() const { return m_pending; }
    // The pictures whose thumbnails the restore needs, each file once, in the file's order.
    QStringList picturesToLoad() const { return m_pending.cachedPaths; }

    // The pictures of cached (every path with a thumbnail now, in cache order) inside the pending
    // session's folder: what the grid shows.
    QStringList gridPictures(const QStringList& cached) const;
    // Adds the pending session's categories below those of selection (names, print sizes and
    // the pictures that can be shown now) and ends the pending restore. Returns how many
    // category pictures are missing on disk.
    int apply(CSelection* selection, const QStringList& cached);

    // What the session keeps: restored categories keep their pictures that could not be shown,
    // and cached pictures that could not be shown stay listed. hasThumbnail tells which pictures
    // have one now.
    void keepUnshown(CLastSession* session, const std::function<bool(const QString&)>& hasThumbnail) const;

    // The same file however its path is spelt: its canonical path when it exists, else the path
    // cleaned of "." and ".." and doubled separators.
    static QString identity(const QString& path);

private:
    // Each file once, by its first spelling; empty paths dropped.
    QStringList onePerFile(const QStringList& paths);

    CLastSession m_pending;
    QHash<QString, QString> m_spellings; // identity -> the spelling kept
    struct RestoredRow
    {
        QStringList saved;
        QStringList shown;
    };
    QHash<int, RestoredRow> m_restoredRows; // by category row
    QStringList m_unshownCached;
};
