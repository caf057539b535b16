// SPDX-License-Identifier: MIT
#include "CShutdownSignals.h"

#include "CLogging.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_requested = 0;
struct sigaction g_previousTerm;
struct sigaction g_previousHup;

extern "C" void onShutdownSignal(int number)
{
    g_requested = 1;
    const char byte = char(number);
    const ssize_t written = ::write(g_pipe[1], &byte, 1);
    (void)written; // nothing more can be done inside a signal handler
}
} // namespace
#endif

CShutdownSignals::CShutdownSignals(QObject* parent) : QObject(parent)
{
#ifdef Q_OS_UNIX
    if (g_pipe[0] >= 0 || ::pipe(g_pipe) != 0) {
        qCWarning(lcProcess) << "shutdown signals not watched";
        return;
    }
    for (int fd : g_pipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
    }
    g_requested = 0;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CShutdownSignals::onSignalled);
    struct sigaction action = {};
    action.sa_handler = onShutdownSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &g_previousTerm);
    ::sigaction(SIGHUP, &action, &g_previousHup);
#endif
}

CShutdownSignals::~CShutdownSignals()
{
#ifdef Q_OS_UNIX
    if (!m_notifier)
        return;
    ::sigaction(SIGTERM, &g_previousTerm, nullptr);
    ::sigaction(SIGHUP, &g_previousHup, nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
#endif
}

bool CShutdownSignals::requested()
{
#ifdef Q_OS_UNIX
    return g_requested != 0;
#else
    return false;
#endif
}

void CShutdownSignals::onSignalled()
{
#ifdef Q_OS_UNIX
    char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1)
        emit shutdownRequested(int(byte));
#endif
}
