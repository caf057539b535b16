// SPDX-License-Identifier: MIT
#pragma once

#include "Thread/QScanThreadBase.h"

// Lists one folder level (the edit page's folder view): its sub-folders and the photos directly
// in it that the filter accepts, mixed in one name order ignoring case; hidden entries are left
// out. findOneFolderOrImage carries the whole list once, on the interface thread, at the end.
// Nothing is emitted when the root is not an existing folder, nor for a run that is stopped:
// a stopped run leaves the result list as it was before the run.
class QScanFolderThread : public QScanThreadBase
{
    Q_OBJECT
public:
    explicit QScanFolderThread(QObject* parent = nullptr);
    ~QScanFolderThread() override;

signals:
    void findOneFolderOrImage(QStringList fileList);

protected:
    void run() override;
};
