// SPDX-License-Identifier: MIT
#include "Pictures/CPngText.h"

#include <QtEndian>

#include <zlib.h>

namespace {

// No key of a thumbnail is longer than a path or a number; a chunk that inflates beyond this
// (a few hundred bytes can inflate to gigabytes) is cut off here and counts as unreadable.
constexpr int maxTextBytes = 64 * 1024;

// zlib data inflated to at most maxTextBytes; empty when it is damaged or longer than that.
QByteArray inflateText(const QByteArray& deflated)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    QByteArray text(maxTextBytes + 1, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.constData()));
    stream.avail_in = uInt(deflated.size());
    stream.next_out = reinterpret_cast<Bytef*>(text.data());
    stream.avail_out = uInt(text.size());
    const int result = ::inflate(&stream, Z_FINISH);
    const int produced = int(stream.total_out);
    inflateEnd(&stream);
    if (result != Z_STREAM_END || produced > maxTextBytes)
        return {};
    text.truncate(produced);
    return text;
}

} // namespace

QHash<QByteArray, QString> CPngText::read(const QByteArray& png)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    QHash<QByteArray, QString> texts;
    if (!png.startsWith(signature))
        return texts;

    int at = signature.size();
    while (at + 12 <= png.size()) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        const QByteArray type = png.mid(at + 4, 4);
        if (length > quint32(png.size() - at - 12))
            break;
        if (type == "IDAT" || type == "IEND")
            break;
        const QByteArray data = png.mid(at + 8, int(length));
        at += 12 + int(length);

        const int keyEnd = data.indexOf('\0');
        if (keyEnd <= 0)
            continue;
        const QByteArray key = data.left(keyEnd);
        if (type == "tEXt") {
            texts.insert(key, QString::fromLatin1(data.mid(keyEnd + 1)));
        } else if (type == "zTXt") {
            // A method byte (0: deflate), then the compressed text.
            if (data.size() > keyEnd + 1 && data.at(keyEnd + 1) == 0)
                texts.insert(key, QString::fromLatin1(inflateText(data.mid(keyEnd + 2))));
        } else if (type == "iTXt") {
            // Compression flag and method, language tag, translated key, then UTF-8 text.
            if (data.size() < keyEnd + 3)
                continue;
            const bool compressed = data.at(keyEnd + 1) != 0;
            const int languageEnd = data.indexOf('\0', keyEnd + 3);
            const int translatedEnd = languageEnd < 0 ? -1 : data.indexOf('\0', languageEnd + 1);
            if (translatedEnd < 0)
                continue;
            const QByteArray text = data.mid(translatedEnd + 1);
            texts.insert(key, QString::fromUtf8(compressed ? inflateText(text) : text));
        }
    }
    return texts;
}
