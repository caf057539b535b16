// SPDX-License-Identifier: MIT
#include "CStandinStore.h"

#include "CContentDigest.h"
#include "CSafeWrite.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace {
const QString Accounts = QStringLiteral("accounts.json");

QJsonObject failure(const QString& text)
{
    return QJsonObject{{QStringLiteral("error"), text}};
}

QJsonObject success(const QString& message, const QString& zovid)
{
    return QJsonObject{{QStringLiteral("error"), QString()},
                       {QStringLiteral("msg"), message},
                       {QStringLiteral("zovid"), zovid}};
}
} // namespace

CStandinStore::CStandinStore(const QString& folder) : m_folder(QDir(folder).absolutePath()) {}

bool CStandinStore::open()
{
    return QDir().mkpath(m_folder) && QDir().mkpath(QDir(m_folder).filePath(QStringLiteral("objects")));
}

QJsonObject CStandinStore::registerAccount(const QString& name, const QString& nickname,
                                           const QString& password, const QString& confirmation,
                                           bool* storageFailed)
{
    bool ignored = false;
    storageFailed = storageFailed ? storageFailed : &ignored;
    *storageFailed = false;
    if (name.trimmed().isEmpty())
        return failure(QStringLiteral("用户名不能为空"));
    if (password.isEmpty())
        return failure(QStringLiteral("密码不能为空"));
    if (password != confirmation)
        return failure(QStringLiteral("两次输入的密码不一致"));

    std::lock_guard<std::mutex> lock(m_mutex);
    QJsonObject accounts = readFile(Accounts);
    QJsonObject users = accounts.value(QStringLiteral("users")).toObject();
    if (users.contains(name))
        return failure(QStringLiteral("用户名已存在"));
    const QString zovid = QString::number(10001 + users.size());
    const QString salt = QString::number(QRandomGenerator::global()->generate64(), 16);
    users.insert(name, QJsonObject{{QStringLiteral("nickname"), nickname},
                                   {QStringLiteral("salt"), salt},
                                   {QStringLiteral("password_sha256"), passwordHash(salt, password)},
                                   {QStringLiteral("zovid"), zovid}});
    accounts.insert(QStringLiteral("users"), users);
    if (!writeFile(Accounts, accounts)) {
        *storageFailed = true;
        return failure(QStringLiteral("服务器忙，请稍后再试"));
    }
    return success(QStringLiteral("注册成功，请登陆"), zovid);
}

QJsonObject CStandinStore::login(const QString& name, const QString& password)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const QJsonObject user =
        readFile(Accounts).value(QStringLiteral("users")).toObject().value(name).toObject();
    const QString salt = user.value(QStringLiteral("salt")).toString();
    if (user.isEmpty() ||
        user.value(QStringLiteral("password_sha256")).toString() != passwordHash(salt, password))
        return failure(QStringLiteral("用户名或密码错误"));
    return success(QStringLiteral("登陆成功"), user.value(QStringLiteral("zovid")).toString());
}

QJsonObject CStandinStore::saveImage(const QMap<QString, QString>& fields, bool* storageFailed)
{
    bool ignored = false;
    storageFailed = storageFailed ? storageFailed : &ignored;
    *storageFailed = false;
    std::lock_guard<std::mutex> lock(m_mutex);
    const QString zovid = fields.value(QStringLiteral("zovid"));
    bool knownUser = false;
    for (const QJsonValue& user : readFile(Accounts).value(QStringLiteral("users")).toObject())
        knownUser = knownUser ||
                    (!zovid.isEmpty() && user.toObject().value(QStringLiteral("zovid")).toString() == zovid);
    const QString src = fields.value(QStringLiteral("src"));
    const bool stored = isSafeObjectName(src) && QFileInfo(objectPath(src)).isFile();

    if (!knownUser)
        return failure(QStringLiteral("用户未登陆"));
    if (!stored)
        return failure(QStringLiteral("图片不存在"));

    if (!m_registeredRead) {
        const QJsonArray log =
            readFile(QStringLiteral("registrations.json")).value(QStringLiteral("registrations")).toArray();
        for (const QJsonValue& value : log)
            m_registered.insert(value.toObject().value(QStringLiteral("src")).toString());
        m_registeredRead = true;
    }
    if (!m_registered.contains(src)) {
        QJsonObject entry;
        for (auto it = fields.constBegin(); it != fields.constEnd(); ++it)
            entry.insert(it.key(), it.value());
        entry.insert(QStringLiteral("accepted"), true);
        const QString sha256 = m_objectDigests.value(src);
        entry.insert(QStringLiteral("sha256"),
                     sha256.isEmpty() ? digest(readBytes(objectPath(src))) : sha256);
        if (!appendTo(QStringLiteral("registrations.json"), QStringLiteral("registrations"), entry)) {
            *storageFailed = true;
            return failure(QStringLiteral("服务器忙，请稍后再试"));
        }
        m_registered.insert(src);
    }
    return QJsonObject{{QStringLiteral("error"), QString()},
                       {QStringLiteral("msg"), QStringLiteral("保存成功")}};
}

bool CStandinStore::addUsageReport(const QString& data)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return appendTo(
        QStringLiteral("usage_reports.json"), QStringLiteral("reports"),
        QJsonObject{{QStringLiteral("received"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
                    {QStringLiteral("data"), data}});
}

bool CStandinStore::isSafeObjectName(const QString& name)
{
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9_-]+(/[A-Za-z0-9_.-]+)*$"));
    return allowed.match(name).hasMatch() && !name.split(QLatin1Char('/')).contains(QStringLiteral(".."));
}

QString CStandinStore::digest(const QByteArray& bytes)
{
    return QString::fromLatin1(CContentDigest::sha256Hex(bytes));
}

QString CStandinStore::objectPath(const QString& name) const
{
    return QDir(m_folder).filePath(QStringLiteral("objects/") + name);
}

bool CStandinStore::storeObject(const QString& name, const QByteArray& bytes, const QJsonObject& upload)
{
    if (!isSafeObjectName(name))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    const QString path = objectPath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!writeFileSafely(path, bytes))
        return false;
    // An object whose upload could not be logged was not stored.
    if (!appendTo(QStringLiteral("uploads.json"), QStringLiteral("uploads"), upload)) {
        QFile::remove(path);
        return false;
    }
    m_objectDigests.insert(name, upload.value(QStringLiteral("sha256")).toString());
    return true;
}

QJsonObject CStandinStore::readFile(const QString& name) const
{
    QFile file(QDir(m_folder).filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

bool CStandinStore::writeFile(const QString& name, const QJsonObject& object) const
{
    return writeFileSafely(QDir(m_folder).filePath(name),
                           QJsonDocument(object).toJson(QJsonDocument::Indented));
}

bool CStandinStore::appendTo(const QString& fileName, const QString& listName, const QJsonObject& entry) const
{
    // The file stays one JSON object holding one list, laid out so that a new entry is written
    // over the closing tail and the tail after it: the cost of an entry does not grow with the log.
    static const QByteArray tail = QByteArrayLiteral("\n]}\n");
    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact);
    const QString path = QDir(m_folder).filePath(fileName);
    QFile file(path);
    // Unbuffered, so that bytes a full disk refused are not written again by a later seek.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    const qint64 size = file.size();
    if (size > tail.size() && file.seek(size - tail.size()) && file.read(tail.size()) == tail) {
        const QByteArray added = ",\n" + line + tail;
        if (file.seek(size - tail.size()) && file.write(added) == added.size() && file.flush())
            return true;
        // A full disk: the log goes back to what it was, its tail written into the room just freed.
        qDebug() << "cannot append to" << path << file.errorString();
        file.resize(size - tail.size());
        file.seek(size - tail.size());
        file.write(tail);
        file.flush();
        return false;
    }
    file.close();
    QJsonArray list;
    if (size > 0) {
        // Written some other way: rewritten once in the appendable layout, unless it cannot be
        // read as a log at all; then it is kept aside, not replaced.
        QJsonParseError error;
        const QJsonObject old = QJsonDocument::fromJson(readBytes(path), &error).object();
        if (error.error != QJsonParseError::NoError || !old.value(listName).isArray()) {
            if (keepBrokenFile(path).isEmpty())
                return false;
        } else {
            list = old.value(listName).toArray();
        }
    }
    list.append(entry);
    QByteArray text = "{\"" + listName.toUtf8() + "\": [\n";
    for (int i = 0; i < list.size(); ++i)
        text += (i ? ",\n" : "") + QJsonDocument(list.at(i).toObject()).toJson(QJsonDocument::Compact);
    return writeFileSafely(path, text + tail);
}

QByteArray CStandinStore::readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString CStandinStore::passwordHash(const QString& salt, const QString& password)
{
    return QString::fromLatin1(
        QCryptographicHash::hash((salt + QLatin1Char(':') + password).toUtf8(), QCryptographicHash::Sha256)
            .toHex());
}
