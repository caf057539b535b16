// SPDX-License-Identifier: MIT
#include "CReleaseManifest.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QVariantMap>

namespace {
// Releases are numbered by whole numbers; anything else reads as no number at all (0).
int wholeVersion(const QJsonValue& value)
{
    const int highest = 1000000000;
    if (value.isDouble()) {
        const double number = value.toDouble();
        return number >= 1 && number <= highest && number == double(qint64(number)) ? int(number) : 0;
    }
    const QString text = value.toString().trimmed();
    if (text.isEmpty() || text.size() > 10)
        return 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    }
    const qint64 number = text.toLongLong();
    return number >= 1 && number <= highest ? int(number) : 0;
}
} // namespace

CReleaseManifest CReleaseManifest::fromJson(const QByteArray& json, bool* valid)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    const QVariantMap map = document.toVariant().toMap();
    CReleaseManifest manifest;
    manifest.version = wholeVersion(document.object().value(QStringLiteral("version")));
    if (valid)
        *valid = manifest.version > 0;
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
