// SPDX-License-Identifier: MIT
#pragma once

#include "Thread/QThumbnailThreadBase.h"

// Makes one thumbnail per picture file of a list (the edit page's start list and the restore of
// the last session).
//
// Thumbnails are made on every core but showOneImage arrives in list order, on the interface
// thread, one per readable picture: the picture upright, scaled to fit 270x270 with its aspect
// ratio kept (small pictures are enlarged). Files that are not readable pictures are skipped
// silently. Each showOneImage is followed by pictureFacts for the same picture (unless switched
// off). endShowOneImage follows once per completed run, also for an empty list. A run that is
// stopped (Stop()) delivers nothing more, not even the end signal.
class QShowImageThread : public QThumbnailThreadBase
{
    Q_OBJECT
public:
    explicit QShowImageThread(QObject* parent = nullptr);
    ~QShowImageThread() override;

signals:
    // The receiver makes the pixmap: pixmaps belong to the interface thread.
    void showOneImage(QString qstrPath, QImage image);
    void endShowOneImage();

protected:
    void run() override;
};
