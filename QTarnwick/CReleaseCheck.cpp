// SPDX-License-Identifier: MIT
#include "CReleaseCheck.h"

#include <QCryptographicHash>

#include <sodium.h>

QByteArray CReleaseCheck::releasePublicKey()
{
    return QByteArrayLiteral(VELLORA_RELEASE_PUBLIC_KEY).trimmed();
}

bool CReleaseCheck::signatureValid(const QByteArray& data, const QByteArray& signatureBase64,
                                   const QByteArray& publicKeyBase64)
{
    if (sodium_init() < 0)
        return false;
    const auto strict = QByteArray::AbortOnBase64DecodingErrors;
    const QByteArray::FromBase64Result signature = QByteArray::fromBase64Encoding(signatureBase64, strict);
    const QByteArray::FromBase64Result key = QByteArray::fromBase64Encoding(publicKeyBase64, strict);
    if (!signature || !key || signature.decoded.size() != crypto_sign_BYTES ||
        key.decoded.size() != crypto_sign_PUBLICKEYBYTES)
        return false;
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.decoded.constData()),
                                       reinterpret_cast<const unsigned char*>(data.constData()),
                                       static_cast<unsigned long long>(data.size()),
                                       reinterpret_cast<const unsigned char*>(key.decoded.constData())) == 0;
}

bool CReleaseCheck::accept(const QByteArray& archive, const CReleaseManifest& manifest,
                           const QByteArray& publicKeyBase64, QString* why)
{
    if (!manifest.sha256.isEmpty() &&
        QCryptographicHash::hash(archive, QCryptographicHash::Sha256).toHex() != manifest.sha256.toLatin1()) {
        *why = QStringLiteral("sha256 of the archive does not match the manifest");
        return false;
    }
    if (publicKeyBase64.isEmpty())
        return true;
    if (manifest.signature.isEmpty() || manifest.sha256.isEmpty()) {
        *why = QStringLiteral("the manifest carries no signature");
        return false;
    }
    if (!signatureValid(manifest.signedText(), manifest.signature, publicKeyBase64)) {
        *why = QStringLiteral("the release's signature does not verify for version %1").arg(manifest.version);
        return false;
    }
    return true;
}
