// SPDX-License-Identifier: MIT
#include "CNormalFuntion.h"

#include "CFileCopy.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

bool copyFileToPath(QString source, QString target, bool overwrite)
{
    target.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (source == target)
        return true;
    if (!QFile::exists(source))
        return false;
    if (overwrite && QFile::exists(target))
        QFile::remove(target);
    if (!copyFileContents(source, target)) {
        qDebug() << "copy file false";
        return false;
    }
    return true;
}

bool getFolderEntries(QString folder, QStringList* out)
{
    const QFileInfoList entries = QDir(folder).entryInfoList();
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        out->append(entry.filePath());
    }
    return true;
}

bool copyFolderToPath(QString source, QString target, bool overwrite, QStringList* skip)
{
    QDir targetDir(target);
    if (!targetDir.exists() && !targetDir.mkdir(targetDir.absolutePath()))
        return false;

    const QDir sourceDir(source);
    const QFileInfoList entries = sourceDir.entryInfoList();
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        const QString targetPath = targetDir.filePath(name);
        if (entry.isDir()) {
            if (!copyFolderToPath(entry.filePath(), targetPath, overwrite, skip))
                return false;
            continue;
        }
        if (overwrite && QFile::exists(targetPath))
            QFile::remove(targetPath);
        const QString key = QLatin1Char('\\') + sourceDir.dirName() + QLatin1Char('\\') + name;
        if (skip && skip->contains(key))
            continue;
        if (!QFile::copy(entry.filePath(), targetPath))
            return false;
    }
    return true;
}
