// SPDX-License-Identifier: MIT
#pragma once

#include <QSet>
#include <QString>

// Naming rules of an export: which category names can become folder names on every desktop the
// program runs on, and free file names for different pictures that would land on the same name.
class CExportNames
{
public:
    // Whether a category name can be used as the name of its sub-folder. The empty name can: its
    // pictures go into the export folder itself. Refused: path separators, "." and "..", control
    // characters, the characters Windows forbids (<>:"|?*), a trailing dot or space, the Windows
    // device names (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, also with an extension) and names of
    // more than 255 bytes, and the name of the selection file ("select.js", in any case).
    static bool isSafeFolderName(const QString& name);

    // How a file name is compared with the names already given in one folder: ignoring case where
    // the file system does (Windows, macOS), exactly elsewhere.
    static QString nameKey(const QString& fileName);

    // fileName itself when its key is not taken, else the first free "name (2).ext", "name (3).ext"...
    static QString freeName(const QString& fileName, const QSet<QString>& takenKeys);
};
