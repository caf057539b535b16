// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

class QIODevice;

// The SHA-256 of a picture's bytes, as the upload ledger and the service's log keep it (lower-case
// hex). Where the build has OpenSSL its digest is used, which runs on the processor's SHA
// instructions: Qt's own is about ten times slower, and an upload of a few hundred photos would
// spend seconds of a core reading them. Both give the same digest. Any thread.
namespace CContentDigest {
// Reads device to its end; empty when a read fails.
QByteArray sha256Hex(QIODevice* device);
QByteArray sha256Hex(const QByteArray& bytes);
} // namespace CContentDigest
