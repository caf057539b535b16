// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// The version manifest "version.js", published by the service and kept in the installation:
// {"version": 7, "soft_path": ..., "soft_update": {"sha256": "<hex>", "signature": "<base64>"}}.
// "sha256" and "signature" are optional.
//
// The signature covers the version and the archive's digest together (signedText), so a genuine
// old release cannot be announced under a newer number.
struct CReleaseManifest
{
    int version = 0;      // "version" as a whole number above 0: digits in a string count, anything else is 0
    QString sha256;       // hex digest of the release archive, empty when not published
    QByteArray signature; // Ed25519 over signedText(), base64, empty when not published

    // valid (optional) is false when the text holds no such version: not JSON, no object, or a
    // "version" that is missing, fractional, out of range or not digits.
    static CReleaseManifest fromJson(const QByteArray& json, bool* valid = nullptr);

    // The one text a release's signature is made over: "vellora-release\nversion: 7\nsha256: <hex>\n".
    static QByteArray signedText(int version, const QString& sha256);
    QByteArray signedText() const { return signedText(version, sha256); }
};
