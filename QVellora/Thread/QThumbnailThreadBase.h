// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CPictureFacts.h"
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
    // Interface thread, while no run is active. Whether pictureFacts comes with the thumbnails
    // (true, the default).
    void SetMakeFacts(bool on) { m_makeFacts = on; }

signals:
    // Right after the thumbnail signal of a picture file (not of a folder's tile): its size,
    // capture time and look-alike hash, worked out on the workers. Stopped runs stay silent.
    // A picture refused for its size comes with the broken-picture tile, and its facts carry
    // only the reason (CPictureFacts::refusal), its size and its bytes.
    void pictureFacts(QString qstrPath, CPictureFacts facts);

protected:
    // Worker side, from run(): makes the thumbnails of `paths` (fileOf(i) names the file to
    // decode for item i, empty for none) and calls handOver(i, thumbnail, facts) once per item,
    // in list order or with the cached items first (SetCachedFirst). The facts are empty when the
    // thumbnail is null or facts are switched off.
    // Returns false when the run was stopped on the way.
    bool makeThumbnails(const QStringList& paths, const std::function<QString(int)>& fileOf,
                        const std::function<void(int, const QImage&, const CPictureFacts&)>& handOver);

    QStringList m_pathList;
    bool m_cachedFirst = true;
    bool m_makeFacts = true;
};
