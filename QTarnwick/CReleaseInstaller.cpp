// SPDX-License-Identifier: MIT
#include "CReleaseInstaller.h"

#include "CLogging.h"
#include "CProgramFiles.h"
#include "CShutdownSignals.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <csignal>

namespace {
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

bool present(const QFileInfo& info)
{
    return info.exists() || info.isSymLink();
}
} // namespace

CReleaseInstaller::CReleaseInstaller()
{
    // For tests only: "N" kills the updater at its N-th change of the installation, "N:term" sends
    // it SIGTERM there, so that every moment of an install can be cut short.
    const QString stop = qEnvironmentVariable("VELLORA_INSTALL_STOP_AT");
    if (!stop.isEmpty()) {
        m_stopAt = stop.section(QLatin1Char(':'), 0, 0).toInt();
#ifdef SIGKILL
        m_stopSignal = stop.endsWith(QLatin1String(":term")) ? SIGTERM : SIGKILL;
#else
        m_stopSignal = SIGTERM;
#endif
    }
}

bool CReleaseInstaller::step()
{
    ++m_steps;
    if (m_stopAt > 0 && m_steps == m_stopAt)
        std::raise(m_stopSignal);
    return !CShutdownSignals::requested();
}

bool CReleaseInstaller::install(const QString& source, const QString& target)
{
    QStringList folders;
    for (const QString& folder : listTree(source, QDir::Dirs)) {
        const QFileInfo info(nativePath(target, folder));
        if (info.isDir() && !info.isSymLink())
            continue;
        if (present(info)) {
            qCDebug(lcUpdater) << "cannot create the folder" << info.filePath();
            return false;
        }
        folders.append(folder);
    }
    QStringList names = listTree(source, QDir::Files);
    // The installed number changes last: until every other file is in place the installation
    // says it is the old release, so an install that cannot be finished is offered again.
    const QString versionFile = QStringLiteral("version.js");
    if (names.removeAll(versionFile) > 0)
        names.append(versionFile);
    QVector<CInstallJournal::File> files;
    for (const QString& file : qAsConst(names)) {
        const QFileInfo info(nativePath(target, file));
        if (info.isDir() && !info.isSymLink()) {
            qCDebug(lcUpdater) << "a folder stands where the release has a file:" << info.filePath();
            return false;
        }
        // What proves later that a file there is this release's, so only that is ever taken away.
        const QByteArray sha256 = CInstallJournal::digest(nativePath(source, file));
        if (sha256.isEmpty()) {
            qCDebug(lcUpdater) << "cannot read" << file;
            return false;
        }
        files.append({file, present(info), sha256});
    }

    CInstallJournal journal(target);
    if (!journal.begin(files, folders))
        return false;
    bool ok = step();
    for (const QString& folder : qAsConst(folders)) {
        if (!ok)
            break;
        ok = QDir().mkdir(nativePath(target, folder)) && step();
        if (!ok)
            qCDebug(lcUpdater) << "cannot create the folder" << folder;
    }
    for (const CInstallJournal::File& file : qAsConst(files)) {
        if (!ok)
            break;
        ok = placeFile(nativePath(source, file.path), nativePath(target, file.path), file.existed);
    }
    if (!ok || !journal.markPlaced()) {
        if (CShutdownSignals::requested())
            qCDebug(lcUpdater) << "asked to end: the install is rolled back";
        if (!CInstallJournal::rollBack(target))
            qCDebug(lcUpdater) << "the roll-back is incomplete; the next start finishes it";
        return false;
    }
    // Every new file is in place: what is left is tidying, finished even when asked to end.
    step();
    for (const CInstallJournal::File& file : qAsConst(files)) {
        if (file.existed) {
            QFile::remove(CInstallJournal::keptName(nativePath(target, file.path)));
            step();
        }
    }
    journal.markScratchOnly();
    return true;
}

bool CReleaseInstaller::placeFile(const QString& from, const QString& to, bool existed)
{
    const QString fresh = CInstallJournal::freshName(to);
    QFile::remove(fresh);
    if (!QFile::copy(from, fresh)) {
        qCDebug(lcUpdater) << "cannot write" << fresh;
        return false;
    }
    if (!step())
        return false;
    if (existed) {
        const QString kept = CInstallJournal::keptName(to);
        QFile::remove(kept);
        if (!CInstallJournal::keepAside(to, kept)) {
            qCDebug(lcUpdater) << "cannot keep aside" << to;
            return false;
        }
        if (!step())
            return false;
    }
    if (!CInstallJournal::renameOver(fresh, to)) {
        qCDebug(lcUpdater) << "cannot put in place" << to;
        return false;
    }
    return step();
}
