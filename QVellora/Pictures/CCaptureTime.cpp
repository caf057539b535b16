// SPDX-License-Identifier: MIT
#include "Pictures/CCaptureTime.h"

#include <QFile>

#include "Pictures/CPictureFile.h"

namespace {

constexpr quint16 exifIfdTag = 0x8769;
constexpr quint16 dateTimeOriginalTag = 0x9003;
constexpr quint16 asciiType = 2;
constexpr quint16 longType = 4;
// No real IFD comes near this; a count beyond it is damage, not a picture.
constexpr int maxIfdEntries = 1000;
const QByteArray exifHeader("Exif\0\0", 6);

// Bounds-checked reads of TIFF structure in either byte order. Every read says whether it fit;
// offsets are 64-bit so that no sum of file values can wrap.
class TiffBytes
{
public:
    explicit TiffBytes(const QByteArray& bytes) : m_bytes(bytes)
    {
        if (bytes.size() < 8)
            return;
        if (bytes.startsWith("II"))
            m_little = true;
        else if (!bytes.startsWith("MM"))
            return;
        quint32 magic = 0;
        m_valid = read16(2, &magic) && magic == 42;
    }

    bool valid() const { return m_valid; }
    bool fits(qint64 offset, qint64 length) const
    {
        return offset >= 0 && length >= 0 && offset <= m_bytes.size() && length <= m_bytes.size() - offset;
    }
    bool read16(qint64 offset, quint32* value) const { return readUnsigned(offset, 2, value); }
    bool read32(qint64 offset, quint32* value) const { return readUnsigned(offset, 4, value); }
    QByteArray slice(qint64 offset, qint64 length) const
    {
        return fits(offset, length) ? m_bytes.mid(int(offset), int(length)) : QByteArray();
    }

private:
    bool readUnsigned(qint64 offset, int length, quint32* value) const
    {
        if (!fits(offset, length))
            return false;
        const auto* p = reinterpret_cast<const uchar*>(m_bytes.constData()) + offset;
        quint32 result = 0;
        for (int i = 0; i < length; ++i)
            result |= quint32(p[i]) << (8 * (m_little ? i : length - 1 - i));
        *value = result;
        return true;
    }

    const QByteArray& m_bytes;
    bool m_little = false;
    bool m_valid = false;
};

struct IfdEntry
{
    quint32 type = 0;
    quint32 count = 0;
    qint64 valueField = 0; // where the value, or the offset to it, sits
};

// The entry with tag in the IFD at offset; false when there is none or the IFD is damaged.
bool findEntry(const TiffBytes& tiff, qint64 ifd, quint16 tag, IfdEntry* entry)
{
    quint32 count = 0;
    if (!tiff.read16(ifd, &count) || count > maxIfdEntries || !tiff.fits(ifd + 2, qint64(count) * 12))
        return false;
    for (quint32 i = 0; i < count; ++i) {
        const qint64 at = ifd + 2 + qint64(i) * 12;
        quint32 entryTag = 0;
        if (!tiff.read16(at, &entryTag) || entryTag != tag)
            continue;
        if (!tiff.read16(at + 2, &entry->type) || !tiff.read32(at + 4, &entry->count))
            return false;
        entry->valueField = at + 8;
        return true;
    }
    return false;
}

} // namespace

QDateTime CCaptureTime::parse(const QByteArray& text)
{
    if (text.size() < 19)
        return {};
    const QDateTime time =
        QDateTime::fromString(QString::fromLatin1(text.left(19)), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    return time.isValid() && time.date().year() > 1900 ? time : QDateTime();
}

QDateTime CCaptureTime::fromTiff(const QByteArray& bytes)
{
    const TiffBytes tiff(bytes);
    if (!tiff.valid())
        return {};
    quint32 firstIfd = 0;
    IfdEntry exifPointer;
    if (!tiff.read32(4, &firstIfd) || !findEntry(tiff, firstIfd, exifIfdTag, &exifPointer) ||
        (exifPointer.type != longType && exifPointer.type != 13 /* IFD */) || exifPointer.count != 1)
        return {};
    quint32 exifIfd = 0;
    IfdEntry original;
    if (!tiff.read32(exifPointer.valueField, &exifIfd) ||
        !findEntry(tiff, exifIfd, dateTimeOriginalTag, &original) || original.type != asciiType ||
        original.count < 20 || original.count > 64)
        return {};
    // Twenty bytes with the closing zero never fit in the entry itself: the field is an offset.
    quint32 textOffset = 0;
    if (!tiff.read32(original.valueField, &textOffset))
        return {};
    return parse(tiff.slice(textOffset, 19));
}

QDateTime CCaptureTime::fromExifBlock(const QByteArray& block)
{
    QByteArray rest = block;
    // HEIF leads its block with the big-endian offset of the TIFF header after those 4 bytes.
    if (rest.size() >= 4 && !rest.startsWith("Exif") && !rest.startsWith("II") && !rest.startsWith("MM")) {
        const auto* p = reinterpret_cast<const uchar*>(rest.constData());
        const quint32 skip = (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3];
        if (skip > quint32(rest.size() - 4))
            return {};
        rest = rest.mid(4 + int(skip));
    }
    if (rest.startsWith(exifHeader))
        rest = rest.mid(exifHeader.size());
    return fromTiff(rest);
}

QDateTime CCaptureTime::fromJpeg(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const int size = bytes.size();
    if (size < 4 || p[0] != 0xFF || p[1] != 0xD8)
        return {};
    int at = 2;
    while (at + 4 <= size) {
        if (p[at] != 0xFF)
            return {};
        const uchar marker = p[at + 1];
        if (marker == 0xFF) { // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // picture data or the end: no EXIF before it
            return {};
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;
            continue;
        }
        const int length = (p[at + 2] << 8) | p[at + 3];
        if (length < 2 || length > size - at - 2)
            return {};
        const QByteArray segment = bytes.mid(at + 4, length - 2);
        if (marker == 0xE1 && segment.startsWith(exifHeader))
            return fromTiff(segment.mid(exifHeader.size()));
        at += 2 + length;
    }
    return {};
}

QDateTime CCaptureTime::fromFile(const QString& path)
{
    QFile file;
    if (!CPictureFile::open(file, path))
        return {};
    // Most EXIF blocks sit in the first few kilobytes; read more only when the walk ran out.
    QByteArray head = file.read(64 * 1024);
    const bool jpeg = head.startsWith("\xFF\xD8");
    const bool tiff = head.startsWith(QByteArray("II*\0", 4)) || head.startsWith(QByteArray("MM\0*", 4));
    if (!jpeg && !tiff)
        return {};
    QDateTime time = jpeg ? fromJpeg(head) : fromTiff(head);
    if (!time.isValid() && head.size() == 64 * 1024) {
        head += file.read(maxHeadBytes - head.size());
        time = jpeg ? fromJpeg(head) : fromTiff(head);
    }
    return time;
}
