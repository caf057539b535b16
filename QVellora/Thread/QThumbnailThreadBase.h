// SPDX-License-Identifier: MIT
#pragma once

#include "Thread/QWorkerThread.h"

#include <QImage>
#include <QStringList>

#include <functional>

// What the two thumbnail loaders share: the list to work through, the thumbnail bound, and the
// run over all cores that hands thumbnails back in list order (CThumbnailPipeline).
class QThumbnailThreadBase : public QWorkerThread
{
    Q_OBJECT
public:
    explicit QThumbnailThreadBase(QObject* parent = nullptr);

    // Interface thread, while no run is active.
    void SetPathList(QStringList pathList) { m_pathList = pathList; }
    // Interface thread, while no run is active. Thumbnails from the shared cache come before the
    // ones that are decoded (true, the default), or all of them strictly in list order.
    void SetCachedFirst(bool on) { m_cachedFirst = on; }

protected:
    // Worker side, from run(): makes the thumbnails of `paths` (fileOf(i) names the file to
    // decode for item i, empty for none) and calls handOver(i, thumbnail) once per item, in list
    // order or with the cached items first (SetCachedFirst).
    // Returns false when the run was stopped on the way.
    bool makeThumbnails(const QStringList& paths, const std::function<QString(int)>& fileOf,
                        const std::function<void(int, const QImage&)>& handOver);

    QStringList m_pathList;
    bool m_cachedFirst = true;
};
