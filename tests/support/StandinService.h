// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QScopedPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

// Runs the stand-in service on a free loopback port with a fresh data folder for one test and
// points the program's service addresses at it (VELLORA_SERVICE_URL). Stopped and cleaned up when
// destroyed. The records it keeps can be read back from its data folder.
class StandinService
{
public:
#ifdef VELLORA_STANDIN
    explicit StandinService(const QStringList& extraArguments = {})
        : StandinService(QStringLiteral(VELLORA_STANDIN), extraArguments)
    {
    }
#endif
    StandinService(const QString& program, const QStringList& extraArguments);
    ~StandinService();

    // True once the service printed its port; call (and QVERIFY) before using it.
    bool start();
    int port() const
    {
        return m_port;
    }
    QUrl url() const;
    QString dataFolder() const
    {
        return m_data.path();
    }

    // Registers an account directly, as the service's own form would.
    bool addAccount(const QString& name, const QString& password);
    // The user ID the service gave the account; empty when there is none.
    QString userId(const QString& name) const;

    QJsonObject record(const QString& fileName) const;
    QJsonArray records(const QString& fileName, const QString& listName) const;
    QByteArray object(const QString& objectName) const;
    // Names of every stored object.
    QStringList objects() const;

    // A loopback URL on which nothing listens.
    static QUrl unusedUrl();

private:
    QString m_program;
    QStringList m_arguments;
    QTemporaryDir m_data;
    QScopedPointer<QProcess> m_process;
    int m_port = 0;
};
