// SPDX-License-Identifier: MIT
#include "Records/CClientIdentifier.h"

#include "CLogging.h"
#include "Records/CJsonFile.h"

#include <QCryptographicHash>
#include <QHostAddress>
#include <QHostInfo>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {
// Shared between the caller and a look-up thread that may outlive the wait.
struct Lookup
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    QString address;
};
} // namespace

QString CClientIdentifier::systemResolver(const QString& hostName)
{
    const QList<QHostAddress> addresses = QHostInfo::fromName(hostName).addresses();
    return addresses.isEmpty() ? QString() : addresses.first().toString();
}

QString CClientIdentifier::make(const QString& configPath, int timeoutMs, const Resolver& resolver)
{
    const QString hostName = QHostInfo::localHostName();
    QString text = firstAddress(hostName, timeoutMs, resolver);
    if (text.isEmpty()) {
        qCDebug(lcRecords) << "no address for" << hostName << "- identifier made from the host name";
        text = hostName;
    }
    return fromText(readFlag(configPath), text);
}

QString CClientIdentifier::fromText(const QString& flag, const QString& text)
{
    QString plain = text;
    plain.remove(QLatin1Char(':'));
    const QByteArray digest = QCryptographicHash::hash(plain.toLocal8Bit(), QCryptographicHash::Md5);
    return flag + QString::fromLatin1(digest.toHex()).toUpper();
}

QString CClientIdentifier::readFlag(const QString& configPath)
{
    return CJsonFile::read(configPath)
        .value(QStringLiteral("config"))
        .toObject()
        .value(QStringLiteral("update_zov"))
        .toObject()
        .value(QStringLiteral("zov_flag"))
        .toString();
}

QString CClientIdentifier::firstAddress(const QString& hostName, int timeoutMs, const Resolver& resolver)
{
    if (hostName.isEmpty())
        return {};
    // A resolver may block without a time limit; a slow one must not hold up the close. Hence a
    // detached thread and not a pool task: a pool is joined when it goes, at the latest at exit.
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, hostName, resolver] {
        const QString address = resolver(hostName);
        std::lock_guard<std::mutex> lock(lookup->mutex);
        lookup->address = address;
        lookup->finished = true;
        lookup->done.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(lookup->mutex);
    if (!lookup->done.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [&] { return lookup->finished; })) {
        qCDebug(lcRecords) << "address look-up of" << hostName << "timed out";
        return {};
    }
    return lookup->address;
}
