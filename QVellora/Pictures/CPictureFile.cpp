// SPDX-License-Identifier: MIT
#include "Pictures/CPictureFile.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

bool CPictureFile::open(QFile& file, const QString& path)
{
#ifdef Q_OS_UNIX
    // Without O_NONBLOCK the open of a pipe itself waits for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#else
    if (!QFileInfo(path).isFile())
        return false;
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
#endif
}

QByteArray CPictureFile::readHead(const QString& path, qint64 maxBytes, bool* whole)
{
    if (whole)
        *whole = false;
    QFile file;
    if (!open(file, path))
        return {};
    // One byte more than allowed tells a file of exactly maxBytes from a longer one.
    QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() <= maxBytes) {
        if (whole)
            *whole = true;
    } else {
        bytes.truncate(int(maxBytes));
    }
    return bytes;
}
