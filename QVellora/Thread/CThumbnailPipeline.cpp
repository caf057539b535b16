// SPDX-License-Identifier: MIT
#include "Thread/CThumbnailPipeline.h"

#include "CImageReading.h"

#include <QHash>
#include <QMutex>
#include <QThreadPool>
#include <QWaitCondition>

#include <memory>

namespace {

// Finished thumbnails by index, filled by the pool, drained in order by the caller.
struct Results
{
    QMutex mutex;
    QWaitCondition ready;
    QHash<int, QImage> done;
};

// How long the caller waits for the next thumbnail before it looks at the stop request again.
constexpr int stopPollMs = 20;

} // namespace

CThumbnailPipeline::CThumbnailPipeline(const QSize& box, int workers)
    : m_box(box), m_workers(qMax(1, workers))
{
}

bool CThumbnailPipeline::run(int count, const std::function<QString(int)>& fileOf,
                             const std::function<void(int, const QImage&)>& deliver,
                             const std::function<bool()>& stopRequested) const
{
    // The pool's tasks share the results through a shared pointer, so nothing they touch can
    // go away under them; the pool is joined before returning in any case.
    auto results = std::make_shared<Results>();
    QThreadPool pool;
    pool.setMaxThreadCount(m_workers);
    const QSize box = m_box;

    auto submit = [&](int index) {
        const QString path = fileOf(index);
        pool.start([results, index, path, box]() {
            const QImage thumbnail = path.isEmpty() ? QImage() : CImageReading::thumbnail(path, box);
            QMutexLocker lock(&results->mutex);
            results->done.insert(index, thumbnail);
            results->ready.wakeAll();
        });
    };

    bool stopped = false;
    int submitted = 0;
    for (int next = 0; next < count && !stopped; ++next) {
        while (submitted < count && submitted < next + window() && !stopRequested())
            submit(submitted++);

        QImage thumbnail;
        {
            QMutexLocker lock(&results->mutex);
            while (!results->done.contains(next) && !(stopped = stopRequested()))
                results->ready.wait(&results->mutex, stopPollMs);
            if (!stopped)
                thumbnail = results->done.take(next);
        }
        if (!stopped && !(stopped = stopRequested()))
            deliver(next, thumbnail);
    }
    if (stopped)
        pool.clear();
    pool.waitForDone();
    return !stopped;
}
