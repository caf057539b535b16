// SPDX-License-Identifier: MIT
#include "CInstallJournal.h"

#include "CFileCopy.h"
#include "CFolderRemoval.h"
#include "CLogging.h"
#include "CSafeWrite.h"
#include "CStaleLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
const QString Scratch = QStringLiteral("scratch");
const QString Placing = QStringLiteral("placing");
const QString Placed = QStringLiteral("placed");
const QString PathKey = QStringLiteral("path");
const QString ExistedKey = QStringLiteral("existed");
const QString Sha256Key = QStringLiteral("sha256");

QString inFolder(const QString& folder, const QString& relative)
{
    return QDir::cleanPath(folder + QLatin1Char('/') + relative);
}

bool present(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// relative inside folder, without following links: empty when the name leaves the folder, is
// not plain ('.', '..', empty parts) or passes through a link or a file on the way. A link at the
// end is the entry itself and is acted on as a link.
QString resolveInside(const QString& folder, const QString& relative)
{
    if (relative.isEmpty() || QDir::isAbsolutePath(relative))
        return QString();
    const QStringList parts = relative.split(QLatin1Char('/'));
    QString path = QDir::cleanPath(folder);
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return QString();
        path += QLatin1Char('/') + part;
        if (i + 1 < parts.size()) {
            const QFileInfo info(path);
            if (info.isSymLink() || (info.exists() && !info.isDir()))
                return QString();
        }
    }
    return path;
}

bool isDigest(const QString& text)
{
    if (text.size() != 64)
        return false;
    for (const QChar c : text) {
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
              (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return false;
    }
    return true;
}

struct Entry
{
    CInstallJournal::File file;
    QString target; // absolute, resolved
};

struct Journal
{
    bool found = false;
    bool whole = false; // parsed, and of a phase this program writes
    QString phase;
    QVector<Entry> files;
    QStringList folders; // absolute, resolved
    QStringList scratch; // absolute, only the updater's own names
};

Journal readJournal(const QString& folder)
{
    Journal journal;
    const QString path = inFolder(folder, CInstallJournal::journalName());
    journal.found = present(path);
    QFile file(path);
    if (!journal.found || !file.open(QIODevice::ReadOnly))
        return journal;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    const QJsonObject object = document.object();
    journal.phase = object.value(QStringLiteral("phase")).toString();
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        !(journal.phase == Scratch || journal.phase == Placing || journal.phase == Placed))
        return journal;
    journal.whole = true;
    for (const QJsonValue& value : object.value(QStringLiteral("files")).toArray()) {
        const QJsonObject entry = value.toObject();
        const QJsonValue name = entry.value(PathKey);
        const QJsonValue existed = entry.value(ExistedKey);
        const QJsonValue sha256 = entry.value(Sha256Key);
        const QString target = resolveInside(folder, name.toString());
        // An entry that is not whole, or that reaches outside, proves nothing: it is left alone.
        if (!name.isString() || !existed.isBool() || !isDigest(sha256.toString()) || target.isEmpty()) {
            qCDebug(lcUpdater) << "journal entry refused:"
                               << QJsonDocument(entry).toJson(QJsonDocument::Compact);
            continue;
        }
        journal.files.append({{name.toString(), existed.toBool(), sha256.toString().toLatin1()}, target});
    }
    for (const QJsonValue& value : object.value(QStringLiteral("folders")).toArray()) {
        const QString target = resolveInside(folder, value.toString());
        if (!target.isEmpty())
            journal.folders.append(target);
        else
            qCDebug(lcUpdater) << "journal folder refused:" << value.toString();
    }
    const QStringList ours = CInstallJournal::scratchNames();
    for (const QJsonValue& value : object.value(QStringLiteral("scratch")).toArray()) {
        if (ours.contains(value.toString()))
            journal.scratch.append(inFolder(folder, value.toString()));
    }
    return journal;
}

void removeScratch(const Journal& journal)
{
    for (const QString& path : journal.scratch) {
        const QFileInfo info(path);
        if (info.isDir() && !info.isSymLink())
            deleteFolder(path);
        else if (present(path))
            QFile::remove(path);
    }
}

// The "placed" install is finished: side files go; an original whose new file is gone goes back,
// so that no program file is missing.
void completePlaced(const Journal& journal)
{
    for (const Entry& entry : journal.files) {
        const QString kept = CInstallJournal::keptName(entry.target);
        QFile::remove(CInstallJournal::freshName(entry.target));
        if (!present(kept))
            continue;
        if (present(entry.target))
            QFile::remove(kept);
        else
            CInstallJournal::renameOver(kept, entry.target);
    }
}

} // namespace

CInstallJournal::CInstallJournal(const QString& installFolder) : m_folder(installFolder) {}

bool CInstallJournal::beginScratch()
{
    m_files.clear();
    m_createdFolders.clear();
    return write(Scratch);
}

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

bool CInstallJournal::markScratchOnly()
{
    return beginScratch();
}

bool CInstallJournal::finish()
{
    const QString path = inFolder(m_folder, journalName());
    return QFile::remove(path) || !present(path);
}

bool CInstallJournal::finishScratch(const QString& installFolder)
{
    const Journal journal = readJournal(installFolder);
    return journal.whole && journal.phase == Scratch && CInstallJournal(installFolder).finish();
}

bool CInstallJournal::write(const QString& phase)
{
    QJsonArray files;
    for (const File& file : qAsConst(m_files))
        files.append(QJsonObject{
            {PathKey, file.path}, {ExistedKey, file.existed}, {Sha256Key, QString::fromLatin1(file.sha256)}});
    const QJsonObject object{{QStringLiteral("phase"), phase},
                             {QStringLiteral("files"), files},
                             {QStringLiteral("folders"), QJsonArray::fromStringList(m_createdFolders)},
                             {QStringLiteral("scratch"), QJsonArray::fromStringList(scratchNames())}};
    return writeFileSafely(inFolder(m_folder, journalName()), QJsonDocument(object).toJson());
}

bool CInstallJournal::rollBack(const QString& installFolder)
{
    const Journal journal = readJournal(installFolder);
    if (!journal.whole)
        return false;
    bool ok = true;
    for (int i = journal.files.size() - 1; i >= 0; --i) {
        const File& file = journal.files.at(i).file;
        const QString& target = journal.files.at(i).target;
        const QString kept = keptName(target);
        QFile::remove(freshName(target));
        if (!file.existed) {
            // Removed only when it is exactly what this install brought.
            if (present(target) && digest(target) == file.sha256 && !QFile::remove(target))
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
        QDir().rmdir(journal.folders.at(i));
    if (ok)
        CInstallJournal(installFolder).markScratchOnly();
    return ok;
}

CInstallJournal::Recovery CInstallJournal::recover(const QString& installFolder)
{
    if (!QFileInfo(installFolder).isDir())
        return Recovery::Nothing;
    const QString lockPath = inFolder(installFolder, lockName());
    QLockFile lock(lockPath);
    if (!lockInstallation(lock, lockPath))
        return lock.error() == QLockFile::LockFailedError ? Recovery::Busy : Recovery::Unwritable;
    const QString journalPath = inFolder(installFolder, journalName());
    const Journal journal = readJournal(installFolder);
    if (!journal.found)
        return Recovery::Nothing;
    if (!journal.whole) {
        // Nothing it says can be trusted; kept for a person to look at, out of the next update's way.
        qCDebug(lcUpdater) << "the install journal cannot be read; kept aside, nothing changed";
        if (!keepBrokenFile(journalPath).isEmpty())
            QFile::remove(journalPath);
        return Recovery::Unreadable;
    }
    Recovery result = Recovery::Nothing;
    bool done = true;
    if (journal.phase == Placed) {
        qCDebug(lcUpdater) << "completing an install that was cut short in" << installFolder;
        completePlaced(journal);
        result = Recovery::Completed;
    } else if (journal.phase == Placing) {
        qCDebug(lcUpdater) << "rolling back an install that was cut short in" << installFolder;
        done = rollBack(installFolder);
        result = Recovery::RolledBack;
    }
    if (done) {
        removeScratch(journal);
        QFile::remove(journalPath);
    }
    return result;
}

bool CInstallJournal::lockInstallation(QLockFile& lock, const QString& path)
{
    return CStaleLock::take(lock, path);
}

bool CInstallJournal::renameOver(const QString& from, const QString& to)
{
    return renameFileOver(from, to);
}

bool CInstallJournal::keepAside(const QString& path, const QString& kept)
{
#ifdef Q_OS_UNIX
    if (::link(QFile::encodeName(path).constData(), QFile::encodeName(kept).constData()) == 0)
        return true;
#endif
    return QFile::copy(path, kept);
}

QByteArray CInstallJournal::digest(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QByteArray();
    return hash.result().toHex();
}
