// SPDX-License-Identifier: MIT
#include "Thread/QThumbnailThreadBase.h"

#include "CImageReading.h"
#include "Thread/CThumbnailPipeline.h"

QThumbnailThreadBase::QThumbnailThreadBase(QObject* parent) : QWorkerThread(parent) {}

bool QThumbnailThreadBase::makeThumbnails(const QStringList& paths, const std::function<QString(int)>& fileOf,
                                          const std::function<void(int, const QImage&)>& handOver)
{
    const CThumbnailPipeline pipeline(CImageReading::thumbnailBox());
    return pipeline.run(paths.size(), fileOf, handOver, [this]() { return isInterruptionRequested(); });
}
