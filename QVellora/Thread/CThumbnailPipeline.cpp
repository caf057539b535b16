// SPDX-License-Identifier: MIT
#include "Thread/CThumbnailPipeline.h"

#include <QHash>
#include <QMutex>
#include <QThreadPool>
#include <QWaitCondition>

#include <memory>
#include <numeric>

namespace {

// How long the caller waits for the next thumbnail before it looks at the stop request again.
constexpr int stopPollMs = 20;

} // namespace

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
    QThreadPool pool;
    pool.setMaxThreadCount(m_workers);
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
            QMutexLocker lock(&results->mutex);
            while (!results->done.contains(next) && !(stopped = stopRequested()))
                results->ready.wait(&results->mutex, stopPollMs);
            if (!stopped)
                outcome = results->done.take(next);
        }
        if (!stopped && !(stopped = stopRequested()))
            take(items.at(next), outcome);
    }
    if (stopped)
        pool.clear();
    pool.waitForDone();
    return !stopped;
}
