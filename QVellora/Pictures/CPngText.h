// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// The text chunks (tEXt, zTXt, iTXt) that a PNG file carries before its pixels, read without
// decoding the picture. QImageReader::text() cannot serve here: it cuts every key at its first
// colon, and the thumbnail standard's keys ("Thumb::URI") are full of them.
class CPngText
{
public:
    // Keys and texts of bytes that start like a PNG file; empty for anything else. A damaged
    // chunk ends the reading: what came before it is kept. A compressed text that inflates to
    // more than 64 KB is read as empty, without inflating the rest.
    static QHash<QByteArray, QString> read(const QByteArray& png);
};
