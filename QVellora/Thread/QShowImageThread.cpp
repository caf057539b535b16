// SPDX-License-Identifier: MIT
#include "Thread/QShowImageThread.h"

#include "Thread/CThumbnailPipeline.h"

QShowImageThread::QShowImageThread(QObject* parent) : QWorkerThread(parent) {}

QShowImageThread::~QShowImageThread()
{
    Stop();
}

void QShowImageThread::run()
{
    const int ticket = runTicket();
    const QStringList paths = m_pathList;
    const CThumbnailPipeline pipeline(QSize(m_width, m_height));

    const bool completed = pipeline.run(
        paths.size(), [&paths](int i) { return paths.at(i); },
        [&](int i, const QImage& thumbnail) {
            if (!thumbnail.isNull())
                deliver(ticket, [this, path = paths.at(i), thumbnail]() { emit showOneImage(path, thumbnail); });
        },
        [this]() { return isInterruptionRequested(); });
    if (completed)
        deliver(ticket, [this]() { emit endShowOneImage(); });
}
