// SPDX-License-Identifier: MIT
#include "CPhotoDragPayload.h"

#include <QDataStream>
#include <QDebug>

static constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_5_15;

QString CPhotoDragPayload::MimeType()
{
    return QStringLiteral("photo/x-ombrel-cata");
}

QByteArray CPhotoDragPayload::Write(const QStringList& paths, const QList<QPixmap>& pictures)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(kStreamVersion);
    stream << qint32(paths.size());
    for (const QString& path : paths)
        stream << path;
    for (int i = 0; i < paths.size(); ++i)
        stream << pictures.value(i);
    return bytes;
}

bool CPhotoDragPayload::Read(const QByteArray& bytes, QStringList* paths, QList<QImage>* pictures)
{
    paths->clear();
    pictures->clear();
    QDataStream stream(bytes);
    stream.setVersion(kStreamVersion);

    qint32 count = 0;
    stream >> count;
    // Every path takes at least its 4-byte length, so a larger count cannot be genuine; checking
    // before reading keeps a corrupt count from reserving memory for billions of strings.
    const qint64 room = (bytes.size() - 4) / 4;
    if (stream.status() != QDataStream::Ok || count < 0 || count > room) {
        qDebug() << "drag payload refused: count" << count << "in" << bytes.size() << "bytes";
        return false;
    }

    QStringList readPaths;
    readPaths.reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        QString path;
        stream >> path;
        if (stream.status() != QDataStream::Ok || path.isEmpty()) {
            qDebug() << "drag payload refused: path" << i << "of" << count << "is cut short or empty";
            return false;
        }
        readPaths.append(path);
    }

    QList<QImage> readPictures;
    readPictures.reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        QImage picture;
        if (stream.status() == QDataStream::Ok && !stream.atEnd())
            stream >> picture;
        // Once the stream has failed, the rest of it cannot be trusted either.
        readPictures.append(stream.status() == QDataStream::Ok ? picture : QImage());
    }
    *paths = readPaths;
    *pictures = readPictures;
    return true;
}
