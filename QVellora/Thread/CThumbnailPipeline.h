// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QThread>

#include <functional>

// Makes the thumbnails of a list on every core and hands them back strictly in list order, so
// what the user sees never depends on timing. Only a small window of items is in flight at once:
// one decoded picture per worker, and a few finished thumbnails waiting for their turn so that
// one slow picture does not leave the other workers idle.
class CThumbnailPipeline
{
public:
    explicit CThumbnailPipeline(const QSize& box, int workers = QThread::idealThreadCount());

    int workerCount() const { return m_workers; }
    int window() const { return 4 * m_workers; }

    // Runs on the calling thread and returns when every item has been delivered (true) or when
    // stopRequested() said so (false; nothing more is delivered and no decode is left running).
    // fileOf(i) is asked on the calling thread shortly before item i is decoded; an empty answer
    // means nothing to decode. deliver(i, thumbnail) is called on the calling thread for
    // i = 0, 1, ... in order; the thumbnail is null when the file is not a readable picture.
    bool run(int count, const std::function<QString(int)>& fileOf,
             const std::function<void(int, const QImage&)>& deliver,
             const std::function<bool()>& stopRequested) const;

private:
    QSize m_box;
    int m_workers;
};
