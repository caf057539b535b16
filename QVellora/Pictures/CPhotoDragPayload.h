// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>

// The bytes that a drag from the photo grid carries to a category list, under the MIME type
// "photo/x-ombrel-cata": one QDataStream holding a signed 32-bit count n, the n paths as QStrings,
// then n pictures in the stream's QPixmap encoding, in the order of the paths. Writer and reader
// share the stream version fixed here, so both sides always agree on the encoding.
class CPhotoDragPayload
{
public:
    static QString MimeType();

    // One picture per path; a missing entry of pictures is written as a null picture.
    // Interface thread only (it encodes QPixmaps).
    static QByteArray Write(const QStringList& paths, const QList<QPixmap>& pictures);

    // Reads a payload; returns false and leaves both outputs empty when the bytes are not one:
    // a negative count, a count larger than the bytes could hold (refused before anything is
    // allocated), paths cut short or corrupt, or an empty path. Pictures that are missing or
    // unreadable after complete paths come back as null images, so that every path still counts;
    // so do pictures that are not PNG or announce more than 1024x1024 pixels (refused before
    // they are decoded), and every picture after one of those.
    // Works on QImage and so on any thread.
    static bool Read(const QByteArray& bytes, QStringList* paths, QList<QImage>* pictures);
};
