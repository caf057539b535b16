// SPDX-License-Identifier: MIT
#include "Records/CUserDataFile.h"

#include "CLogging.h"
#include "CProgramFiles.h"
#include "CSafeWrite.h"
#include "Records/CClientIdentifier.h"
#include "Records/CJsonFile.h"

#include <QFile>
#include <QLockFile>

namespace {
const QString RecordsKey = QStringLiteral("records");
const QString AuthKey = QStringLiteral("auth");
const QString Md5Key = QStringLiteral("md5");
} // namespace

CUserDataFile::Content CUserDataFile::fromJson(const QJsonObject& root)
{
    Content content;
    for (const QJsonObject& record : CJsonFile::numberedObjects(root.value(RecordsKey).toObject()))
        content.records.append(CUserRecord::fromJson(record));
    content.identifier = root.value(AuthKey).toObject().value(Md5Key).toString();
    return content;
}

QJsonObject CUserDataFile::toJson(const QList<CUserRecord>& carried, const CUserRecord* run,
                                  const QString& identifier)
{
    const QJsonObject records = CJsonFile::numbered(carried.size() + (run ? 1 : 0), [&](int i) {
        return i < carried.size() ? carried.at(i).toJson(CUserRecord::Counts::AsText)
                                  : run->toJson(CUserRecord::Counts::AsNumbers);
    });
    return QJsonObject{{AuthKey, QJsonObject{{Md5Key, identifier}}}, {RecordsKey, records}};
}

bool CUserDataFile::addRun(const QString& path, const CUserRecord& run,
                           const std::function<QString()>& makeIdentifier)
{
    // The usage reporter claims this file under the same lock: a claim never falls between the
    // read and the rewrite, where the rewrite would bring back records already sent. Held for
    // these few steps only; a lock that cannot be had does not cost the run its record.
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(5000))
        qCDebug(lcRecords) << "usage file lock not taken:" << lock.error();
    bool parsed = false;
    const QJsonObject root = CJsonFile::read(path, &parsed);
    // Records that cannot be read now are kept aside rather than written over: nothing is lost.
    if (!parsed && QFile::exists(path) && keepBrokenFile(path).isEmpty())
        return false;
    Content content = fromJson(root);
    if (content.identifier.isEmpty() && makeIdentifier)
        content.identifier = makeIdentifier();
    return CJsonFile::write(path, toJson(content.records, &run, content.identifier));
}

bool CUserDataFile::addRun(const CLastSession& session, const QDateTime& openTime, const QDateTime& closeTime,
                           int uploadCount, const QString& feedback)
{
    QList<QPair<QString, int>> categories;
    for (const CCategory& category : session.categories)
        categories.append({category.name, category.pictures.size()});
    const CUserRecord run = CUserRecord::forRun(categories, openTime, closeTime, uploadCount, feedback);
    return addRun(CProgramFiles::userDataFile(), run,
                  [] { return CClientIdentifier::make(CProgramFiles::configFile()); });
}
