// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CPictureFacts.h"
#include "Pictures/CThumbnailCache.h"
#include "Thread/CThumbnailJob.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QThread>
#include <QVector>

#include <functional>
#include <optional>

class QThreadPool;

// Makes the thumbnails of a list on every core and hands them back strictly in list order, so
// what the user sees never depends on timing. Only a small window of items is in flight at once:
// one decoded picture per worker, and a few finished thumbnails waiting for their turn so that
// one slow picture does not leave the other workers idle.
//
// With a thumbnail cache, the list is gone through twice: first every item the cache answers
// (a thumbnail, or a picture known to be undecodable), in list order, so a folder opened again
// fills at once; then the others are decoded, in list order, and their entries written. A caller
// that tells unreadable items by the gap they leave in the order asks for list order instead.
class CThumbnailPipeline
{
public:
    explicit CThumbnailPipeline(const QSize& box, int workers = QThread::idealThreadCount(),
                                std::optional<CThumbnailCache> cache = std::nullopt);

    int workerCount() const { return m_workers; }
    // With a cache, whether the cached items come first (the default) or everything comes in
    // list order.
    void setCachedFirst(bool on) { m_cachedFirst = on; }
    int window() const { return 4 * m_workers; }
    // Whether runWithFacts() works out each picture's facts (the default) or leaves them empty.
    void setMakeFacts(bool on) { m_makeFacts = on; }

    // How long the caller waits for one item's worker before it counts the item as unreadable
    // and goes on without that worker (2 min), and how long a run that ends waits for its workers
    // before it leaves stuck ones behind (1 s). For all pipelines of the process.
    static void setPatience(int patienceMs, int stopGraceMs);
    // Whether any run of the process left a stuck worker behind: the program then leaves
    // without tearing down the libraries that worker may still be in.
    static bool workersLeftBehind();
    // Tests only: called on the worker with the file before each item's work (a stuck decode).
    static void setWorkerHookForTests(std::function<void(const QString&)> hook);
    // For other thumbnail workers of the process (the grid's feed): the same test hook, and the
    // same end of a pool on the heap, deleted once its workers are back within the stop grace,
    // otherwise left to its stuck workers.
    static void beforeWork(const QString& file);
    static void releasePool(QThreadPool* pool);

    // Runs on the calling thread and returns when every item has been delivered (true) or when
    // stopRequested() said so (false; nothing more is delivered). Workers still busy then are
    // waited for briefly and otherwise left behind: a stuck decode never holds up the caller.
    // fileOf(i) is asked once, on the calling thread, shortly before item i is first looked at;
    // an empty answer means nothing to decode. deliver(i, thumbnail) is called on the calling
    // thread exactly once per item: for i = 0, 1, ... in order without a cache, and with one
    // first for the cached items, then for the others, each group in list order. The thumbnail
    // is null when the file is not a readable picture.
    bool run(int count, const std::function<QString(int)>& fileOf,
             const std::function<void(int, const QImage&)>& deliver,
             const std::function<bool()>& stopRequested) const;

    // As run(), and each delivery also carries the picture's facts, worked out on the pool from
    // what making the thumbnail read anyway (or, for a cached thumbnail, from the entry, else the
    // file's head). The facts are empty (invalid) when the thumbnail is null.
    using FactsDelivery = std::function<void(int, const QImage&, const CPictureFacts&)>;
    bool runWithFacts(int count, const std::function<QString(int)>& fileOf, const FactsDelivery& deliver,
                      const std::function<bool()>& stopRequested) const;

private:
    using Outcome = CThumbnailJob::Outcome;
    using Work = std::function<Outcome(const QString& file)>;

    // One ordered pass over `items`: work(file) runs on the pool, take(i, outcome) on the calling
    // thread in the order of `items`.
    bool pass(QThreadPool& pool, const QVector<int>& items, const std::function<QString(int)>& fileAt,
              const Work& work, const std::function<void(int, const Outcome&)>& take,
              const std::function<bool()>& stopRequested) const;

    QSize m_box;
    int m_workers;
    std::optional<CThumbnailCache> m_cache;
    bool m_cachedFirst = true;
    bool m_makeFacts = true;
};
