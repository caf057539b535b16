// SPDX-License-Identifier: MIT
#include "CLogging.h"

// Debug lines are for developers: off unless QT_LOGGING_RULES turns them on ("vellora.*.debug=true").
// Warnings and errors always show.

Q_LOGGING_CATEGORY(lcScan, "vellora.scan", QtInfoMsg)
Q_LOGGING_CATEGORY(lcThumbnails, "vellora.thumbnails", QtInfoMsg)
Q_LOGGING_CATEGORY(lcExport, "vellora.export", QtInfoMsg)
Q_LOGGING_CATEGORY(lcRecords, "vellora.records", QtInfoMsg)
Q_LOGGING_CATEGORY(lcService, "vellora.service", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPages, "vellora.pages", QtInfoMsg)
Q_LOGGING_CATEGORY(lcFiles, "vellora.files", QtInfoMsg)
Q_LOGGING_CATEGORY(lcProcess, "vellora.process", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUpdater, "vellora.updater", QtInfoMsg)
Q_LOGGING_CATEGORY(lcReporter, "vellora.reporter", QtInfoMsg)
