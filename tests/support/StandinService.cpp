// SPDX-License-Identifier: MIT
#include "StandinService.h"

#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTcpServer>
#include <QThread>
#include <QTimer>

StandinService::StandinService(const QString& program, const QStringList& extraArguments)
    : m_program(program), m_arguments(extraArguments)
{
}

StandinService::~StandinService()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
    }
    qunsetenv("VELLORA_SERVICE_URL");
}

bool StandinService::start()
{
    if (!m_data.isValid())
        return false;
    m_process.reset(new QProcess);
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->start(m_program, QStringList{QStringLiteral("--port"), QStringLiteral("0"),
                                            QStringLiteral("--data"), m_data.path()} +
                                    m_arguments);
    if (!m_process->waitForStarted(10000))
        return false;
    static const QRegularExpression listening(QStringLiteral("^listening on port (\\d+)"));
    while (m_process->waitForReadyRead(10000) || m_process->canReadLine()) {
        while (m_process->canReadLine()) {
            const QRegularExpressionMatch match = listening.match(QString::fromUtf8(m_process->readLine()));
            if (match.hasMatch()) {
                m_port = match.captured(1).toInt();
                // The service logs every request; keep its pipe drained so that it never blocks.
                QProcess* process = m_process.data();
                QObject::connect(process, &QProcess::readyReadStandardOutput, process,
                                 [process] { process->readAllStandardOutput(); });
                qputenv("VELLORA_SERVICE_URL", url().toString().toUtf8());
                return true;
            }
        }
    }
    return false;
}

QUrl StandinService::url() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port));
}

bool StandinService::addAccount(const QString& name, const QString& password)
{
    QNetworkAccessManager manager;
    QUrl endpoint = url();
    endpoint.setPath(QStringLiteral("/api/user/auth/register"));
    QNetworkRequest request(endpoint);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    const QByteArray body = "username=" + QUrl::toPercentEncoding(name) +
                            "&nickname=n&password=" + QUrl::toPercentEncoding(password) +
                            "&re_password=" + QUrl::toPercentEncoding(password);
    QNetworkReply* reply = manager.post(request, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    const bool ok = reply->isFinished() && reply->error() == QNetworkReply::NoError &&
                    QJsonDocument::fromJson(reply->readAll())
                        .object()
                        .value(QStringLiteral("error"))
                        .toString()
                        .isEmpty();
    delete reply;
    return ok;
}

QString StandinService::userId(const QString& name) const
{
    const QJsonObject users =
        record(QStringLiteral("accounts.json")).value(QStringLiteral("users")).toObject();
    return users.value(name).toObject().value(QStringLiteral("zovid")).toString();
}

QJsonObject StandinService::record(const QString& fileName) const
{
    // The service may be writing the file this moment (a request that arrived before its client
    // was killed): a log caught half-written is read again, not taken as empty.
    for (int attempt = 0;; ++attempt) {
        QFile file(QDir(m_data.path()).filePath(fileName));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
        if (error.error == QJsonParseError::NoError || attempt == 100)
            return document.object();
        QThread::msleep(20);
    }
}

QJsonArray StandinService::records(const QString& fileName, const QString& listName) const
{
    return record(fileName).value(listName).toArray();
}

QByteArray StandinService::object(const QString& objectName) const
{
    QFile file(QDir(m_data.path()).filePath(QStringLiteral("objects/") + objectName));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList StandinService::objects() const
{
    QStringList names;
    const QDir root(QDir(m_data.path()).filePath(QStringLiteral("objects")));
    QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        names.append(root.relativeFilePath(it.next()));
    names.sort();
    return names;
}

QUrl StandinService::unusedUrl()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
}
