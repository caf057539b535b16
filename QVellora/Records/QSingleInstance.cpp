// SPDX-License-Identifier: MIT
#include "Records/QSingleInstance.h"

#include "CLogging.h"
#include "CProgramFiles.h"
#include "CStaleLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

QSingleInstance::QSingleInstance(const QString& recordFolder, QObject* parent)
    : QObject(parent), m_folder(recordFolder), m_lock(CProgramFiles::join(recordFolder, lockName())),
      m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            socket->disconnectFromServer();
            emit anotherStart();
        }
    });
}

QString QSingleInstance::serverName() const
{
    const QString folder = QFileInfo(m_folder).canonicalFilePath();
    return QStringLiteral("vellora-") +
           QString::fromLatin1(
               QCryptographicHash::hash(QDir::cleanPath(folder).toUtf8(), QCryptographicHash::Sha256)
                   .toHex()
                   .left(24));
}

bool QSingleInstance::claim()
{
    const QString lockPath = CProgramFiles::join(m_folder, lockName());
    if (!CStaleLock::take(m_lock, lockPath)) {
        if (m_lock.error() != QLockFile::LockFailedError) {
            qCWarning(lcRecords) << "no lock can be made in the record folder" << m_folder;
            return true;
        }
        QLocalSocket first;
        first.connectToServer(serverName());
        const bool knocked = first.waitForConnected(3000);
        qCDebug(lcRecords) << "another copy runs for" << m_folder
                           << (knocked ? "and comes to the front" : "but does not answer");
        return false;
    }
    // A socket left by a copy that was killed; the lock says that copy is gone.
    QLocalServer::removeServer(serverName());
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(serverName()))
        qCWarning(lcRecords) << "a second start cannot reach this copy:" << m_server->errorString();
    return true;
}
