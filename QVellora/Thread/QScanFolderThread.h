// SPDX-License-Identifier: MIT
#pragma once

#include "Thread/QScanThreadBase.h"

// Lists one folder level (the edit page's folder view): its sub-folders and the photos directly
// in it that the filter accepts, mixed in one name order ignoring case; hidden entries are left
// out. findOneFolderOrImage carries the whole list once, on the interface thread, at the end.
// A root that is not an existing, readable folder gives the result list unchanged (empty after
// SetScanPath), so every run that is not stopped answers once. A stopped run emits nothing and
// leaves the result list as it was before the run.
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
