// SPDX-License-Identifier: MIT
#include "Thread/CThumbnailPipeline.h"

#include "CLogging.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QThreadPool>
#include <QVector>
#include <QWaitCondition>

#include <atomic>
#include <memory>
#include <numeric>

namespace {

// How long the caller waits for the next thumbnail before it looks at the stop request again.
constexpr int stopPollMs = 20;

std::atomic<int> patienceMs{120000};
std::atomic<bool> leftBehind{false};
std::atomic<int> stopGraceMs{1000};
std::function<void(const QString&)> workerHook; // set by tests before any run

// A pool whose workers may be stuck for good in a decode (a file on a dead network share): it is
// given a short while to finish, and otherwise left to its stuck workers instead of being joined.
void release(QThreadPool* pool)
{
    pool->clear();
    if (pool->waitForDone(stopGraceMs.load())) {
        delete pool;
        return;
    }
    leftBehind.store(true);
    // Kept where it can still be found: it is never deleted, but it is not lost either.
    static QMutex keptMutex;
    static QVector<QThreadPool*> kept;
    QMutexLocker lock(&keptMutex);
    kept.append(pool);
    qCWarning(lcThumbnails) << "thumbnail workers did not come back; left behind";
}

} // namespace

void CThumbnailPipeline::setPatience(int patience, int stopGrace)
{
    patienceMs.store(patience);
    stopGraceMs.store(stopGrace);
}

bool CThumbnailPipeline::workersLeftBehind()
{
    return leftBehind.load();
}

void CThumbnailPipeline::beforeWork(const QString& file)
{
    if (workerHook)
        workerHook(file);
}

void CThumbnailPipeline::releasePool(QThreadPool* pool)
{
    release(pool);
}

void CThumbnailPipeline::setWorkerHookForTests(std::function<void(const QString&)> hook)
{
    workerHook = std::move(hook);
}

CThumbnailPipeline::CThumbnailPipeline(const QSize& box, int workers, std::optional<CThumbnailCache> cache)
    : m_box(box), m_workers(qMax(1, workers)), m_cache(std::move(cache))
{
}

bool CThumbnailPipeline::run(int count, const std::function<QString(int)>& fileOf,
                             const std::function<void(int, const QImage&)>& deliver,
                             const std::function<bool()>& stopRequested) const
{
    CThumbnailPipeline plain(*this);
    plain.m_makeFacts = false;
    return plain.runWithFacts(
        count, fileOf,
        [&deliver](int index, const QImage& thumbnail, const CPictureFacts&) { deliver(index, thumbnail); },
        stopRequested);
}

bool CThumbnailPipeline::runWithFacts(int count, const std::function<QString(int)>& fileOf,
                                      const FactsDelivery& deliver,
                                      const std::function<bool()>& stopRequested) const
{
    // On the heap: a pool with a stuck worker is left behind rather than joined (release()).
    QThreadPool* const heldPool = new QThreadPool;
    heldPool->setMaxThreadCount(m_workers);
    QThreadPool& pool = *heldPool;
    struct Release
    {
        QThreadPool* pool;
        ~Release() { release(pool); }
    } releaseAtEnd{heldPool};
    const QSize box = m_box;
    const bool makeFacts = m_makeFacts;

    // Both passes name the same file for an item; fileOf may do real work (list a folder).
    QVector<std::optional<QString>> files(count);
    auto fileAt = [&](int index) {
        if (!files.at(index))
            files[index] = fileOf(index);
        return *files.at(index);
    };
    QVector<int> all(count);
    std::iota(all.begin(), all.end(), 0);
    auto deliverOutcome = [&](int index, const Outcome& outcome) {
        deliver(index, outcome.thumbnail, outcome.facts);
    };

    if (!m_cache) {
        const Work decode = [box, makeFacts](const QString& file) {
            return CThumbnailJob::decode(file, box, makeFacts);
        };
        return pass(pool, all, fileAt, decode, deliverOutcome, stopRequested);
    }

    const CThumbnailCache cache = *m_cache;
    const Work lookUp = [cache, box, makeFacts](const QString& file) {
        return CThumbnailJob::lookUp(cache, file, box, makeFacts);
    };
    const Work decodeAndKeep = [cache, box, makeFacts](const QString& file) {
        return CThumbnailJob::decodeAndKeep(cache, file, box, makeFacts);
    };

    if (!m_cachedFirst) {
        const Work lookUpOrDecode = [lookUp, decodeAndKeep](const QString& file) {
            const Outcome cached = lookUp(file);
            return cached.settled ? cached : decodeAndKeep(file);
        };
        return pass(pool, all, fileAt, lookUpOrDecode, deliverOutcome, stopRequested);
    }

    QVector<int> misses;
    auto takeCached = [&](int index, const Outcome& outcome) {
        if (outcome.settled)
            deliverOutcome(index, outcome);
        else
            misses.append(index);
    };
    if (!pass(pool, all, fileAt, lookUp, takeCached, stopRequested))
        return false;
    return pass(pool, misses, fileAt, decodeAndKeep, deliverOutcome, stopRequested);
}

bool CThumbnailPipeline::pass(QThreadPool& pool, const QVector<int>& items,
                              const std::function<QString(int)>& fileAt, const Work& work,
                              const std::function<void(int, const Outcome&)>& take,
                              const std::function<bool()>& stopRequested) const
{
    // Finished outcomes by position in `items`, filled by the pool, drained in order here. The
    // tasks hold it through a shared pointer, so nothing they touch can go away under them; the
    // pool is joined before returning in any case.
    struct Results
    {
        QMutex mutex;
        QWaitCondition ready;
        QHash<int, Outcome> done;
    };
    auto results = std::make_shared<Results>();

    auto submit = [&](int position) {
        const QString file = fileAt(items.at(position));
        pool.start([results, position, file, work]() {
            if (workerHook)
                workerHook(file);
            Outcome outcome = work(file);
            QMutexLocker lock(&results->mutex);
            results->done.insert(position, std::move(outcome));
            results->ready.wakeAll();
        });
    };

    const int count = items.size();
    bool stopped = false;
    int submitted = 0;
    for (int next = 0; next < count && !stopped; ++next) {
        while (submitted < count && submitted < next + window() && !stopRequested())
            submit(submitted++);

        Outcome outcome;
        {
            QElapsedTimer waited;
            waited.start();
            QMutexLocker lock(&results->mutex);
            while (!results->done.contains(next) && !(stopped = stopRequested())) {
                if (waited.hasExpired(patienceMs.load())) {
                    // Its worker is stuck: the item counts as unreadable, and another worker
                    // takes the stuck one's place so that the others go on.
                    qCWarning(lcThumbnails) << "thumbnail worker stuck on" << fileAt(items.at(next));
                    pool.setMaxThreadCount(pool.maxThreadCount() + 1);
                    break;
                }
                results->ready.wait(&results->mutex, stopPollMs);
            }
            if (!stopped)
                outcome = results->done.take(next);
        }
        if (!stopped && !(stopped = stopRequested()))
            take(items.at(next), outcome);
    }
    // The pool is drained (or left behind) by the caller: a stuck worker holds up no one here.
    if (stopped)
        pool.clear();
    return !stopped;
}
