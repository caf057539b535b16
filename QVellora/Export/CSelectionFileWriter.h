// SPDX-License-Identifier: MIT
#pragma once

#include "Export/CExportSelection.h"

#include <QDate>
#include <QSaveFile>

// Writes an export's "select.js". open() comes first, before any picture is copied, so that an
// export into a folder that cannot take the file stops before it starts. The file only replaces
// an older one at commit(); an export abandoned half-way leaves the old selection file as it was.
class CSelectionFileWriter
{
public:
    // exportFolder: the folder exactly as the folder dialog returned it.
    explicit CSelectionFileWriter(const QString& exportFolder);

    bool open();
    // Records one exported category under its row number; picture names are taken from the paths.
    void addPage(int row, const QString& name, const QStringList& picturePaths);
    bool commit(const QDate& exportDate = QDate::currentDate());
    void cancel();

private:
    QSaveFile m_file;
    CExportSelection m_selection;
};
