// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Reading release archives. Only the updater links this (and QuaZip).

// What one archive may unpack to at most. Both the sizes the archive declares and the bytes
// actually written are held against maxBytes.
struct CZipLimits
{
    qint64 maxBytes = qint64(1) << 30;
    int maxEntries = 20000;
};

// True when an archive entry name stays inside the folder it is unpacked into: not empty, not
// absolute ("/x", "\x"), no drive or stream colon ("C:x"), no ".." component with either separator.
bool isSafeZipEntryName(const QString& name);

// Unpacks the archive's entries into target, creating their sub-folders. An empty filter means all
// entries, otherwise only entries whose name contains it. Every entry is checked before anything is
// written: an unsafe name, a symbolic link or any other special entry, more entries or more declared
// bytes than the limits allow refuse the whole archive. Backslashes in names are folder separators.
// On false, target may hold part of the archive; the caller removes it.
bool quazip_extract(QString archive, QString target, QString filter, const CZipLimits& limits = CZipLimits());
