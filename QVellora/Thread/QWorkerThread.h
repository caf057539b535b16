// SPDX-License-Identifier: MIT
#pragma once

#include <QAtomicInt>
#include <QMetaObject>
#include <QThread>

// Base of the program's worker threads: a cooperative stop that also silences the stopped run.
//
// A run's signals are not emitted on the worker thread: the worker posts them to this object,
// which lives on the thread that created it (the interface thread), and they are emitted there,
// in the order they were posted. Stop() asks the run to end, joins it and discards whatever it
// posted but had not yet been delivered, so after Stop() returns no signal of the old run
// arrives and the thread can be configured and started again at once.
//
// Subclasses call Stop() in their own destructor: run() uses their members.
class QWorkerThread : public QThread
{
    Q_OBJECT
public:
    explicit QWorkerThread(QObject* parent = nullptr);
    ~QWorkerThread() override;

    // Interface thread only. Returns once the run (if any) has ended.
    void Stop();

protected:
    // The ticket of the current run; take it at the top of run().
    int runTicket() const { return m_ticket.loadAcquire(); }

    // Worker side: emit through this object's thread, unless the run has been stopped by then.
    template <typename Emit> void deliver(int ticket, Emit emitSignal)
    {
        QMetaObject::invokeMethod(
            this,
            [this, ticket, emitSignal]() {
                if (ticket == m_ticket.loadAcquire())
                    emitSignal();
            },
            Qt::QueuedConnection);
    }

private:
    QAtomicInt m_ticket;
};
