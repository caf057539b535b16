// SPDX-License-Identifier: MIT
#include "CExportHistory.h"

#include "CJsonFile.h"

#include <QDebug>
#include <QFile>
#include <QJsonObject>

namespace {

QStringList foldersOf(const QJsonObject& history)
{
    QStringList folders;
    const QList<QJsonObject> pages = CJsonFile::numberedObjects(history.value(QStringLiteral("page")).toObject());
    for (const QJsonObject& page : pages)
        folders.append(page.value(QStringLiteral("save_path")).toString());
    return folders;
}

} // namespace

QStringList CExportHistory::readFolders(const QString& historyPath)
{
    return foldersOf(CJsonFile::read(historyPath));
}

bool CExportHistory::addFolder(const QString& historyPath, const QString& folder)
{
    bool parsed = false;
    QStringList folders = foldersOf(CJsonFile::read(historyPath, &parsed));
    if (!parsed && QFile::exists(historyPath)) {
        const QString keep = historyPath + QStringLiteral(".broken");
        QFile::remove(keep);
        if (!QFile::copy(historyPath, keep))
            qDebug() << "cannot keep unreadable history" << historyPath;
    }
    if (!folders.contains(folder))
        folders.append(folder);

    QJsonObject pages;
    for (int i = 0; i < folders.size(); ++i)
        pages.insert(QString::number(i), QJsonObject{{QStringLiteral("save_path"), folders.at(i)}});
    return CJsonFile::write(historyPath, QJsonObject{{QStringLiteral("page"), pages}});
}
