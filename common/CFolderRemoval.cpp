// SPDX-License-Identifier: MIT
#include "CFolderRemoval.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {
// Windows refuses to delete a read-only file; clear the flag and try again.
void removeFile(const QString& path)
{
    if (!QFile::remove(path)) {
        QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner);
        QFile::remove(path);
    }
}
} // namespace

bool deleteFolder(QString path)
{
    const QFileInfo root(path);
    if (root.isSymLink())
        return QFile::remove(path);
    if (!root.exists())
        return true;
    // Walk breadth first, then remove the folders deepest first.
    QStringList folders{root.absoluteFilePath()};
    for (int i = 0; i < folders.size(); ++i) {
        const QFileInfoList entries =
            QDir(folders.at(i))
                .entryInfoList(QDir::Dirs | QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                               QDir::Name);
        for (const QFileInfo& entry : entries) {
            if (entry.isDir() && !entry.isSymLink())
                folders.append(entry.absoluteFilePath());
            else
                removeFile(entry.absoluteFilePath());
        }
    }
    for (int i = folders.size() - 1; i >= 0; --i)
        QDir().rmdir(folders.at(i));
    return !QFileInfo::exists(root.absoluteFilePath());
}
