// SPDX-License-Identifier: MIT
#include "CInstallJournal.h"

#include "CFileCopy.h"
#include "CLogging.h"

#include "CFolderRemoval.h"
#include "CSafeWrite.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {
const QString Placing = QStringLiteral("placing");
const QString Placed = QStringLiteral("placed");

QString inFolder(const QString& folder, const QString& relative)
{
    return QDir::cleanPath(folder + QLatin1Char('/') + relative);
}

bool present(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

struct Journal
{
    bool found = false;
    QString phase;
    QVector<CInstallJournal::File> files;
    QStringList folders;
};

Journal readJournal(const QString& folder)
{
    Journal journal;
    QFile file(inFolder(folder, CInstallJournal::journalName()));
    if (!file.open(QIODevice::ReadOnly))
        return journal;
    journal.found = true;
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    journal.phase = object.value(QStringLiteral("phase")).toString();
    for (const QJsonValue& value : object.value(QStringLiteral("files")).toArray()) {
        const QJsonObject entry = value.toObject();
        const QString path = entry.value(QStringLiteral("path")).toString();
        // The journal lies inside the installation it repairs; a name that leaves it is not ours.
        if (path.isEmpty() || QDir::isAbsolutePath(path) ||
            QDir::cleanPath(path).startsWith(QLatin1String("..")))
            continue;
        journal.files.append({path, entry.value(QStringLiteral("existed")).toBool()});
    }
    for (const QJsonValue& value : object.value(QStringLiteral("folders")).toArray()) {
        const QString path = value.toString();
        if (!path.isEmpty() && !QDir::isAbsolutePath(path) &&
            !QDir::cleanPath(path).startsWith(QLatin1String("..")))
            journal.folders.append(path);
    }
    return journal;
}
} // namespace

CInstallJournal::CInstallJournal(const QString& installFolder) : m_folder(installFolder) {}

bool CInstallJournal::begin(const QVector<File>& files, const QStringList& createdFolders)
{
    m_files = files;
    m_createdFolders = createdFolders;
    return write(Placing);
}

bool CInstallJournal::markPlaced()
{
    return write(Placed);
}

bool CInstallJournal::finish()
{
    const QString path = inFolder(m_folder, journalName());
    return QFile::remove(path) || !present(path);
}

bool CInstallJournal::write(const QString& phase)
{
    QJsonArray files;
    for (const File& file : qAsConst(m_files))
        files.append(
            QJsonObject{{QStringLiteral("path"), file.path}, {QStringLiteral("existed"), file.existed}});
    const QJsonObject object{{QStringLiteral("phase"), phase},
                             {QStringLiteral("files"), files},
                             {QStringLiteral("folders"), QJsonArray::fromStringList(m_createdFolders)}};
    return writeFileSafely(inFolder(m_folder, journalName()), QJsonDocument(object).toJson());
}

bool CInstallJournal::rollBack(const QString& installFolder)
{
    const Journal journal = readJournal(installFolder);
    bool ok = true;
    for (int i = journal.files.size() - 1; i >= 0; --i) {
        const File& file = journal.files.at(i);
        const QString target = inFolder(installFolder, file.path);
        const QString kept = keptName(target);
        QFile::remove(freshName(target));
        if (!file.existed) {
            if (present(target) && !QFile::remove(target))
                ok = false;
            continue;
        }
        // Without a kept copy the target was never touched.
        if (!present(kept))
            continue;
        if (!renameOver(kept, target)) {
            qCDebug(lcUpdater) << "cannot put back" << target;
            ok = false;
            continue;
        }
        // Renaming a name onto another name of the same file changes nothing: the new file was
        // not in place yet.
        if (present(kept))
            QFile::remove(kept);
    }
    for (int i = journal.folders.size() - 1; i >= 0; --i)
        QDir().rmdir(inFolder(installFolder, journal.folders.at(i)));
    if (ok)
        QFile::remove(inFolder(installFolder, journalName()));
    return ok;
}

bool CInstallJournal::complete(const QString& installFolder, const QVector<File>& files)
{
    for (const File& file : files) {
        const QString target = inFolder(installFolder, file.path);
        QFile::remove(freshName(target));
        QFile::remove(keptName(target));
    }
    return QFile::remove(inFolder(installFolder, journalName()));
}

CInstallJournal::Recovery CInstallJournal::recover(const QString& installFolder)
{
    if (!QFileInfo(installFolder).isDir())
        return Recovery::Nothing;
    QLockFile lock(inFolder(installFolder, lockName()));
    // Only a live updater holds the lock; one that was killed leaves a stale lock that is taken over.
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0))
        return lock.error() == QLockFile::LockFailedError ? Recovery::Busy : Recovery::Unwritable;
    Recovery result = Recovery::Nothing;
    const Journal journal = readJournal(installFolder);
    if (journal.found && journal.phase == Placed) {
        qCDebug(lcUpdater) << "completing an install that was cut short in" << installFolder;
        complete(installFolder, journal.files);
        result = Recovery::Completed;
    } else if (journal.found) {
        qCDebug(lcUpdater) << "rolling back an install that was cut short in" << installFolder;
        rollBack(installFolder);
        result = Recovery::RolledBack;
    }
    removeLeftovers(installFolder);
    return result;
}

void CInstallJournal::removeLeftovers(const QString& installFolder)
{
    deleteFolder(inFolder(installFolder, QStringLiteral("tmpExt")));
    QFile::remove(inFolder(installFolder, QStringLiteral("Vellora.zip")));
    const QString newSuffix = freshName(QString());
    const QString oldSuffix = keptName(QString());
    QStringList fresh;
    QStringList kept;
    QDirIterator it(installFolder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(newSuffix))
            fresh.append(path);
        else if (path.endsWith(oldSuffix))
            kept.append(path);
    }
    for (const QString& path : qAsConst(fresh))
        QFile::remove(path);
    for (const QString& path : qAsConst(kept)) {
        // An old program file moved aside by an earlier updater whose new file never arrived:
        // it goes back, so that no program file is missing.
        const QString original = path.left(path.size() - oldSuffix.size());
        if (!present(original) && QFile::rename(path, original))
            continue;
        QFile::remove(path);
    }
}

bool CInstallJournal::renameOver(const QString& from, const QString& to)
{
    return renameFileOver(from, to);
}

bool CInstallJournal::keepAside(const QString& path, const QString& kept)
{
#ifndef Q_OS_WIN
    if (::link(QFile::encodeName(path).constData(), QFile::encodeName(kept).constData()) == 0)
        return true;
#endif
    return QFile::copy(path, kept);
}
