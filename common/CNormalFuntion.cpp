// SPDX-License-Identifier: MIT
#include "CNormalFuntion.h"

#include "CFileCopy.h"
#include "CLogging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {

// Two names of one file: the same path once links and "." / ".." are resolved, or (where the
// system tells) the same device and inode, which also catches hard links and bind mounts.
bool isSameFile(const QString& a, const QString& b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    if (!canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath())
        return true;
#ifdef Q_OS_UNIX
    struct stat statA;
    struct stat statB;
    if (::stat(QFile::encodeName(a).constData(), &statA) == 0 &&
        ::stat(QFile::encodeName(b).constData(), &statB) == 0)
        return statA.st_dev == statB.st_dev && statA.st_ino == statB.st_ino;
#endif
    return false;
}

// The absolute path with links resolved as far as the path exists; the missing rest is appended
// as written (cleaned), so a folder that is still to be made can be compared too.
QString resolvedPath(const QString& path)
{
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList missing;
    while (!QFileInfo::exists(existing)) {
        const int slash = existing.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            break;
        missing.prepend(existing.mid(slash + 1));
        existing.truncate(slash);
    }
    QString resolved = QFileInfo(existing).canonicalFilePath();
    if (resolved.isEmpty())
        resolved = existing;
    for (const QString& part : missing)
        resolved += QLatin1Char('/') + part;
    return resolved;
}

bool isInside(const QString& path, const QString& folder)
{
    return path == folder ||
           path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

bool canList(const QString& folder)
{
#ifdef Q_OS_UNIX
    DIR* handle = ::opendir(QFile::encodeName(folder).constData());
    if (!handle)
        return false;
    ::closedir(handle);
    return true;
#else
    return QDir(folder).isReadable();
#endif
}

bool copyTree(const QString& source, const QString& target, bool overwrite, QStringList* skip)
{
    // A folder that exists but cannot be read would list as empty; its files would be lost
    // without a word, so the copy fails instead.
    const QDir sourceDir(source);
    if (sourceDir.exists() && !canList(source))
        return false;
    QDir targetDir(target);
    if (!targetDir.exists() && !targetDir.mkdir(targetDir.absolutePath()))
        return false;
    const QFileInfoList entries = sourceDir.entryInfoList();
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        const QString targetPath = targetDir.filePath(name);
        if (entry.isDir()) {
            // A link to a folder can point at the tree itself (or twice at it); following it
            // copies without end.
            if (entry.isSymLink())
                continue;
            if (!copyTree(entry.filePath(), targetPath, overwrite, skip))
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

} // namespace

bool copyFileToPath(QString source, QString target, bool overwrite)
{
    target.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (source == target)
        return true;
    if (!QFile::exists(source))
        return false;
    // Removing the target first would delete the source when both name one file.
    if (isSameFile(source, target))
        return true;
    // The old target goes only when its replacement is complete: the copy is renamed over it.
    if (!copyFileContents(source, target, overwrite)) {
        qCWarning(lcFiles) << "copy file false";
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
    // A copy into the folder itself would remove its files (overwrite) and a copy into one of its
    // own sub-folders would never end.
    if (QFileInfo::exists(source) && isInside(resolvedPath(target), resolvedPath(source))) {
        qCDebug(lcFiles) << "copy folder refused: target" << target << "lies inside" << source;
        return false;
    }
    return copyTree(source, target, overwrite, skip);
}
