// SPDX-License-Identifier: MIT
#include "Pictures/CPhotoDragPayload.h"

#include "CLogging.h"

#include <QDataStream>
#include <QImageReader>

static constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_5_15;

namespace {
// The grid's drag pictures are thumbnails; anything larger is not one of ours.
constexpr int kMaxPictureSide = 1024;

// Reads one picture the way QDataStream >> QImage lays it out (a 32-bit flag, then PNG bytes),
// but only as PNG and only once its header announced a size within the bound: a few bytes of
// another format can announce a canvas of gigabytes. False when the picture is missing, refused
// or broken; the stream cannot be trusted after that.
bool readPicture(QDataStream& stream, QImage* picture)
{
    qint32 present = 0;
    stream >> present;
    if (stream.status() != QDataStream::Ok)
        return false;
    if (present == 0)
        return true;
    QImageReader reader(stream.device(), QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide) {
        qCDebug(lcPages) << "drag payload picture refused: size" << size;
        return false;
    }
    return reader.read(picture);
}
} // namespace

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
        qCDebug(lcPages) << "drag payload refused: count" << count << "in" << bytes.size() << "bytes";
        return false;
    }

    QStringList readPaths;
    readPaths.reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        QString path;
        stream >> path;
        if (stream.status() != QDataStream::Ok || path.isEmpty()) {
            qCDebug(lcPages) << "drag payload refused: path" << i << "of" << count << "is cut short or empty";
            return false;
        }
        readPaths.append(path);
    }

    QList<QImage> readPictures;
    readPictures.reserve(count);
    bool trusted = true;
    for (qint32 i = 0; i < count; ++i) {
        QImage picture;
        // Once a picture has failed, the rest of the stream cannot be trusted either.
        trusted = trusted && !stream.atEnd() && readPicture(stream, &picture);
        readPictures.append(trusted ? picture : QImage());
    }
    *paths = readPaths;
    *pictures = readPictures;
    return true;
}
