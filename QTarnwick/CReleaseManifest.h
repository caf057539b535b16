// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// The version manifest "version.js", published by the service and kept in the installation:
// {"version": 7, "soft_path": ..., "soft_update": {"sha256": "<hex>", "signature": "<base64>"}}.
// "sha256" and "signature" are optional.
struct CReleaseManifest
{
    int version = 0;      // "version" read as a whole number: digits in a string count, anything else is 0
    QString sha256;       // hex digest of the release archive, empty when not published
    QByteArray signature; // Ed25519 over the archive bytes, base64, empty when not published

    static CReleaseManifest fromJson(const QByteArray& json);
};
