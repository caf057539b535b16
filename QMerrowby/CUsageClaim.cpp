// SPDX-License-Identifier: MIT
#include "CUsageClaim.h"

#include "CLogging.h"
#include "CSafeWrite.h"
#include "CUsageReport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>

namespace {
const QString RecordsKey = QStringLiteral("records");
const QString AuthKey = QStringLiteral("auth");
const QString Md5Key = QStringLiteral("md5");
} // namespace

CUsageClaim::CUsageClaim(const QString& path) : m_path(path) {}

namespace {
// Held for a few file steps only; a writer that never lets go does not stop the report.
void lockBriefly(QLockFile& lock)
{
    if (!lock.tryLock(5000))
        qCDebug(lcReporter) << "usage file lock not taken:" << lock.error();
}
} // namespace

bool CUsageClaim::claim(QByteArray* content)
{
    QLockFile lock(lockPath());
    lockBriefly(lock);
    if (QFile::exists(claimPath()) && !giveBackLocked())
        return false;
    // QFile::rename never replaces an existing file, so a claim is never overwritten.
    if (!QFile::rename(m_path, claimPath()))
        return false;
    if (!CUsageReport::readFile(claimPath(), content)) {
        giveBackLocked();
        return false;
    }
    return true;
}

bool CUsageClaim::forget()
{
    if (QFile::remove(claimPath()))
        return true;
    qCDebug(lcReporter) << "cannot remove" << claimPath();
    return false;
}

bool CUsageClaim::giveBack()
{
    QLockFile lock(lockPath());
    lockBriefly(lock);
    return giveBackLocked();
}

bool CUsageClaim::giveBackLocked()
{
    // No new file: the claimed one goes back whole, byte for byte. The rename fails rather than
    // replace a file the main program wrote in the meantime.
    if (QFile::rename(claimPath(), m_path))
        return true;
    QByteArray earlier;
    QByteArray newer;
    if (!CUsageReport::readFile(claimPath(), &earlier) || !CUsageReport::readFile(m_path, &newer)) {
        qCDebug(lcReporter) << "cannot give back" << claimPath();
        return false;
    }
    // Records that cannot be read are not merged, but not thrown away either.
    if (QJsonDocument::fromJson(earlier).isNull() && keepBrokenFile(claimPath()).isEmpty())
        return false;
    if (!writeFileSafely(m_path, merged(earlier, newer))) {
        qCDebug(lcReporter) << "cannot merge" << claimPath() << "into" << m_path;
        return false;
    }
    return forget();
}

QByteArray CUsageClaim::merged(const QByteArray& earlier, const QByteArray& newer)
{
    const QJsonObject first = QJsonDocument::fromJson(earlier).object();
    const QJsonObject second = QJsonDocument::fromJson(newer).object();
    QJsonObject records;
    // Key-text order, as the records are read everywhere else.
    for (const QJsonObject* file : {&first, &second}) {
        const QJsonObject numbered = file->value(RecordsKey).toObject();
        for (auto it = numbered.constBegin(); it != numbered.constEnd(); ++it)
            records.insert(QString::number(records.size()), it.value());
    }
    QString identifier = second.value(AuthKey).toObject().value(Md5Key).toString();
    if (identifier.isEmpty())
        identifier = first.value(AuthKey).toObject().value(Md5Key).toString();
    const QJsonObject root{{AuthKey, QJsonObject{{Md5Key, identifier}}}, {RecordsKey, records}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
