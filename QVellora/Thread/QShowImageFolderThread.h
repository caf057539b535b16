// SPDX-License-Identifier: MIT
#pragma once

#include "Thread/QThumbnailThreadBase.h"

// Makes the thumbnails of a folder listing (folders and picture files mixed, as the folder scan
// reports them): one per picture file, and for each folder the thumbnail of its first file.
//
// Thumbnails are made on every core but the signals arrive in list order, on the interface
// thread. A picture file gives showSingleImage; a folder gives showFolderImage with all its
// files (any type, name order ignoring case, hidden ones left out) when its first file is a
// readable picture, and nothing otherwise; showSingleImage (never showFolderImage) is followed by
// pictureFacts for the same picture. Unreadable files are skipped silently.
// endShowMoreImages follows once per completed run, also for an empty list. A run that is
// stopped (Stop()) delivers nothing more, not even the end signal.
class QShowImageFolderThread : public QThumbnailThreadBase
{
    Q_OBJECT
public:
    explicit QShowImageFolderThread(QObject* parent = nullptr);
    ~QShowImageFolderThread() override;

signals:
    // The receivers make the pixmaps: pixmaps belong to the interface thread.
    void showSingleImage(QString qstrPath, QImage image);
    void showFolderImage(QString qstrFolderPath, QStringList listFolderPixmapPath, QImage image);
    void endShowMoreImages();

protected:
    void run() override;
};
