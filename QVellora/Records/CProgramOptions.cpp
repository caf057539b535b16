// SPDX-License-Identifier: MIT
#include "Records/CProgramOptions.h"

#include "CProgramFiles.h"
#include "Records/CJsonFile.h"
#include "Records/CUiLanguage.h"

#include <QJsonObject>

namespace {
const QString thumbnailCacheKey = QStringLiteral("thumbnail_cache");
const QString languageKey = QStringLiteral("language");
const QString tileSizeKey = QStringLiteral("tile_size");
} // namespace

QString CProgramOptions::path()
{
    return CProgramFiles::recordPath(QStringLiteral("options.js"));
}

CProgramOptions CProgramOptions::read(const QString& file)
{
    const QJsonObject object = CJsonFile::read(file);
    CProgramOptions options;
    const QJsonValue cache = object.value(thumbnailCacheKey);
    if (cache.isBool())
        options.thumbnailCache = cache.toBool();
    options.language = CUiLanguage::normalisedChoice(object.value(languageKey).toString());
    const QJsonValue tile = object.value(tileSizeKey);
    if (tile.isDouble() && tile.toInt() >= 16 && tile.toInt() <= 4096)
        options.tileSize = tile.toInt();
    return options;
}

bool CProgramOptions::write(const QString& file) const
{
    // Keys of other versions are kept: an older copy run in between must not drop them.
    QJsonObject object = CJsonFile::read(file);
    object.insert(thumbnailCacheKey, thumbnailCache);
    object.insert(languageKey, CUiLanguage::normalisedChoice(language));
    object.insert(tileSizeKey, tileSize);
    return CJsonFile::write(file, object);
}
