// SPDX-License-Identifier: MIT
#include "CProgramFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QString& recordFolderOverride()
{
    static QString folder;
    return folder;
}

// Decided by permission, never by a write that failed: a folder that is full for the moment (no
// room, no inodes) stays the record folder, so records never move between two folders without a
// word; the writes then fail and the user is told. access() also answers for ACLs and read-only
// mounts.
bool mayWriteInto(const QString& folder)
{
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
#else
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
#endif
}

// A copy installed by the package manager: even when it runs as root, who could write there, its
// records do not belong among the files the package manager owns.

} // namespace

QString CProgramFiles::join(const QString& folder, const QString& name)
{
    return folder + QDir::separator() + name;
}

QString CProgramFiles::path(const QString& name)
{
    return join(QCoreApplication::applicationDirPath(), name);
}

QString CProgramFiles::recordFolder()
{
    if (!recordFolderOverride().isEmpty()) {
        QDir().mkpath(recordFolderOverride());
        return recordFolderOverride();
    }
    // The answer does not change while the program runs; probing once keeps close fast.
    static const QString folder = recordFolderFor(QCoreApplication::applicationDirPath());
    return folder;
}

QString CProgramFiles::recordFolderFor(const QString& programFolder)
{
    if (!CProgramFiles::isSystemFolder(programFolder) && mayWriteInto(programFolder))
        return programFolder;
    const QString perUser =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Vellora");
    QDir().mkpath(perUser);
    return QDir::toNativeSeparators(perUser);
}

bool CProgramFiles::isSystemFolder(const QString& folder)
{
#ifdef Q_OS_UNIX
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    for (const char* prefix : {"/usr", "/opt", "/bin", "/sbin"})
        if (path == QLatin1String(prefix) || path.startsWith(QLatin1String(prefix) + QLatin1Char('/')))
            return true;
#else
    Q_UNUSED(folder)
#endif
    return false;
}

QString CProgramFiles::recordPath(const QString& name)
{
    return join(recordFolder(), name);
}

QString CProgramFiles::configFile()
{
    const QString name = QStringLiteral("config.js");
    const QString record = recordPath(name);
    if (QFileInfo::exists(record))
        return record;
    const QString installed = path(name);
    return QFileInfo::exists(installed) ? installed : record;
}

void CProgramFiles::setRecordFolderOverride(const QString& folder)
{
    recordFolderOverride() = folder;
}
