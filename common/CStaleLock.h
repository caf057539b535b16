// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QLockFile;

// Takes a QLockFile that only a live process may keep. Qt judges a lock that names its owner (a
// gone owner makes it stale); a lock file naming no owner at all, as a power cut right after its
// creation leaves it, would block for good. It is stale too unless a live process still holds it.
class CStaleLock
{
public:
    // lock is on path. False when a live process holds the lock, or the file cannot be made.
    static bool take(QLockFile& lock, const QString& path);
};
