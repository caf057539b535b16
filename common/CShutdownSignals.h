// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals a desktop sends at log-out or shut-down (SIGTERM, SIGHUP) into a Qt signal
// on the thread that made this object, so the program can keep the user's work before it ends.
// The handler itself only writes one byte into a pipe (all a signal handler may safely do); the
// notifier on the other end emits shutdownRequested. Nothing happens on platforms without these
// signals. At most one instance at a time; the previous handlers come back when it is destroyed.
// Work that runs without returning to the event loop (an install step) polls requested().
class CShutdownSignals : public QObject
{
    Q_OBJECT
public:
    explicit CShutdownSignals(QObject* parent = nullptr);
    ~CShutdownSignals() override;

    // Whether one of the signals arrived since this object was made. Safe from any thread.
    static bool requested();

signals:
    void shutdownRequested(int signalNumber);

private:
    void onSignalled();

    QSocketNotifier* m_notifier = nullptr;
};
