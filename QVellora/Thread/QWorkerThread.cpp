// SPDX-License-Identifier: MIT
#include "Thread/QWorkerThread.h"

QWorkerThread::QWorkerThread(QObject* parent) : QThread(parent) {}

QWorkerThread::~QWorkerThread()
{
    Stop();
}

void QWorkerThread::Stop()
{
    requestInterruption();
    wait();
    // Only after the join: every delivery of the old run carries the old ticket, and the next
    // run starts with the new one.
    m_ticket.fetchAndAddOrdered(1);
}
