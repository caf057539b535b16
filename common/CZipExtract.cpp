// SPDX-License-Identifier: MIT
#include "CZipExtract.h"

#include "CLogging.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QVector>

namespace {

// The file type in the Unix mode that archivers keep in the high half of the external attributes.
const quint32 TypeMask = 0170000;
const quint32 RegularFile = 0100000;
const quint32 Folder = 0040000;

struct Entry
{
    QString name; // with forward slashes only
    bool folder = false;
    QFile::Permissions permissions;
};

quint32 unixMode(const QuaZipFileInfo64& info)
{
    return info.externalAttr >> 16;
}

bool isInside(const QString& root, const QString& path)
{
    return QDir::cleanPath(path).startsWith(QDir::cleanPath(root) + QLatin1Char('/'));
}

// Reads the whole central directory and refuses the archive on the first entry that must not be
// written. Nothing is written here.
bool checkEntries(QuaZip& zip, const QString& target, const QString& filter, const CZipLimits& limits,
                  QVector<Entry>* entries)
{
    if (zip.getEntriesCount() > limits.maxEntries) {
        qCDebug(lcUpdater) << "archive refused: more than" << limits.maxEntries << "entries";
        return false;
    }
    quint64 declared = 0;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!zip.getCurrentFileInfo(&info)) {
            qCDebug(lcUpdater, "testRead(): getCurrentFileInfo(): %d\n", zip.getZipError());
            return false;
        }
        if (!isSafeZipEntryName(info.name)) {
            qCDebug(lcUpdater) << "archive refused: unsafe entry name" << info.name;
            return false;
        }
        const quint32 type = unixMode(info) & TypeMask;
        if (type != 0 && type != RegularFile && type != Folder) {
            qCDebug(lcUpdater) << "archive refused: link or special entry" << info.name;
            return false;
        }
        Entry entry;
        entry.name = QString(info.name).replace(QLatin1Char('\\'), QLatin1Char('/'));
        entry.folder = type == Folder || entry.name.endsWith(QLatin1Char('/'));
        if (unixMode(info) != 0)
            entry.permissions = info.getPermissions() | QFile::ReadOwner | QFile::WriteOwner;
        if (!isInside(target, target + QLatin1Char('/') + entry.name)) {
            qCDebug(lcUpdater) << "archive refused: entry outside the target" << info.name;
            return false;
        }
        declared += info.uncompressedSize;
        if (declared > quint64(limits.maxBytes)) {
            qCDebug(lcUpdater) << "archive refused: declares more than" << limits.maxBytes << "bytes";
            return false;
        }
        if (filter.isEmpty() || info.name.contains(filter))
            entries->append(entry);
    }
    if (zip.getZipError() != UNZ_OK) {
        qCDebug(lcUpdater, "testRead(): getCurrentFileInfo(): %d\n", zip.getZipError());
        return false;
    }
    return true;
}

// Copies the current entry into path; written counts the bytes of the whole archive so far.
bool writeEntry(QuaZip& zip, const QString& path, const CZipLimits& limits, qint64* written)
{
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(lcUpdater, "testRead(): file.open(): %d", file.getZipError());
        return false;
    }
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        qCDebug(lcUpdater) << "cannot write" << path;
        return false;
    }
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(buffer.data(), buffer.size());
        if (got < 0) {
            qCDebug(lcUpdater, "testRead(): file.getFileName(): %d", file.getZipError());
            return false;
        }
        if (got == 0)
            break;
        *written += got;
        if (*written > limits.maxBytes) {
            qCDebug(lcUpdater) << "archive refused: unpacks to more than" << limits.maxBytes << "bytes";
            return false;
        }
        if (out.write(buffer.constData(), got) != got) {
            qCDebug(lcUpdater) << "cannot write" << path;
            return false;
        }
    }
    if (!out.flush()) {
        qCDebug(lcUpdater) << "cannot write" << path;
        return false;
    }
    if (file.getZipError() != UNZ_OK) {
        qCDebug(lcUpdater, "testRead(): file.getFileName(): %d", file.getZipError());
        return false;
    }
    if (!file.atEnd()) {
        qCDebug(lcUpdater, "testRead(): read all but not EOF");
        return false;
    }
    // Closing compares the checksum: an entry that lies about its size fails here.
    file.close();
    if (file.getZipError() != UNZ_OK) {
        qCDebug(lcUpdater, "testRead(): file.close(): %d", file.getZipError());
        return false;
    }
    return true;
}

} // namespace

bool isSafeZipEntryName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
        return false;
    // A colon names a drive ("C:x") or an alternate data stream on Windows.
    if (name.contains(QLatin1Char(':')) || name.contains(QChar(0)))
        return false;
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    // Windows drops trailing dots and spaces, so "..." or ".. " may mean "..": refuse any component
    // of two or more characters made only of those.
    static const QRegularExpression climbing(QStringLiteral("^[. ]*\\.[. ]*\\.[. ]*$"));
    const QStringList parts = name.split(separators);
    for (const QString& part : parts) {
        if (climbing.match(part).hasMatch())
            return false;
    }
    return true;
}

bool quazip_extract(QString archive, QString target, QString filter, const CZipLimits& limits)
{
    QuaZip zip(archive);
    if (!zip.open(QuaZip::mdUnzip)) {
        qCDebug(lcUpdater, "testRead(): zip.open(): %d", zip.getZipError());
        return false;
    }
    qCDebug(lcUpdater, "%d entries\n", zip.getEntriesCount());
    const QString root = QFileInfo(target).absoluteFilePath();
    QVector<Entry> entries;
    if (!checkEntries(zip, root, filter, limits, &entries))
        return false;

    qint64 written = 0;
    int index = 0;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        zip.getCurrentFileInfo(&info);
        if (!filter.isEmpty() && !info.name.contains(filter))
            continue;
        const Entry& entry = entries.at(index++);
        const QString path = QDir::cleanPath(root + QLatin1Char('/') + entry.name);
        if (entry.folder) {
            if (!QDir().mkpath(path)) {
                qCDebug(lcUpdater) << "cannot create" << path;
                return false;
            }
            continue;
        }
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !writeEntry(zip, path, limits, &written))
            return false;
        if (entry.permissions != QFile::Permissions())
            QFile::setPermissions(path, entry.permissions);
    }
    zip.close();
    if (zip.getZipError() != UNZ_OK) {
        qCDebug(lcUpdater, "testRead(): zip.close(): %d", zip.getZipError());
        return false;
    }
    return true;
}
