// SPDX-License-Identifier: MIT
#include "Export/CExportSelection.h"

#include "CProgramFiles.h"
#include "Records/CJsonFile.h"

#include <QJsonValue>

namespace {
// A name read from the file becomes one path segment below the export folder; a separator or a
// dot segment would lead elsewhere.
bool isPlainName(const QString& name)
{
    return name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\'));
}
} // namespace

QString CExportSelection::filePath(const QString& exportFolder)
{
    return CProgramFiles::join(exportFolder, fileName());
}

QString CExportSelection::picturePath(const QString& exportFolder, const QString& pageName,
                                      const QString& pictureName)
{
    return CProgramFiles::join(CProgramFiles::join(exportFolder, pageName), pictureName);
}

QJsonObject CExportSelection::toJson() const
{
    QJsonObject pageObject;
    for (const Page& page : pages) {
        const QJsonObject files = CJsonFile::numbered(page.pictureNames.size(), [&](int i) {
            return QJsonObject{{QStringLiteral("picture_name"), page.pictureNames.at(i)}};
        });
        pageObject.insert(page.key, QJsonObject{{QStringLiteral("page_name"), page.name},
                                                {QStringLiteral("page_files"), files}});
    }
    const QJsonObject addition{{QStringLiteral("save_data"), saveDate},
                               {QStringLiteral("save_path"), savePath}};
    return QJsonObject{{QStringLiteral("addition"), addition}, {QStringLiteral("page"), pageObject}};
}

CExportSelection CExportSelection::fromJson(const QJsonObject& object)
{
    CExportSelection selection;
    const QJsonObject addition = object.value(QStringLiteral("addition")).toObject();
    selection.saveDate = addition.value(QStringLiteral("save_data")).toString();
    selection.savePath = addition.value(QStringLiteral("save_path")).toString();

    const QJsonObject pageObject = object.value(QStringLiteral("page")).toObject();
    for (auto it = pageObject.constBegin(); it != pageObject.constEnd(); ++it) {
        const QJsonObject member = it.value().toObject();
        Page page;
        page.key = it.key();
        page.name = member.value(QStringLiteral("page_name")).toString();
        if (!isPlainName(page.name))
            continue;
        const QList<QJsonObject> files =
            CJsonFile::numberedObjects(member.value(QStringLiteral("page_files")).toObject());
        for (const QJsonObject& file : files) {
            const QString name = file.value(QStringLiteral("picture_name")).toString();
            if (isPlainName(name))
                page.pictureNames.append(name);
        }
        selection.pages.append(page);
    }
    return selection;
}

CExportSelection CExportSelection::read(const QString& exportFolder, bool* ok)
{
    return fromJson(CJsonFile::read(filePath(exportFolder), ok));
}
