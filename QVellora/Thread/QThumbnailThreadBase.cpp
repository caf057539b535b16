// SPDX-License-Identifier: MIT
#include "Thread/QThumbnailThreadBase.h"

#include "Thread/CThumbnailPipeline.h"

QThumbnailThreadBase::QThumbnailThreadBase(QObject* parent) : QWorkerThread(parent) {}

bool QThumbnailThreadBase::makeThumbnails(const QStringList& paths, const std::function<QString(int)>& fileOf,
                                          const std::function<void(int, const QImage&)>& handOver)
{
    const CThumbnailPipeline pipeline(QSize(m_width, m_height));
    return pipeline.run(paths.size(), fileOf, handOver, [this]() { return isInterruptionRequested(); });
}
