// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The user's choices from the "&设置" menu that outlive a run, kept in "options.js" in the record
// folder beside the session and history files. A missing or unreadable file gives the defaults;
// a key that is missing or of another kind keeps its default.
class CProgramOptions
{
public:
    // Thumbnails are read from and written to the desktop's shared thumbnail cache.
    bool thumbnailCache = true;
    // The interface language: "system", "zh" or "en" (CUiLanguage); applied at the next start.
    QString language = QStringLiteral("system");
    // The side of the grid's tiles in pixels (the 视图 menu's slider, Ctrl+wheel).
    int tileSize = 180;

    static QString path();
    static CProgramOptions read(const QString& file = path());
    // Written whole through a temporary file; false when it could not be written.
    bool write(const QString& file = path()) const;
};
