// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CPhotoFilter.h"
#include "Thread/QWorkerThread.h"

#include <QFileInfo>
#include <QStringList>

// What the two folder searches share: the root, the accumulated result list and the photo
// filter. Setters are for the interface thread while no run is active (Stop() first).
class QScanThreadBase : public QWorkerThread
{
    Q_OBJECT
public:
    explicit QScanThreadBase(QObject* parent = nullptr);

    // Also empties the result list; without it a new run appends to the previous result.
    void SetScanPath(QString qstrPath);
    void SetSuffixList(QStringList suffixList) { m_filter.setSuffixes(suffixList); }
    // Kept beside SetEndTime as the search's named setter; callers set the whole filter today.
    void SetBeginTime(QDateTime beginTime) { m_filter.setBeginTime(beginTime); }
    void SetEndTime(QDateTime endTime) { m_filter.setEndTime(endTime); }
    void SetFilter(const CPhotoFilter& filter) { m_filter = filter; }

    // The file rule: exists, modified strictly inside the window, accepted suffix.
    bool CheckFile(const QFileInfo& file) const { return m_filter.accepts(file); }

protected:
    QString m_rootPath;
    QStringList m_resultList;
    CPhotoFilter m_filter;
};
