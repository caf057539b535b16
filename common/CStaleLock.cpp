// SPDX-License-Identifier: MIT
#include "CStaleLock.h"

#include "CLogging.h"

#include <QFile>
#include <QLockFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {
#ifdef Q_OS_UNIX
// Whether no process holds the lock file: a live QLockFile keeps an flock on it.
bool nobodyHolds(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}
#else
bool nobodyHolds(const QString&)
{
    return true;
}
#endif
} // namespace

bool CStaleLock::take(QLockFile& lock, const QString& path)
{
    // A lock left by a process that is gone is taken over at once, however young.
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return true;
    if (lock.error() != QLockFile::LockFailedError)
        return false;
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock.getLockInfo(&pid, &host, &application) && pid > 0)
        return false;
    if (!nobodyHolds(path))
        return false;
    qCDebug(lcFiles) << "taking over a lock that names no owner:" << path;
    return lock.removeStaleLockFile() && lock.tryLock(0);
}
