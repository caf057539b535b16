// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QMetaType>
#include <QVector>

// Writes zip archives byte by byte, so that tests can make entries no archiver would: names that
// climb out, symbolic links, sizes that lie.
struct RawZipEntry
{
    QByteArray name;
    QByteArray content;       // what the entry really holds (its checksum is taken over this)
    QByteArray stored;        // the bytes in the archive; content itself when empty and method is 0
    quint16 method = 0;       // 0 stored, 8 deflated
    qint64 declaredSize = -1; // the uncompressed size written in the headers; -1: the content's
    quint16 madeBy = 20;
    quint32 externalAttr = 0;

    static RawZipEntry file(const QByteArray& name, const QByteArray& content)
    {
        RawZipEntry entry;
        entry.name = name;
        entry.content = content;
        return entry;
    }

    // Deflated content whose headers claim only declaredSize bytes.
    static RawZipEntry deflated(const QByteArray& name, const QByteArray& content, qint64 declaredSize)
    {
        RawZipEntry entry = file(name, content);
        const QByteArray zlib = qCompress(content, 9);
        // qCompress adds a 4-byte length and the zlib header and trailer around raw deflate data.
        entry.stored = zlib.mid(6, zlib.size() - 10);
        entry.method = 8;
        entry.declaredSize = declaredSize;
        return entry;
    }

    // A Unix symbolic link (mode 0120777) pointing at target.
    static RawZipEntry symlink(const QByteArray& name, const QByteArray& target)
    {
        RawZipEntry entry = file(name, target);
        entry.madeBy = (3 << 8) | 30;
        entry.externalAttr = 0120777u << 16;
        return entry;
    }
};

Q_DECLARE_METATYPE(RawZipEntry)

inline quint32 rawZipCrc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : data) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline QByteArray rawZip(const QVector<RawZipEntry>& entries)
{
    QByteArray archive;
    QByteArray central;
    QDataStream out(&archive, QIODevice::WriteOnly);
    QDataStream dir(&central, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    dir.setByteOrder(QDataStream::LittleEndian);
    for (const RawZipEntry& entry : entries) {
        const QByteArray stored = entry.stored.isEmpty() && entry.method == 0 ? entry.content : entry.stored;
        const quint32 crc = rawZipCrc32(entry.content);
        const quint32 size =
            entry.declaredSize < 0 ? quint32(entry.content.size()) : quint32(entry.declaredSize);
        const quint32 offset = quint32(archive.size());
        const quint16 dosDate = (0 << 9) | (1 << 5) | 1; // 1980-01-01
        out << quint32(0x04034b50) << quint16(20) << quint16(0) << entry.method << quint16(0) << dosDate
            << crc << quint32(stored.size()) << size << quint16(entry.name.size()) << quint16(0);
        out.writeRawData(entry.name.constData(), entry.name.size());
        out.writeRawData(stored.constData(), stored.size());
        dir << quint32(0x02014b50) << entry.madeBy << quint16(20) << quint16(0) << entry.method << quint16(0)
            << dosDate << crc << quint32(stored.size()) << size << quint16(entry.name.size()) << quint16(0)
            << quint16(0) << quint16(0) << quint16(0) << entry.externalAttr << offset;
        dir.writeRawData(entry.name.constData(), entry.name.size());
    }
    const quint32 centralOffset = quint32(archive.size());
    out.writeRawData(central.constData(), central.size());
    const quint16 count = quint16(qMin(entries.size(), 0xFFFF));
    out << quint32(0x06054b50) << quint16(0) << quint16(0) << count << count << quint32(central.size())
        << centralOffset << quint16(0);
    return archive;
}
