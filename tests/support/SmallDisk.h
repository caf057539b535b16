// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QTemporaryDir>

// Disks that fill up, for the faults that only show when a write runs out of room.
//
// SmallDisk mounts a tmpfs of a few hundred KiB on a temporary folder; that needs root (CI runs
// as root), so isMounted() is false elsewhere and the test skips. fill() then takes all the room
// that is left, so the next write of any size fails the way a full disk does: after the bytes
// went into a buffer, at the flush.
class SmallDisk
{
public:
    explicit SmallDisk(qint64 bytes = 512 * 1024);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_folder.path(); }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }

    // Leaves at most `room` bytes free (tmpfs counts whole pages).
    void fill(qint64 room = 0);
    // Gives the room taken by fill() back.
    void release();

private:
    QTemporaryDir m_folder;
    bool m_mounted = false;
};

// While one exists, no file of this process can grow beyond `bytes` (RLIMIT_FSIZE, with SIGXFSZ
// ignored so the write fails with EFBIG instead of killing the test). Works without root: the
// unprivileged way to make a write fail partway.
class FileSizeCap
{
public:
    explicit FileSizeCap(qint64 bytes);
    ~FileSizeCap();
    FileSizeCap(const FileSizeCap&) = delete;
    FileSizeCap& operator=(const FileSizeCap&) = delete;

private:
    quint64 m_oldSoft = 0;
    bool m_set = false;
};

#define SKIP_UNLESS_MOUNTED(disk)                                                                            \
    do {                                                                                                     \
        if (!(disk).isMounted())                                                                             \
            QSKIP("a full disk is tried on a small tmpfs, which only root can mount");                       \
    } while (false)
