// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Copies the bytes of one file into a new file beside target, then gives it the target's name, so
// a copy cut short never leaves a half-written picture under the real name. Unlike QFile::copy it
// does not force the data to disk for every file: an export of hundreds of pictures would wait
// on the disk once per picture, and the copies are not records whose loss would hurt. The target
// must not exist yet. Permissions follow the source.
bool copyFileContents(const QString& source, const QString& target);
