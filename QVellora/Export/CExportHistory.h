// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// "history_data.js": every export folder ever used, each once, in the order their keys sort as
// text. The file is renumbered "0", "1", ... at every write.
class CExportHistory
{
public:
    // The listed export folders; empty for a missing or unparsable file.
    static QStringList readFolders(const QString& historyPath);

    // Adds an export folder unless it is already listed (exact text comparison). An unparsable
    // history file, or valid JSON of another shape (anything but a "page" object of objects with
    // a text "save_path"), is kept beside the new one as "<name>.broken" (".broken.2", ... when
    // that is taken) instead of being lost.
    // Returns false when the file could not be written; the old file then stays as it was.
    static bool addFolder(const QString& historyPath, const QString& folder);
};
