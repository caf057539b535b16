// SPDX-License-Identifier: MIT
#include "Thread/QScanFolderThread.h"

#include <QDir>

QScanFolderThread::QScanFolderThread(QObject* parent) : QScanThreadBase(parent) {}

QScanFolderThread::~QScanFolderThread()
{
    Stop();
}

void QScanFolderThread::run()
{
    const int ticket = runTicket();
    // A missing or unreadable root answers with an empty list: the page waits for an answer.
    if (!QFileInfo(m_rootPath).isDir()) {
        const QStringList found = m_resultList;
        deliver(ticket, [this, found]() { emit findOneFolderOrImage(found); });
        return;
    }

    // "." and ".." are filtered by the listing itself rather than by comparing paths, so a root
    // written with a trailing separator or with backslashes still keeps its sub-folders.
    const QFileInfoList entries =
        QDir(m_rootPath)
            .entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    QStringList found = m_resultList;
    for (const QFileInfo& entry : entries) {
        if (isInterruptionRequested())
            return;
        if (entry.isDir() || CheckFile(entry))
            found.append(entry.absoluteFilePath());
    }
    m_resultList = found;
    deliver(ticket, [this, found]() { emit findOneFolderOrImage(found); });
}
