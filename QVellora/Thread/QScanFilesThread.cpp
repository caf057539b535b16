// SPDX-License-Identifier: MIT
#include "Thread/QScanFilesThread.h"

#include "CLogging.h"

#include <QDirIterator>
#include <QElapsedTimer>

QScanFilesThread::QScanFilesThread(QObject* parent) : QScanThreadBase(parent) {}

QScanFilesThread::~QScanFilesThread()
{
    Stop();
}

void QScanFilesThread::run()
{
    const int ticket = runTicket();
    QElapsedTimer clock;
    clock.start();

    // A root that is missing or cannot be read still gives an answer, an empty one: the caller
    // waits for it behind a dialog that cannot be cancelled.
    QStringList found = m_resultList;
    if (!QFileInfo(m_rootPath).isDir()) {
        deliver(ticket, [this, found]() { emit findOnePicture(found); });
        return;
    }
    QDirIterator it(m_rootPath, QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        if (isInterruptionRequested())
            return;
        it.next();
        if (CheckFile(it.fileInfo()))
            found.append(it.filePath());
    }
    m_resultList = found;
    deliver(ticket, [this, found]() { emit findOnePicture(found); });

    qCDebug(lcScan) << "found" << found.size() << "pictures in" << clock.elapsed() << "ms";
}
