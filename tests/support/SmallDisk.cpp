// SPDX-License-Identifier: MIT
#include "SmallDisk.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {
const char FillerName[] = ".filler";
}

SmallDisk::SmallDisk(qint64 bytes)
{
#ifdef Q_OS_LINUX
    if (::geteuid() != 0 || !m_folder.isValid())
        return;
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_folder.path()).constData(), "tmpfs", 0,
                        options.constData()) == 0;
#else
    Q_UNUSED(bytes)
#endif
}

SmallDisk::~SmallDisk()
{
#ifdef Q_OS_LINUX
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder.path()).constData(), MNT_DETACH);
#endif
}

void SmallDisk::fill(qint64 room)
{
    if (!m_mounted)
        return;
    // Blocks of shrinking size: whole pages first, then what is left of the last one.
    QFile filler(filePath(QLatin1String(FillerName)));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return;
    const QByteArray page(4096, 'x');
    while (filler.write(page) == page.size()) {
    }
    filler.close();
    if (room > 0)
        filler.resize(qMax<qint64>(0, filler.size() - room));
}

void SmallDisk::release()
{
    QFile::remove(filePath(QLatin1String(FillerName)));
}

FileSizeCap::FileSizeCap(qint64 bytes)
{
#ifdef Q_OS_LINUX
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    m_oldSoft = limit.rlim_cur;
    limit.rlim_cur = rlim_t(bytes);
    m_set = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
#else
    Q_UNUSED(bytes)
#endif
}

FileSizeCap::~FileSizeCap()
{
#ifdef Q_OS_LINUX
    if (!m_set)
        return;
    struct rlimit limit = {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_oldSoft);
    ::setrlimit(RLIMIT_FSIZE, &limit);
#endif
}
