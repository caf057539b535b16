// SPDX-License-Identifier: MIT
#pragma once

#include <QLoggingCategory>

// The program's logging areas, one category each, so that a user can silence or pick them with
// QT_LOGGING_RULES (for example "vellora.*.debug=true", or "vellora.export.debug=true" alone).
// Debug output is off by default; warnings show.
// The main program, the updater and the reporter share this one list: the pieces in common/ log
// in the area of the program they serve.
Q_DECLARE_LOGGING_CATEGORY(lcScan)       // vellora.scan: searching folders for pictures
Q_DECLARE_LOGGING_CATEGORY(lcThumbnails) // vellora.thumbnails: decoding, the thumbnail cache
Q_DECLARE_LOGGING_CATEGORY(lcExport)     // vellora.export: copies, "select.js", the history
Q_DECLARE_LOGGING_CATEGORY(lcRecords)    // vellora.records: session, usage and option files
Q_DECLARE_LOGGING_CATEGORY(lcService)    // vellora.service: uploads and their conversions
Q_DECLARE_LOGGING_CATEGORY(lcPages)      // vellora.pages: pages, dialogs, drag and drop
Q_DECLARE_LOGGING_CATEGORY(lcFiles)      // vellora.files: file and folder copies
Q_DECLARE_LOGGING_CATEGORY(lcProcess)    // vellora.process: companions started, end signals
Q_DECLARE_LOGGING_CATEGORY(lcUpdater)    // vellora.updater: QTarnwick, archives, install journal
Q_DECLARE_LOGGING_CATEGORY(lcReporter)   // vellora.reporter: the usage report, both senders
