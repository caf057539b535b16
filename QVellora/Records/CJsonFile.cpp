// SPDX-License-Identifier: MIT
#include "Records/CJsonFile.h"

#include "CLogging.h"
#include "CSafeWrite.h"

#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>
#include <QVector>

#include <algorithm>

QJsonObject CJsonFile::read(const QString& path, bool* ok)
{
    if (ok)
        *ok = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        // A record that does not exist yet (a first start) reads as empty and is no error.
        if (file.exists())
            qCWarning(lcRecords) << "cannot read" << path << file.errorString();
        return {};
    }
    return parse(file.readAll(), ok);
}

QJsonObject CJsonFile::parse(const QByteArray& bytes, bool* ok)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (ok)
        *ok = error.error == QJsonParseError::NoError && document.isObject();
    return document.object();
}

bool CJsonFile::write(const QString& path, const QJsonObject& object)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        qCDebug(lcRecords) << "cannot write" << path << file.errorString();
        return false;
    }
    return commit(file, object);
}

bool CJsonFile::commit(QSaveFile& file, const QJsonObject& object)
{
    return commitSaveFile(file, QJsonDocument(object).toJson(QJsonDocument::Indented));
}

QJsonObject CJsonFile::numbered(int count, const std::function<QJsonValue(int)>& valueOf)
{
    // QJsonObject keeps its keys sorted as text and moves every later member on each insert, so
    // "0", "1", ..., "99999" in number order costs quadratic time (77 s for 300,000 paths).
    // Inserted in text order each member goes last.
    QVector<QString> keys;
    keys.reserve(count);
    for (int i = 0; i < count; ++i)
        keys.append(QString::number(i));
    std::sort(keys.begin(), keys.end());
    QJsonObject collection;
    for (const QString& key : keys)
        collection.insert(key, valueOf(key.toInt()));
    return collection;
}

QList<QJsonObject> CJsonFile::numberedObjects(const QJsonObject& collection)
{
    QList<QJsonObject> members;
    // QJsonObject keeps its keys sorted as text, so iteration order is the reading order.
    for (auto it = collection.constBegin(); it != collection.constEnd(); ++it)
        members.append(it.value().toObject());
    return members;
}
