// SPDX-License-Identifier: MIT
#include "CReleaseInstaller.h"

#include "CProgramFiles.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {
const QString NewSuffix = QStringLiteral(".tarnwick-new");
const QString KeptSuffix = QStringLiteral(".tarnwick-old");

// Relative paths of everything under root, sorted, so that a folder comes before its contents.
QStringList listTree(const QString& root, QDir::Filters filter)
{
    QStringList names;
    const QDir base(root);
    QDirIterator it(root, filter | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names.append(base.relativeFilePath(it.next()));
    names.sort();
    return names;
}

QString nativePath(const QString& folder, const QString& relative)
{
    return CProgramFiles::join(folder, QDir::toNativeSeparators(relative));
}
} // namespace

bool CReleaseInstaller::install(const QString& source, const QString& target)
{
    m_placed.clear();
    m_createdFolders.clear();
    bool ok = true;
    for (const QString& folder : listTree(source, QDir::Dirs)) {
        if (!makeFolder(nativePath(target, folder))) {
            ok = false;
            break;
        }
    }
    if (ok) {
        for (const QString& file : listTree(source, QDir::Files)) {
            if (!placeFile(nativePath(source, file), nativePath(target, file))) {
                ok = false;
                break;
            }
        }
    }
    if (ok)
        commit();
    else
        rollBack();
    return ok;
}

bool CReleaseInstaller::makeFolder(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return true;
    if (info.exists() || info.isSymLink() || !QDir().mkdir(path)) {
        qDebug() << "cannot create the folder" << path;
        return false;
    }
    m_createdFolders.append(path);
    return true;
}

bool CReleaseInstaller::placeFile(const QString& from, const QString& to)
{
    const QFileInfo old(to);
    if (old.isDir() && !old.isSymLink()) {
        qDebug() << "a folder stands where the release has a file:" << to;
        return false;
    }
    const QString fresh = to + NewSuffix;
    QFile::remove(fresh);
    if (!QFile::copy(from, fresh)) {
        qDebug() << "cannot write" << fresh;
        return false;
    }
    Placed placed{to, QString()};
    if (old.exists() || old.isSymLink()) {
        placed.kept = to + KeptSuffix;
        QFile::remove(placed.kept);
        if (!QFile::rename(to, placed.kept)) {
            qDebug() << "cannot move aside" << to;
            QFile::remove(fresh);
            return false;
        }
    }
    if (!QFile::rename(fresh, to)) {
        qDebug() << "cannot put in place" << to;
        if (!placed.kept.isEmpty())
            QFile::rename(placed.kept, to);
        QFile::remove(fresh);
        return false;
    }
    m_placed.append(placed);
    return true;
}

void CReleaseInstaller::rollBack()
{
    for (int i = m_placed.size() - 1; i >= 0; --i) {
        const Placed& placed = m_placed.at(i);
        QFile::remove(placed.path);
        if (!placed.kept.isEmpty() && !QFile::rename(placed.kept, placed.path))
            qDebug() << "cannot put back" << placed.path;
    }
    for (int i = m_createdFolders.size() - 1; i >= 0; --i)
        QDir().rmdir(m_createdFolders.at(i));
    m_placed.clear();
    m_createdFolders.clear();
}

void CReleaseInstaller::commit()
{
    for (const Placed& placed : qAsConst(m_placed)) {
        if (!placed.kept.isEmpty())
            QFile::remove(placed.kept);
    }
    m_placed.clear();
    m_createdFolders.clear();
}
