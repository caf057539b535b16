// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

class QSaveFile;

// Writing files that must never end up empty or torn, and keeping unreadable ones aside.
//
// QSaveFile::commit() on Qt 5 reports success even when the last buffered bytes could not be
// written (a full disk): the old file is then replaced by a short or empty one. Every write here
// checks each write() and an explicit flush() before the rename; on any failure the save file is
// cancelled and the old file stays exactly as it was.

// Writes bytes into a save file the caller opened and commits it. False, with the save file
// cancelled, when any byte could not be written.
bool commitSaveFile(QSaveFile& file, const QByteArray& bytes);

// The whole file at once: replaces path only once every byte reached the file system.
bool writeFileSafely(const QString& path, const QByteArray& bytes);

// Copies an unreadable record file aside before it is replaced, under a name of its own each
// time: "<path>.broken", then "<path>.broken.2", "<path>.broken.3", ... so that no earlier copy
// is ever overwritten. Returns the name used, or an empty string when nothing could be kept
// (path missing, or the copy failed).
QString keepBrokenFile(const QString& path);
