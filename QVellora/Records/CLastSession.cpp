// SPDX-License-Identifier: MIT
#include "Records/CLastSession.h"

#include "Records/CJsonFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {
const QString AdditionKey = QStringLiteral("addition");
const QString AllCachedKey = QStringLiteral("all_sed_image");
const QString PageKey = QStringLiteral("page");
const QString PageNameKey = QStringLiteral("page_name");
const QString PageFilesKey = QStringLiteral("page_files");
// Added later: a page without it is printed at the default size.
const QString PrintSizeKey = QStringLiteral("print_size");
const QString PictureNameKey = QStringLiteral("picture_name");
const QString PicturePathKey = QStringLiteral("picture_path");
const QString ScanKey = QStringLiteral("scan_image");
const QString TypeKey = QStringLiteral("type");
const QString PathKey = QStringLiteral("path");

// Windows file names ignore case; elsewhere "Trip" and "trip" are different folders.
constexpr Qt::CaseSensitivity PathCase =
#ifdef Q_OS_WIN
    Qt::CaseInsensitive;
#else
    Qt::CaseSensitive;
#endif

template <typename T, typename F> QJsonObject numbered(const QList<T>& items, F toValue)
{
    return CJsonFile::numbered(items.size(), [&](int i) { return QJsonValue(toValue(items.at(i))); });
}
} // namespace

bool CLastSession::operator==(const CLastSession& other) const
{
    return categories == other.categories && sourceKind == other.sourceKind &&
           chosenFolder == other.chosenFolder && cachedPaths == other.cachedPaths;
}

QJsonObject CLastSession::toJson() const
{
    const QJsonObject page = numbered(categories, [](const CCategory& category) {
        const QJsonObject files = numbered(category.pictures, [](const QString& path) {
            return QJsonObject{{PictureNameKey, QFileInfo(path).fileName()}, {PicturePathKey, path}};
        });
        return QJsonObject{
            {PageNameKey, category.name}, {PageFilesKey, files}, {PrintSizeKey, category.printSize}};
    });
    return QJsonObject{{AdditionKey, QJsonObject()},
                       {AllCachedKey, numbered(cachedPaths, [](const QString& path) { return path; })},
                       {PageKey, page},
                       {ScanKey, QJsonObject{{TypeKey, sourceKind}, {PathKey, chosenFolder}}}};
}

CLastSession CLastSession::fromJson(const QJsonObject& root)
{
    CLastSession session;
    const QJsonObject cached = root.value(AllCachedKey).toObject();
    for (auto it = cached.constBegin(); it != cached.constEnd(); ++it)
        session.cachedPaths.append(it.value().toString());
    for (const QJsonObject& page : CJsonFile::numberedObjects(root.value(PageKey).toObject())) {
        CCategory category;
        category.name = page.value(PageNameKey).toString();
        category.printSize = CPrintSize::byKey(page.value(PrintSizeKey).toString()).key();
        for (const QJsonObject& file : CJsonFile::numberedObjects(page.value(PageFilesKey).toObject()))
            category.pictures.append(file.value(PicturePathKey).toString());
        session.categories.append(category);
    }
    const QJsonObject scan = root.value(ScanKey).toObject();
    session.sourceKind = scan.value(TypeKey).toInt();
    session.chosenFolder = scan.value(PathKey).toString();
    return session;
}

bool CLastSession::write(const QString& path) const
{
    return CJsonFile::write(path, toJson());
}

CLastSession CLastSession::read(const QString& path, bool* ok)
{
    bool parsed = false;
    const QJsonObject root = CJsonFile::read(path, &parsed);
    const bool usable = parsed && hasSessionShape(root);
    if (ok)
        *ok = usable;
    return usable ? fromJson(root) : CLastSession();
}

bool CLastSession::hasSessionShape(const QJsonObject& root)
{
    auto objectOrMissing = [](const QJsonValue& value) { return value.isUndefined() || value.isObject(); };
    auto membersAre = [](const QJsonObject& collection, auto test) {
        for (auto it = collection.constBegin(); it != collection.constEnd(); ++it) {
            if (!test(it.value()))
                return false;
        }
        return true;
    };
    if (!objectOrMissing(root.value(PageKey)) || !objectOrMissing(root.value(AllCachedKey)) ||
        !objectOrMissing(root.value(ScanKey)) || root.value(PageKey).toObject().size() > MaxCategories)
        return false;
    if (!membersAre(root.value(AllCachedKey).toObject(), [](const QJsonValue& v) { return v.isString(); }))
        return false;
    return membersAre(root.value(PageKey).toObject(), [&](const QJsonValue& page) {
        const QJsonValue printSize = page.toObject().value(PrintSizeKey);
        return page.isObject() && objectOrMissing(page.toObject().value(PageFilesKey)) &&
               (printSize.isUndefined() || printSize.isString()) &&
               membersAre(page.toObject().value(PageFilesKey).toObject(),
                          [](const QJsonValue& file) { return file.isObject(); });
    });
}

QStringList CLastSession::restorablePictures(const CCategory& category, const QStringList& cachedPaths)
{
    return restorablePicturesIn(category, QSet<QString>(cachedPaths.cbegin(), cachedPaths.cend()));
}

QStringList CLastSession::restorablePicturesIn(const CCategory& category, const QSet<QString>& cached)
{
    QStringList pictures;
    for (const QString& path : category.pictures) {
        if (!path.isEmpty() && (cached.contains(path) || QFileInfo::exists(path)))
            pictures.append(path);
    }
    return pictures;
}

QStringList CLastSession::keepUnshown(const QStringList& saved, const QStringList& shown,
                                      const QStringList& now)
{
    if (now == shown)
        return saved;
    const QSet<QString> shownSet(shown.cbegin(), shown.cend());
    QSet<QString> kept(now.cbegin(), now.cend());
    QStringList result = now;
    for (const QString& path : saved) {
        if (!shownSet.contains(path) && !kept.contains(path)) {
            result.append(path);
            kept.insert(path);
        }
    }
    return result;
}

QStringList CLastSession::picturesInFolder(const QStringList& cachedPaths, const QString& folder)
{
    if (folder.isEmpty())
        return cachedPaths;
    QString prefix = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/'); // a root such as "/" or "C:/" already ends with one
    QStringList inside;
    for (const QString& path : cachedPaths) {
        if (QDir::fromNativeSeparators(path).startsWith(prefix, PathCase))
            inside.append(path);
    }
    return inside;
}
