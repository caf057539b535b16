// SPDX-License-Identifier: MIT
#include "CReleaseManifest.h"

#include <QJsonDocument>
#include <QVariantMap>

CReleaseManifest CReleaseManifest::fromJson(const QByteArray& json)
{
    const QVariantMap map = QJsonDocument::fromJson(json).toVariant().toMap();
    CReleaseManifest manifest;
    manifest.version = map.value(QStringLiteral("version")).toInt();
    const QVariantMap update = map.value(QStringLiteral("soft_update")).toMap();
    manifest.sha256 = update.value(QStringLiteral("sha256")).toString().trimmed().toLower();
    manifest.signature = update.value(QStringLiteral("signature")).toString().trimmed().toLatin1();
    return manifest;
}

QByteArray CReleaseManifest::signedText(int version, const QString& sha256)
{
    return "vellora-release\nversion: " + QByteArray::number(version) +
           "\nsha256: " + sha256.trimmed().toLower().toLatin1() + '\n';
}
