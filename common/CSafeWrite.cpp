// SPDX-License-Identifier: MIT
#include "CSafeWrite.h"

#include "CLogging.h"

#include <QFile>
#include <QSaveFile>

bool commitSaveFile(QSaveFile& file, const QByteArray& bytes)
{
    if (!file.isOpen())
        return false;
    // flush() pushes Qt's own buffer to the file system, where a full disk is finally noticed.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        qCDebug(lcRecords) << "cannot write" << file.fileName() << file.errorString();
        file.cancelWriting();
        file.commit(); // discards the temporary file; the old file is left alone
        return false;
    }
    return file.commit();
}

bool writeFileSafely(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCDebug(lcRecords) << "cannot write" << path << file.errorString();
        return false;
    }
    return commitSaveFile(file, bytes);
}

QString keepBrokenFile(const QString& path)
{
    if (!QFile::exists(path))
        return {};
    QString keep = path + QStringLiteral(".broken");
    for (int n = 2; QFile::exists(keep); ++n)
        keep = path + QStringLiteral(".broken.") + QString::number(n);
    if (!QFile::copy(path, keep)) {
        qCDebug(lcRecords) << "cannot keep unreadable file" << path;
        return {};
    }
    return keep;
}
