// SPDX-License-Identifier: MIT
#include "Records/CUploadLedger.h"

#include "CLogging.h"
#include "CProgramFiles.h"
#include "CSafeWrite.h"
#include "Records/CJsonFile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>

namespace {
const int FormatVersion = 1;
const QString Prefix = QStringLiteral("upload_ledger_");
const QString Suffix = QStringLiteral(".js");

// Live ledgers of this process, so that every upload of a user shares one.
QMap<QString, std::weak_ptr<CUploadLedger>>& liveLedgers()
{
    static QMap<QString, std::weak_ptr<CUploadLedger>> ledgers;
    return ledgers;
}

QString timeText(const QDateTime& time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}
} // namespace

CUploadLedger::CUploadLedger(const QString& userId, const QString& file, QObject* parent)
    : QObject(parent), m_userId(userId), m_file(file)
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(SaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &CUploadLedger::saveInBackground);
    m_writePool.setMaxThreadCount(1);
    load();
}

CUploadLedger::~CUploadLedger()
{
    // A save on the worker ends first; its report dies with this object. Then quietly: whoever
    // listened may be going too.
    m_writePool.waitForDone();
    if (m_changes != m_writer->written && !m_writer->write(m_file, m_userId, m_entries, m_changes))
        qCWarning(lcRecords) << "cannot write the upload ledger" << m_file;
}

bool CUploadLedger::Writer::write(const QString& file, const QString& userId, const QList<Entry>& entries,
                                  quint64 changes)
{
    QMutexLocker lock(&mutex);
    if (changes < written)
        return true;
    if (!CJsonFile::write(file, layout(userId, entries)))
        return false;
    written = changes;
    return true;
}

QString CUploadLedger::filePath(const QString& userId)
{
    // Service IDs are numbers; anything else is spelled in hex so it cannot leave the folder.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-]{1,64}$"));
    const QString name = plain.match(userId).hasMatch()
                             ? userId
                             : QStringLiteral("x") + QString::fromLatin1(userId.toUtf8().toHex());
    return CProgramFiles::recordPath(Prefix + name + Suffix);
}

std::shared_ptr<CUploadLedger> CUploadLedger::forUser(const QString& userId)
{
    const QString file = filePath(userId);
    // Keyed by file: a test that moves the record folder gets a ledger of the new folder.
    if (std::shared_ptr<CUploadLedger> live = liveLedgers().value(file).lock())
        return live;
    auto ledger = std::make_shared<CUploadLedger>(userId, file);
    liveLedgers().insert(file, ledger);
    return ledger;
}

bool CUploadLedger::saveAll()
{
    bool allSaved = true;
    for (const std::weak_ptr<CUploadLedger>& weak : liveLedgers()) {
        const std::shared_ptr<CUploadLedger> ledger = weak.lock();
        if (ledger && ledger->changes() != ledger->savedChanges())
            allSaved = ledger->save() && allSaved;
    }
    return allSaved;
}

QHash<QString, int> CUploadLedger::usersWithUnfinished()
{
    QHash<QString, int> users;
    const QFileInfoList files = QDir(CProgramFiles::recordFolder())
                                    .entryInfoList({Prefix + QStringLiteral("*") + Suffix}, QDir::Files);
    for (const QFileInfo& info : files) {
        const QString userId = CJsonFile::read(info.filePath()).value(QStringLiteral("zovid")).toString();
        if (userId.isEmpty() || filePath(userId) != CProgramFiles::recordPath(info.fileName()))
            continue;
        const int count = forUser(userId)->unfinished().size();
        if (count > 0)
            users.insert(userId, count);
    }
    return users;
}

void CUploadLedger::load()
{
    if (!QFileInfo::exists(m_file))
        return;
    bool parsed = false;
    const QJsonObject object = CJsonFile::read(m_file, &parsed);
    if (parsed && fromJson(object))
        return;
    // Kept aside before anything replaces it; whatever was readable is still used.
    m_keptAside = keepBrokenFile(m_file);
    qCWarning(lcRecords) << "upload ledger unreadable, kept as" << m_keptAside;
}

CUploadLedger::Entry CUploadLedger::entry(const QString& path) const
{
    const int index = m_byPath.value(path, -1);
    return index < 0 ? Entry{} : m_entries.at(index);
}

void CUploadLedger::put(const Entry& entry)
{
    int index = m_byPath.value(entry.path, -1);
    if (index < 0) {
        index = m_entries.size();
        m_entries.append(entry);
        m_byPath.insert(entry.path, index);
    } else {
        const Entry& old = m_entries.at(index);
        if (old.state == State::Registered && m_registeredBySha.value(old.sha256, -1) == index)
            m_registeredBySha.remove(old.sha256);
        m_entries[index] = entry;
    }
    if (entry.state == State::Registered && !entry.sha256.isEmpty() &&
        !m_registeredBySha.contains(entry.sha256))
        m_registeredBySha.insert(entry.sha256, index);
    ++m_changes;
    saveSoon();
}

CUploadLedger::Entry CUploadLedger::registeredContent(const QString& sha256) const
{
    const int index = sha256.isEmpty() ? -1 : m_registeredBySha.value(sha256, -1);
    return index < 0 ? Entry{} : m_entries.at(index);
}

QStringList CUploadLedger::unfinished() const
{
    QStringList paths;
    for (const Entry& each : m_entries)
        if (each.state != State::Registered && QFileInfo(each.path).isFile())
            paths.append(each.path);
    return paths;
}

void CUploadLedger::saveSoon()
{
    if (!m_saveTimer.isActive())
        m_saveTimer.start();
}

bool CUploadLedger::save()
{
    m_saveTimer.stop();
    const quint64 changes = m_changes;
    if (!m_writer->write(m_file, m_userId, m_entries, changes)) {
        qCWarning(lcRecords) << "cannot write the upload ledger" << m_file;
        emit saveFailed(m_file);
        return false;
    }
    m_savedChanges = changes;
    emit saved(changes);
    return true;
}

void CUploadLedger::saveInBackground()
{
    // One save at a time: the next starts when this one has been reported (savedInBackground).
    if (m_changes == m_savedChanges || m_writing)
        return;
    m_writing = true;
    const quint64 changes = m_changes;
    // The entries are shared, not copied: the worker reads them as they are now.
    m_writePool.start(
        [this, writer = m_writer, file = m_file, userId = m_userId, entries = m_entries, changes] {
            const bool ok = writer->write(file, userId, entries, changes);
            QMetaObject::invokeMethod(
                this, [this, ok, changes] { savedInBackground(ok, changes); }, Qt::QueuedConnection);
        });
}

void CUploadLedger::savedInBackground(bool ok, quint64 changes)
{
    m_writing = false;
    if (!ok) {
        qCWarning(lcRecords) << "cannot write the upload ledger" << m_file;
        emit saveFailed(m_file);
        return;
    }
    if (changes > m_savedChanges) {
        m_savedChanges = changes;
        emit saved(changes);
    }
    if (m_changes != m_savedChanges)
        saveSoon();
}

QString CUploadLedger::stateName(State state)
{
    switch (state) {
    case State::Waiting:
        return QStringLiteral("waiting");
    case State::Stored:
        return QStringLiteral("stored");
    case State::Registered:
        return QStringLiteral("registered");
    case State::Failed:
        return QStringLiteral("failed");
    }
    return {};
}

bool CUploadLedger::stateFromName(const QString& name, State* state)
{
    for (State each : {State::Waiting, State::Stored, State::Registered, State::Failed}) {
        if (stateName(each) == name) {
            *state = each;
            return true;
        }
    }
    return false;
}

QJsonObject CUploadLedger::toJson() const
{
    return layout(m_userId, m_entries);
}

QJsonObject CUploadLedger::layout(const QString& userId, const QList<Entry>& entries)
{
    QJsonArray pictures;
    for (const Entry& each : entries) {
        QJsonObject picture{{QStringLiteral("path"), each.path},
                            {QStringLiteral("size"), each.size},
                            {QStringLiteral("modified"), timeText(each.modified)},
                            {QStringLiteral("sha256"), each.sha256},
                            {QStringLiteral("state"), stateName(each.state)},
                            {QStringLiteral("tries"), each.tries}};
        if (!each.key.isEmpty())
            picture.insert(QStringLiteral("key"), each.key);
        if (!each.reason.isEmpty())
            picture.insert(QStringLiteral("reason"), each.reason);
        pictures.append(picture);
    }
    return QJsonObject{{QStringLiteral("version"), FormatVersion},
                       {QStringLiteral("zovid"), userId},
                       {QStringLiteral("pictures"), pictures}};
}

bool CUploadLedger::fromJson(const QJsonObject& object)
{
    static const QRegularExpression sha(QStringLiteral("^([0-9a-f]{64})?$"));
    if (object.value(QStringLiteral("version")).toInt() != FormatVersion ||
        object.value(QStringLiteral("zovid")).toString() != m_userId ||
        !object.value(QStringLiteral("pictures")).isArray())
        return false;
    bool whole = true;
    for (const QJsonValue& value : object.value(QStringLiteral("pictures")).toArray()) {
        const QJsonObject picture = value.toObject();
        Entry read;
        read.path = picture.value(QStringLiteral("path")).toString();
        read.size = qint64(picture.value(QStringLiteral("size")).toDouble(-1));
        read.modified =
            QDateTime::fromString(picture.value(QStringLiteral("modified")).toString(), Qt::ISODateWithMs);
        read.sha256 = picture.value(QStringLiteral("sha256")).toString();
        read.key = picture.value(QStringLiteral("key")).toString();
        read.reason = picture.value(QStringLiteral("reason")).toString();
        read.tries = picture.value(QStringLiteral("tries")).toInt();
        const bool known = stateFromName(picture.value(QStringLiteral("state")).toString(), &read.state);
        const bool keyed = read.state != State::Stored && read.state != State::Registered
                               ? true
                               : !read.key.isEmpty() && !read.sha256.isEmpty();
        // An entry that does not hold together is left out; the file is then kept aside.
        if (!known || !keyed || read.path.isEmpty() || read.size < 0 || !read.modified.isValid() ||
            !sha.match(read.sha256).hasMatch() || m_byPath.contains(read.path)) {
            whole = false;
            continue;
        }
        m_byPath.insert(read.path, m_entries.size());
        if (read.state == State::Registered && !m_registeredBySha.contains(read.sha256))
            m_registeredBySha.insert(read.sha256, m_entries.size());
        m_entries.append(read);
    }
    return whole;
}
