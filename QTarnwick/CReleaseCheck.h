// SPDX-License-Identifier: MIT
#pragma once

#include "CReleaseManifest.h"

#include <QByteArray>
#include <QString>

// Decides whether a downloaded release archive may be installed. The archive must match the
// manifest's sha256 when one is published, and, when the build names a release public key, the
// manifest must carry a sha256 and a valid Ed25519 signature by that key over its version and that
// sha256 together. Without a key, unsigned releases are accepted, so a service that publishes no
// signatures keeps working.
class CReleaseCheck
{
public:
    // The key this build trusts (base64 of the 32 raw bytes); empty when none was configured.
    static QByteArray releasePublicKey();

    // True when the archive may be installed; otherwise why says what failed.
    static bool accept(const QByteArray& archive, const CReleaseManifest& manifest,
                       const QByteArray& publicKeyBase64, QString* why);

    static bool signatureValid(const QByteArray& data, const QByteArray& signatureBase64,
                               const QByteArray& publicKeyBase64);
};
