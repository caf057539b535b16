// SPDX-License-Identifier: MIT
#include "Export/CExportHistory.h"

#include "CLogging.h"
#include "CSafeWrite.h"
#include "Records/CJsonFile.h"

#include <QFile>
#include <QJsonObject>

namespace {

QStringList foldersOf(const QJsonObject& history)
{
    QStringList folders;
    const QList<QJsonObject> pages =
        CJsonFile::numberedObjects(history.value(QStringLiteral("page")).toObject());
    for (const QJsonObject& page : pages)
        folders.append(page.value(QStringLiteral("save_path")).toString());
    return folders;
}

// True when rewriting the file from its folders loses nothing the reader understood: only a
// "page" object whose members are objects with a text "save_path" (or none).
bool hasHistoryShape(const QJsonObject& history)
{
    for (auto it = history.constBegin(); it != history.constEnd(); ++it)
        if (it.key() != QLatin1String("page") || !it.value().isObject())
            return false;
    const QJsonObject pages = history.value(QStringLiteral("page")).toObject();
    for (const QJsonValue& page : pages) {
        if (!page.isObject())
            return false;
        const QJsonValue path = page.toObject().value(QStringLiteral("save_path"));
        if (!path.isUndefined() && !path.isString())
            return false;
    }
    return true;
}

} // namespace

QStringList CExportHistory::readFolders(const QString& historyPath)
{
    return foldersOf(CJsonFile::read(historyPath));
}

bool CExportHistory::addFolder(const QString& historyPath, const QString& folder)
{
    bool parsed = false;
    const QJsonObject history = CJsonFile::read(historyPath, &parsed);
    QStringList folders = foldersOf(history);
    // A file that cannot be read, or not as a history, is kept aside before it is replaced.
    if ((!parsed || !hasHistoryShape(history)) && QFile::exists(historyPath)) {
        if (keepBrokenFile(historyPath).isEmpty())
            qCDebug(lcExport) << "cannot keep unreadable history" << historyPath;
    }
    if (!folders.contains(folder))
        folders.append(folder);

    const QJsonObject pages = CJsonFile::numbered(folders.size(), [&](int i) {
        return QJsonObject{{QStringLiteral("save_path"), folders.at(i)}};
    });
    return CJsonFile::write(historyPath, QJsonObject{{QStringLiteral("page"), pages}});
}
