// SPDX-License-Identifier: MIT
#pragma once

#include "Records/CLastSession.h"
#include "Records/CUserRecord.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <functional>

// "user_data.js": the usage records of every run not yet reported, and the client identifier.
// At each close the records already in the file are carried over (renumbered "0", "1", ... in
// key-text order, counts as strings), the ending run is added under the next number (counts as
// numbers), and an existing identifier is kept.
class CUserDataFile
{
public:
    struct Content
    {
        QList<CUserRecord> records;
        QString identifier;
    };

    static Content fromJson(const QJsonObject& root);
    // carried keep their counts as text; run, when given, is written last with numeric counts.
    static QJsonObject toJson(const QList<CUserRecord>& carried, const CUserRecord* run,
                              const QString& identifier);

    // Reads path (missing counts as empty), adds run and rewrites the file whole, holding
    // "<path>.lock" as the usage reporter does while it claims the file. An unparsable
    // file is first copied aside ("<name>.broken", see keepBrokenFile); when even that fails the
    // file is left alone and the run is not recorded.
    // makeIdentifier is called only when the file holds no identifier yet. False when the file
    // could not be written; the old file then stays as it was.
    static bool addRun(const QString& path, const CUserRecord& run,
                       const std::function<QString()>& makeIdentifier);

    // The close-time save in one call: a record with one folder per category row of session
    // (its picture count), added to CProgramFiles::userDataFile(), the identifier made from
    // CProgramFiles::configFile() when needed.
    static bool addRun(const CLastSession& session, const QDateTime& openTime, const QDateTime& closeTime,
                       int uploadCount, const QString& feedback);
};
