// SPDX-License-Identifier: MIT
#include "Thread/QScanThreadBase.h"

QScanThreadBase::QScanThreadBase(QObject* parent) : QWorkerThread(parent) {}

void QScanThreadBase::SetScanPath(QString qstrPath)
{
    m_rootPath = qstrPath;
    m_resultList.clear();
}
