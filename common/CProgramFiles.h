// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Where the programs find their files. Folders and names are joined with the platform's
// separator, so on Windows they read "C:/Program Files/Vellora\history_data.js" exactly as the
// files have always been addressed.
//
// Record files (session, usage, history) live next to the program when that folder is writable
// (a build folder, a Windows installation). A copy installed where the user cannot write (under
// /usr) keeps them in the per-user data folder instead; otherwise it would silently lose every
// session. The main program and the usage reporter both ask here, so they always agree.
class CProgramFiles
{
public:
    static QString join(const QString& folder, const QString& name);
    static QString path(const QString& name); // in QCoreApplication::applicationDirPath()

    // The folder for record files, created on demand. The fallback is named after the product,
    // not after the running program, so that QVellora and QMerrowby share it.
    static QString recordFolder();
    // The rule itself, for a given program folder: that folder when this user may create files in
    // it (by permission: a full disk does not move the records), else the per-user folder (created).
    static QString recordFolderFor(const QString& programFolder);
    // Folders the package manager owns (/usr, /opt, /bin, /sbin and below; never on Windows),
    // whose files are not the program's to write even when it runs as root.
    static bool isSystemFolder(const QString& folder);
    static QString recordPath(const QString& name);

    static QString historyFile() { return recordPath(QStringLiteral("history_data.js")); }
    static QString saveLastFile() { return recordPath(QStringLiteral("save_last.js")); }
    static QString userDataFile() { return recordPath(QStringLiteral("user_data.js")); }
    // Delivered with the installation and only read: the copy in the record folder when there is
    // one, else the installation's own (an installed copy under /usr keeps its records elsewhere).
    static QString configFile();
    // Part of the installation itself: the updater compares and replaces it there.
    static QString versionFile() { return path(QStringLiteral("version.js")); }

    // For tests and special set-ups: use this folder for record files instead of the rule above.
    // An empty text restores the rule.
    static void setRecordFolderOverride(const QString& folder);
};
