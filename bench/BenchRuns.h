// SPDX-License-Identifier: MIT
#pragma once

#include "Thread/QShowImageThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <ctime>

// Measuring helpers the page benchmarks share.
namespace BenchRuns {

// Processor time in seconds of the calling thread (CLOCK_THREAD_CPUTIME_ID) or the whole process
// (CLOCK_PROCESS_CPUTIME_ID): what a run costs, whatever else the machine is doing.
inline double cpuSeconds(clockid_t which)
{
    timespec now{};
    if (clock_gettime(which, &now) == 0)
        return now.tv_sec + now.tv_nsec / 1e9;
    return 0;
}

inline double threadCpuSeconds()
{
    return cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
}

inline double processCpuSeconds()
{
    return cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
}

// The loader on its own: the thumbnails arrive on this thread and are only counted. Seconds
// until it ended; count gets the number of thumbnails. makeFacts as the loader's SetMakeFacts.
inline double loaderAlone(QCoreApplication& app, const QStringList& files, int* count, bool makeFacts = true)
{
    QShowImageThread thread;
    thread.SetPathList(files);
    thread.SetMakeFacts(makeFacts);
    *count = 0;
    QObject::connect(&thread, &QShowImageThread::showOneImage,
                     [count](const QString&, const QImage&) { ++*count; });
    QObject::connect(&thread, &QShowImageThread::endShowOneImage, &app, &QCoreApplication::quit);
    QElapsedTimer clock;
    clock.start();
    thread.start();
    app.exec();
    return clock.nsecsElapsed() / 1e9;
}

} // namespace BenchRuns
