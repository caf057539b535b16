// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// Plain file helpers shared by the main program and the updater. Failures are reported by the
// result only; nothing here shows a message.

// Copies one file. Backslashes in the target are turned into forward slashes first; a target
// that is the source file itself (equal text, the same canonical path, or the same device and
// inode) counts as done and nothing is touched. With overwrite false an existing target is never replaced
// (the copy fails). Folders on the target path are not created.
bool copyFileToPath(QString source, QString target, bool overwrite);

// Appends the full paths of the direct entries of a folder (files and sub-folders, hidden ones left
// out, by name ignoring case) to out. A missing folder appends nothing and still returns true.
bool getFolderEntries(QString folder, QStringList* out);

// Copies a folder tree into target (created when missing). A file is left out when the key
// "\<source folder name>\<file name>" is in skip. With overwrite true an existing target file is
// removed first, even when it is then skipped. Stops at the first failing copy or mkdir, and fails
// on a sub-folder that exists but cannot be listed. A target that is the source or lies inside it
// is refused before anything changes. Links to folders are left out (never followed); links to
// files are copied as the file they point to.
bool copyFolderToPath(QString source, QString target, bool overwrite, QStringList* skip);
