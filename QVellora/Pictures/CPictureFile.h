// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Opens the files the program reads pictures and thumbnail cache entries from. Only regular files
// are opened (after links): a named pipe would block the reader for ever, and a link to a device
// such as /dev/zero never ends. The check and the open are one step, so a file swapped for a pipe
// in between is refused as well.
class CPictureFile
{
public:
    // Opens path read-only into file (which must not be open). False, with file closed, for
    // anything but a readable regular file.
    static bool open(QFile& file, const QString& path);

    // At most maxBytes from the start of the regular file path; empty when it cannot be opened.
    // *whole, when given, tells whether that was the whole file.
    static QByteArray readHead(const QString& path, qint64 maxBytes, bool* whole = nullptr);
};
