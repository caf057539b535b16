// SPDX-License-Identifier: MIT
#include "CProgramFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QString& recordFolderOverride()
{
    static QString folder;
    return folder;
}

// QFileInfo::isWritable only reads permission bits; a read-only mount or an ACL would still
// refuse us, so try to create a file there.
bool canWriteInto(const QString& folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/.vellora-write-probe-XXXXXX"));
    return probe.open();
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
    if (!CProgramFiles::isSystemFolder(programFolder) && canWriteInto(programFolder))
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
