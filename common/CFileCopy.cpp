// SPDX-License-Identifier: MIT
#include "CFileCopy.h"

#include "CLogging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <vector>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cstdio>
#endif

namespace {

// Lets the kernel move the bytes (as cp does), without a round trip through our memory. False
// when the file system cannot, with nothing written, so the plain loop takes over.
bool copyInKernel(QFile& in, QFile& out)
{
#ifdef Q_OS_LINUX
    const qint64 size = in.size();
    qint64 copied = 0;
    while (copied < size) {
        const ssize_t moved = ::copy_file_range(in.handle(), nullptr, out.handle(), nullptr,
                                                size_t(qMin<qint64>(size - copied, 1 << 30)), 0);
        if (moved <= 0)
            break;
        copied += moved;
    }
    if (copied == size)
        return true;
    // Start over with the plain loop: rewind both files and drop what was moved.
    ::lseek(in.handle(), 0, SEEK_SET);
    ::lseek(out.handle(), 0, SEEK_SET);
    return false;
#else
    Q_UNUSED(in)
    Q_UNUSED(out)
    return false;
#endif
}

bool copyInLoop(QFile& in, QFile& out)
{
    out.resize(0);
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const qint64 got = in.read(buffer.data(), qint64(buffer.size()));
        if (got < 0) {
            qCDebug(lcFiles) << "read failed" << in.fileName() << in.errorString();
            return false;
        }
        if (got == 0)
            return true;
        if (out.write(buffer.data(), got) != got) {
            qCDebug(lcFiles) << "write failed" << out.fileName() << out.errorString();
            return false;
        }
    }
}

} // namespace

bool copyFileContents(const QString& source, const QString& target, bool replace)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        qCDebug(lcFiles) << "cannot read" << source << in.errorString();
        return false;
    }
    QTemporaryFile out(QFileInfo(target).absolutePath() + QStringLiteral("/.vellora-copy-XXXXXX"));
    if (!out.open()) {
        qCDebug(lcFiles) << "cannot write beside" << target << out.errorString();
        return false;
    }
    if (!copyInKernel(in, out) && !copyInLoop(in, out))
        return false;
    if (!out.flush() || !out.setPermissions(in.permissions()))
        return false;
    // The temporary file removes itself unless the rename succeeds.
    if (replace) {
        out.close();
        if (out.error() != QFileDevice::NoError || !renameFileOver(out.fileName(), target)) {
            qCDebug(lcFiles) << "cannot name the copy" << target;
            return false;
        }
    } else if (!out.rename(target)) {
        qCDebug(lcFiles) << "cannot name the copy" << target << out.errorString();
        return false;
    }
    out.setAutoRemove(false);
    return true;
}

bool renameFileOver(const QString& from, const QString& to)
{
#ifdef Q_OS_WIN
    return MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                       reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                       MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}
