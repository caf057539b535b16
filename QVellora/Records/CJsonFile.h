// SPDX-License-Identifier: MIT
#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

#include <functional>

class QSaveFile;

// Reading and writing the program's record files: one JSON object per file, indented, UTF-8.
class CJsonFile
{
public:
    // The file's top-level object; empty when the file is missing, unreadable or not a JSON object.
    // ok (optional) tells whether a JSON object was actually read.
    static QJsonObject read(const QString& path, bool* ok = nullptr);

    // Parses bytes the same way read() parses a file.
    static QJsonObject parse(const QByteArray& bytes, bool* ok = nullptr);

    // Writes the object as indented JSON through a temporary file that replaces the old one only
    // once it is complete, so a crash or a failed write never leaves a truncated file.
    static bool write(const QString& path, const QJsonObject& object);
    // The same for a file the caller opened earlier (to learn early whether it can be written).
    static bool commit(QSaveFile& file, const QJsonObject& object);

    // Members of a numbered collection ("0", "1", ...) in the order their keys sort as text,
    // which is how the files have always been read back ("10" comes before "2").
    static QList<QJsonObject> numberedObjects(const QJsonObject& collection);
    // The other way: a collection whose member "i" is valueOf(i), for i below count.
    static QJsonObject numbered(int count, const std::function<QJsonValue(int)>& valueOf);
};
