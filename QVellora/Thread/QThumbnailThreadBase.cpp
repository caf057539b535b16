// SPDX-License-Identifier: MIT
#include "Thread/QThumbnailThreadBase.h"

#include "Pictures/CImageReading.h"
#include "Pictures/CThumbnailCache.h"
#include "Thread/CThumbnailPipeline.h"

QThumbnailThreadBase::QThumbnailThreadBase(QObject* parent) : QWorkerThread(parent)
{
    // For receivers on other threads, whose connections queue the facts.
    qRegisterMetaType<CPictureFacts>("CPictureFacts");
}

bool QThumbnailThreadBase::makeThumbnails(
    const QStringList& paths, const std::function<QString(int)>& fileOf,
    const std::function<void(int, const QImage&, const CPictureFacts&)>& handOver)
{
    // The cache switch is read once per run: a run keeps the choice it started with.
    CThumbnailPipeline pipeline(CImageReading::thumbnailBox(), QThread::idealThreadCount(),
                                CThumbnailCache::forLoaders());
    pipeline.setCachedFirst(m_cachedFirst);
    pipeline.setMakeFacts(m_makeFacts);
    return pipeline.runWithFacts(paths.size(), fileOf, handOver,
                                 [this]() { return isInterruptionRequested(); });
}
