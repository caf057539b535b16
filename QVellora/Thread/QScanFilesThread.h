// SPDX-License-Identifier: MIT
#pragma once

#include "Thread/QScanThreadBase.h"

// Searches a whole folder tree for photos (the start page's search).
//
// run() walks every regular, non-hidden file below the root at any depth, without following
// links, in the file system's order, and appends each photo the filter accepts to the result
// list. At the end findOnePicture carries the whole list, once, on the interface thread.
// A root that is not an existing, readable folder gives the result list unchanged (empty after
// SetScanPath), so every run that is not stopped answers once. A stopped run emits nothing and
// leaves the result list as it was before the run.
class QScanFilesThread : public QScanThreadBase
{
    Q_OBJECT
public:
    explicit QScanFilesThread(QObject* parent = nullptr);
    ~QScanFilesThread() override;

signals:
    void findOnePicture(QStringList qstrPictureList);

protected:
    void run() override;
};
