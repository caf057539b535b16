// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Paths of the record files kept next to the program. Folders and names are joined with the
// platform's separator, so on Windows they read "C:/Program Files/Vellora\history_data.js"
// exactly as the files have always been addressed.
class CProgramFiles
{
public:
    static QString join(const QString& folder, const QString& name);
    static QString path(const QString& name); // in QCoreApplication::applicationDirPath()

    static QString historyFile() { return path(QStringLiteral("history_data.js")); }
    static QString saveLastFile() { return path(QStringLiteral("save_last.js")); }
    static QString userDataFile() { return path(QStringLiteral("user_data.js")); }
    static QString configFile() { return path(QStringLiteral("config.js")); }
    static QString versionFile() { return path(QStringLiteral("version.js")); }
};
