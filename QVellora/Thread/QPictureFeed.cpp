// SPDX-License-Identifier: MIT
#include "Thread/QPictureFeed.h"

#include "Pictures/CImageReading.h"
#include "Pictures/CPictureListModel.h"
#include "Thread/CThumbnailJob.h"
#include "Thread/CThumbnailPipeline.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QPointer>

namespace {

// The first file of a folder (any type, name order ignoring case, hidden ones left out): its
// thumbnail stands for the folder.
QString firstFileOf(const QString& folder)
{
    for (const QFileInfo& entry :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        if (entry.isFile())
            return entry.absoluteFilePath();
    }
    return QString();
}

} // namespace

QPictureFeed::QPictureFeed(CPictureListModel* model, QObject* parent)
    : QObject(parent), m_model(model), m_pool(new QThreadPool),
      m_workers(qMax(1, QThread::idealThreadCount()))
{
    qRegisterMetaType<CPictureFacts>("CPictureFacts");
    m_pool->setMaxThreadCount(m_workers);
}

QPictureFeed::~QPictureFeed()
{
    // A decode stuck for good (a dead network share) must not hold up the close.
    CThumbnailPipeline::releasePool(m_pool);
}

void QPictureFeed::show(const QStringList& folders, const QStringList& pictures)
{
    stop();
    // The cache switch is read once per source: a source keeps the choice it started with.
    m_cache = CThumbnailCache::forLoaders();
    m_model->setItems(folders, pictures);
    m_done = false;
    pump();
}

void QPictureFeed::stop()
{
    ++m_generation;
    m_pool->clear();
    // Thumbnails fetched for a category are wanted whatever the grid shows.
    for (auto job = m_inFlight.begin(); job != m_inFlight.end();)
        job = job.value() ? std::next(job) : m_inFlight.erase(job);
    m_sweep = 0;
    m_done = true;
}

void QPictureFeed::setVisibleRows(int first, int last)
{
    m_model->setFocus(first, last);
    pump();
}

void QPictureFeed::fetch(const QStringList& paths)
{
    if (m_done && m_inFlight.isEmpty())
        m_cache = CThumbnailCache::forLoaders();
    m_fetch.append(paths);
    pump();
}

int QPictureFeed::nextRow()
{
    const int rows = m_model->rowCount();
    auto wanted = [&](int row) {
        return row >= 0 && row < rows && m_model->needsThumbnail(row) &&
               !m_inFlight.contains(m_model->pathAt(row));
    };
    // Ahead of the screen only rows never looked at: an evicted row is made again when it shows,
    // not before (it would only push out another one).
    auto neverLoaded = [&](int row) { return wanted(row) && !m_model->isLoaded(row); };
    const int first = m_model->focusFirst();
    const int last = m_model->focusLast();
    if (last >= first) {
        for (int row = first; row <= last; ++row) {
            if (wanted(row))
                return row;
        }
        const int screen = last - first + 1;
        for (int step = 1; step <= screen; ++step) {
            if (neverLoaded(last + step))
                return last + step;
        }
        for (int step = 1; step <= screen; ++step) {
            if (neverLoaded(first - step))
                return first - step;
        }
    }
    return -1;
}

void QPictureFeed::pump()
{
    const int inFlightLimit = 2 * m_workers;
    const int rows = m_model->rowCount();
    while (m_inFlight.size() < inFlightLimit) {
        Job job;
        int row = nextRow();
        if (row < 0 && !m_fetch.isEmpty()) {
            job.path = m_fetch.takeFirst();
            job.fetched = true;
            if (m_inFlight.contains(job.path))
                continue;
        } else {
            while (row < 0 && m_sweep < rows) {
                const int candidate = m_sweep++;
                if (!m_model->isLoaded(candidate) && !m_inFlight.contains(m_model->pathAt(candidate)))
                    row = candidate;
            }
            if (row < 0)
                break;
            job.path = m_model->pathAt(row);
            job.folder = m_model->isFolder(row);
        }
        m_inFlight.insert(job.path, job.fetched);

        const int generation = m_generation;
        const std::optional<CThumbnailCache> cache = m_cache;
        const QPointer<QPictureFeed> feed(this);
        m_pool->start([feed, generation, job, cache]() {
            const QString file = job.folder ? firstFileOf(job.path) : job.path;
            CThumbnailPipeline::beforeWork(file);
            const CThumbnailJob::Outcome made =
                CThumbnailJob::make(cache, file, CImageReading::thumbnailBox(), !job.folder);
            // A worker left behind may finish after the feed is gone: the answer goes through
            // the application and is dropped there, on the interface thread, if so.
            QMetaObject::invokeMethod(
                qApp,
                [feed, generation, job, made]() {
                    if (feed)
                        feed->take(generation, job, made.thumbnail, made.facts);
                },
                Qt::QueuedConnection);
        });
    }
    if (!m_done && m_inFlight.isEmpty() && m_sweep >= rows && m_fetch.isEmpty()) {
        m_done = true;
        emit allLoaded();
    }
}

void QPictureFeed::take(int generation, const Job& job, const QImage& thumbnail, const CPictureFacts& facts)
{
    if (!job.fetched && generation != m_generation)
        return;
    m_inFlight.remove(job.path);
    const int row = m_model->rowOf(job.path);
    const bool firstTime = row < 0 || !m_model->isLoaded(row);
    if (row >= 0 && (generation == m_generation || !thumbnail.isNull()))
        m_model->setThumbnail(job.path, thumbnail);
    if (firstTime && (facts.isValid() || !facts.refusal.isEmpty())) {
        if (row >= 0)
            m_model->setFacts(job.path, facts);
        emit pictureFacts(job.path, facts);
    }
    if (!thumbnail.isNull())
        emit thumbnailReady(job.path, thumbnail);
    pump();
}
