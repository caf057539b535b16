// SPDX-License-Identifier: MIT
#include "CLogging.h"

Q_LOGGING_CATEGORY(lcScan, "vellora.scan")
Q_LOGGING_CATEGORY(lcThumbnails, "vellora.thumbnails")
Q_LOGGING_CATEGORY(lcExport, "vellora.export")
Q_LOGGING_CATEGORY(lcRecords, "vellora.records")
Q_LOGGING_CATEGORY(lcService, "vellora.service")
Q_LOGGING_CATEGORY(lcPages, "vellora.pages")
Q_LOGGING_CATEGORY(lcFiles, "vellora.files")
Q_LOGGING_CATEGORY(lcProcess, "vellora.process")
Q_LOGGING_CATEGORY(lcUpdater, "vellora.updater")
Q_LOGGING_CATEGORY(lcReporter, "vellora.reporter")
