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
    auto handOver = [&](int i, const QImage& thumbnail, const CPictureFacts& facts) {
        if (thumbnail.isNull())
            return;
        deliver(ticket, [this, path = paths.at(i), thumbnail, facts]() {
            emit showOneImage(path, thumbnail);
            if (facts.isValid() || !facts.refusal.isEmpty())
                emit pictureFacts(path, facts);
        });
    };
    if (makeThumbnails(
            paths, [&paths](int i) { return paths.at(i); }, handOver))
        deliver(ticket, [this]() { emit endShowOneImage(); });
}
