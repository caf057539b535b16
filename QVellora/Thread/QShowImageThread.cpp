// SPDX-License-Identifier: MIT
#include "Thread/QShowImageThread.h"

QShowImageThread::QShowImageThread(QObject* parent) : QThumbnailThreadBase(parent) {}

QShowImageThread::~QShowImageThread()
{
    Stop();
}

void QShowImageThread::run()
{
    const int ticket = runTicket();
    const QStringList paths = m_pathList;
    auto handOver = [&](int i, const QImage& thumbnail) {
        if (!thumbnail.isNull())
            deliver(ticket, [this, path = paths.at(i), thumbnail]() { emit showOneImage(path, thumbnail); });
    };
    if (makeThumbnails(
            paths, [&paths](int i) { return paths.at(i); }, handOver))
        deliver(ticket, [this]() { emit endShowOneImage(); });
}
