// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <QString>

#include <mutex>

// Everything the stand-in service keeps, in its data folder, so that tests and developers can see
// what arrived: "accounts.json" (passwords only as salted hashes), "objects/<object name>" (the
// stored files), "uploads.json" (each accepted storage form: parts in order, file name, type),
// "registrations.json" (each accepted image registration as received) and "usage_reports.json".
// Refused requests leave no record, and neither do requests whose record could not be written
// completely (a full disk): those are answered 500. Thread-safe; "accounts.json" is replaced whole once
// written, the three logs are appended to.
class CStandinStore
{
public:
    explicit CStandinStore(const QString& folder);

    // Creates the folder; false when it cannot.
    bool open();
    QString folder() const { return m_folder; }

    // Both answer the JSON object the service sends: "error" empty on success, else a text for the
    // user; "msg" and "zovid" on success.
    // storageFailed is set when the answer is a failure because nothing could be stored.
    QJsonObject registerAccount(const QString& name, const QString& nickname, const QString& password,
                                const QString& confirmation, bool* storageFailed = nullptr);
    QJsonObject login(const QString& name, const QString& password);

    // Accepts the registration, and records it with the SHA-256 of the object, when the user and
    // the stored object exist. A second registration of an object already registered is answered
    // as a success and not recorded again: a client whose answer was lost may safely ask again.
    QJsonObject saveImage(const QMap<QString, QString>& fields, bool* storageFailed = nullptr);
    // False when the report could not be stored; nothing of it is then kept.
    bool addUsageReport(const QString& data);

    // Object names are made by the service; anything else that could leave the folder is refused.
    static bool isSafeObjectName(const QString& name);
    // SHA-256 in hex: the logs name each picture by its content.
    static QString digest(const QByteArray& bytes);
    QString objectPath(const QString& name) const;
    bool storeObject(const QString& name, const QByteArray& bytes, const QJsonObject& upload);

private:
    QJsonObject readFile(const QString& name) const;
    bool writeFile(const QString& name, const QJsonObject& object) const;
    // False, with the log as it was, when the entry could not be written. A log that cannot be read
    // is kept aside (".broken") and a new one started.
    bool appendTo(const QString& fileName, const QString& listName, const QJsonObject& entry) const;
    static QByteArray readBytes(const QString& path);
    static QString passwordHash(const QString& salt, const QString& password);

    QString m_folder;
    mutable std::mutex m_mutex;
    QSet<QString> m_registered; // objects registered, read from the log on first use
    bool m_registeredRead = false;
    QHash<QString, QString> m_objectDigests; // object name -> SHA-256, of objects stored in this run
};
