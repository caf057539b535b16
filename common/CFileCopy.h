// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Copies the bytes of one file into a new file beside target, then gives it the target's name, so
// a copy cut short never leaves a half-written picture under the real name. Unlike QFile::copy it
// does not force the data to disk for every file: an export of hundreds of pictures would wait
// on the disk once per picture, and the copies are not records whose loss would hurt. Permissions
// follow the source.
//
// An existing target is never removed first: with replace true the finished copy is renamed over
// it in one step, so a copy that fails (a full disk) leaves the old file exactly as it was. With
// replace false an existing target makes the copy fail.
bool copyFileContents(const QString& source, const QString& target, bool replace = false);

// Gives the closed file at from the name to, replacing a file of that name in one step (rename,
// MoveFileExW on Windows): a reader sees the old file or the new one, never neither. QFile::rename
// never replaces an existing file.
bool renameFileOver(const QString& from, const QString& to);
