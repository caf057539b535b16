// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CPictureFacts.h"
#include "Pictures/CThumbnailCache.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QThreadPool>

#include <optional>

class CPictureListModel;

// Feeds the grid's picture model from the thumbnail workers. Rows are listed at once; then the
// workers make thumbnails and facts in the order the user needs them: the rows on screen first,
// then the next screenful ahead and the one behind, then every row not yet looked at in list
// order (each picture is gone through once, so that its facts and look-alike group are known).
// A row whose thumbnail was evicted from memory is made again when it is on screen: from the
// shared thumbnail cache, or decoded when that cache is switched off.
//
// Only a few pictures are in the workers at a time, so a scroll, a jump or a resize
// (setVisibleRows) re-orders everything still waiting at once. show() and stop() cancel what the
// last source asked for: nothing of it reaches the model afterwards. Interface thread only.
class QPictureFeed : public QObject
{
    Q_OBJECT
public:
    explicit QPictureFeed(CPictureListModel* model, QObject* parent = nullptr);
    ~QPictureFeed() override;

    // Lists the folders and pictures in the model (replacing its rows) and starts loading them.
    void show(const QStringList& folders, const QStringList& pictures);
    // Cancels everything; the model keeps its rows.
    void stop();
    // The rows on screen changed (scroll, jump, resize).
    void setVisibleRows(int first, int last);
    // Thumbnails wanted outside the grid (the pictures of a category); each comes back through
    // thumbnailReady, after the rows on screen and before the rest.
    void fetch(const QStringList& paths);
    // Every row has been through the workers once (also true for an empty list).
    bool isDone() const { return m_done; }
    int workerCount() const { return m_workers; }

signals:
    // The first thumbnail of a picture row was filed in the model, with what the workers learnt;
    // comes once per picture and source.
    void pictureFacts(QString qstrPath, CPictureFacts facts);
    // A thumbnail was made, for a row or for fetch().
    void thumbnailReady(QString qstrPath, QImage image);
    // Every row has been through the workers once.
    void allLoaded();

private:
    struct Job
    {
        QString path;
        bool folder = false;
        bool fetched = false;
    };
    // Hands work to idle workers.
    void pump();
    // The next row to make, or -1.
    int nextRow();
    void take(int generation, const Job& job, const QImage& thumbnail, const CPictureFacts& facts);

    CPictureListModel* m_model;
    // On the heap: a pool with a stuck worker is left behind at the end rather than joined.
    QThreadPool* m_pool;
    int m_workers;
    int m_generation = 0;
    // In the workers now, by path: whether fetch() asked for it (those outlive a new source).
    QHash<QString, bool> m_inFlight;
    QStringList m_fetch;
    int m_sweep = 0;
    bool m_done = true;
    std::optional<CThumbnailCache> m_cache;
};
