// SPDX-License-Identifier: MIT
#include "Pictures/CPngText.h"

#include <QtEndian>

namespace {

// zlib data as qUncompress wants it: a size hint in front (it grows the buffer as needed).
QByteArray inflate(const QByteArray& deflated)
{
    QByteArray framed(4, '\0');
    qToBigEndian<quint32>(quint32(qMax(64, deflated.size() * 4)), framed.data());
    return qUncompress(framed + deflated);
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
                texts.insert(key, QString::fromLatin1(inflate(data.mid(keyEnd + 2))));
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
            texts.insert(key, QString::fromUtf8(compressed ? inflate(text) : text));
        }
    }
    return texts;
}
