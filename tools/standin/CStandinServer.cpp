// SPDX-License-Identifier: MIT
#include "CStandinServer.h"

#include "CPostPolicy.h"

#include <httplib.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRandomGenerator>
#include <QUuid>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {
const QString AccessKeyId = QStringLiteral("VELLORA-STANDIN");
const char* const StoragePath = "/storage/upload";
const qint64 MaxObjectBytes = 32 * 1024 * 1024;
const int PolicyMinutes = 15;

QString param(const httplib::Request& request, const char* name)
{
    return QString::fromStdString(request.get_param_value(name));
}

void sendJson(httplib::Response& response, const QJsonObject& object, int status = 200)
{
    response.status = status;
    response.set_content(QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString(),
                         "application/json; charset=utf-8");
}

void sendPage(httplib::Response& response, const char* title)
{
    response.set_content(std::string("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>") + title +
                             "</title></head><body><h1>" + title + "</h1></body></html>",
                         "text/html; charset=utf-8");
}
} // namespace

CStandinServer::CStandinServer(const CStandinOptions& options)
    : m_options(options), m_store(options.dataFolder), m_server(std::make_unique<httplib::Server>())
{
    for (const CStandinFaults::Rule& rule : options.faults)
        m_faults.add(rule);
    for (int i = 0; i < 4; ++i) {
        const quint64 word = QRandomGenerator::system()->generate64();
        m_secret.append(reinterpret_cast<const char*>(&word), sizeof word);
    }
    // Every client connection holds a thread while it is kept alive; the program keeps several.
    m_server->new_task_queue = [] { return new httplib::ThreadPool(48); };
    m_server->set_keep_alive_timeout(2);
    m_server->set_payload_max_length(MaxObjectBytes + 1024 * 1024);
    m_server->set_logger([](const httplib::Request& request, const httplib::Response& response) {
        std::printf("%s %s %d\n", request.method.c_str(), request.path.c_str(), response.status);
        std::fflush(stdout);
    });
    addRoutes();
}

CStandinServer::~CStandinServer() = default;

int CStandinServer::bind()
{
    if (!m_store.open())
        return -1;
    const std::string host = "127.0.0.1";
    if (m_options.port == 0)
        m_port = m_server->bind_to_any_port(host);
    else
        m_port = m_server->bind_to_port(host, m_options.port) ? m_options.port : -1;
    return m_port;
}

bool CStandinServer::run()
{
    return m_port > 0 && m_server->listen_after_bind();
}

void CStandinServer::stop()
{
    m_server->stop();
}

void CStandinServer::addRoutes()
{
    using httplib::Request;
    using httplib::Response;
    httplib::Server& server = *m_server;
    server.Get("/", serve([](const Request&, Response& r) { sendPage(r, "Vellora"); }));
    server.Get("/print/index/index.html",
               serve([](const Request&, Response& r) { sendPage(r, "Vellora print order"); }));
    server.Post("/api/user/auth/login", serve([this](const Request& q, Response& r) {
                    sendJson(r, m_store.login(param(q, "username"), param(q, "password")));
                }));
    server.Post("/api/user/auth/register", serve([this](const Request& q, Response& r) {
                    sendJson(r, m_store.registerAccount(param(q, "username"), param(q, "nickname"),
                                                        param(q, "password"), param(q, "re_password")));
                }));
    server.Get("/api/user/image/upload_auth", serve([this](const Request&, Response& r) { uploadAuth(r); }));
    server.Post(StoragePath, [this](const Request& q, Response& r, const httplib::ContentReader& reader) {
        storage(q, r, reader);
    });
    server.Post("/api/user/image/save", serve([this](const Request& q, Response& r) {
                    QMap<QString, QString> fields;
                    for (const auto& item : q.params)
                        fields.insert(QString::fromStdString(item.first),
                                      QString::fromStdString(item.second));
                    sendJson(r, m_store.saveImage(fields));
                }));
    server.Post("/restapi/vessik/log/add", serve([this](const Request& q, Response& r) {
                    m_store.addUsageReport(param(q, "data"));
                    sendJson(r, QJsonObject{{QStringLiteral("error"), QString()},
                                            {QStringLiteral("msg"), QStringLiteral("ok")}});
                }));
    server.Get("/Vellora/version.js", serve([this](const Request&, Response& r) {
                   releaseFile(QStringLiteral("version.js"), "application/json", r);
               }));
    server.Get("/Vellora/Vellora.zip", serve([this](const Request&, Response& r) {
                   releaseFile(QStringLiteral("Vellora.zip"), "application/zip", r);
               }));
}

CStandinServer::Handler CStandinServer::serve(Handler work)
{
    return [this, work](const httplib::Request& request, httplib::Response& response) {
        if (injectFault(request, response))
            return;
        std::lock_guard<std::mutex> lock(m_work);
        work(request, response);
    };
}

bool CStandinServer::injectFault(const httplib::Request& request, httplib::Response& response)
{
    if (m_options.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(m_options.delayMs));
    const CStandinFaults::Rule rule = m_faults.take(QString::fromStdString(request.path));
    switch (rule.kind) {
    case CStandinFaults::Kind::None:
        return false;
    case CStandinFaults::Kind::Fail:
        response.status = rule.status;
        response.set_content("injected failure", "text/plain");
        return true;
    case CStandinFaults::Kind::Drop:
        // Headers promise a body that never comes: the client sees the connection close mid-answer.
        response.set_content_provider(1024, "text/plain",
                                      [](size_t, size_t, httplib::DataSink&) { return false; });
        return true;
    }
    return false;
}

void CStandinServer::uploadAuth(httplib::Response& response)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString name =
        QStringLiteral("images/%1/%2")
            .arg(now.toString(QStringLiteral("yyyyMMdd")), QUuid::createUuid().toString(QUuid::Id128));
    const CPostPolicy::Grant grant =
        CPostPolicy::make(m_secret, name, MaxObjectBytes, now.addSecs(60 * PolicyMinutes));
    sendJson(
        response,
        QJsonObject{{QStringLiteral("OSSAccessKeyId"), AccessKeyId},
                    {QStringLiteral("policy"), grant.policy},
                    {QStringLiteral("Signature"), grant.signature},
                    {QStringLiteral("postUrl"),
                     QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(QLatin1String(StoragePath))},
                    {QStringLiteral("fileName"), name}});
}

void CStandinServer::storage(const httplib::Request& request, httplib::Response& response,
                             const httplib::ContentReader& reader)
{
    if (!request.is_multipart_form_data()) {
        reader([](const char*, size_t) { return true; });
        if (!injectFault(request, response))
            sendJson(response,
                     QJsonObject{{QStringLiteral("error"), QStringLiteral("multipart form expected")}}, 400);
        return;
    }
    // Parts as the parser hands them over, in the order they came.
    QStringList order;
    QMap<QString, QByteArray> fields;
    QString fileName;
    QString fileType;
    QByteArray file;
    bool tooLarge = false;
    reader(
        [&](const httplib::MultipartFormData& part) {
            order.append(QString::fromStdString(part.name));
            if (part.name == "file") {
                fileName = QString::fromStdString(part.filename);
                fileType = QString::fromStdString(part.content_type);
            }
            return true;
        },
        [&](const char* data, size_t length) {
            QByteArray& target = order.last() == QLatin1String("file") ? file : fields[order.last()];
            tooLarge = tooLarge || target.size() + qint64(length) > MaxObjectBytes;
            if (!tooLarge)
                target.append(data, int(length));
            return !tooLarge;
        });
    if (injectFault(request, response))
        return;
    std::lock_guard<std::mutex> lock(m_work);

    auto refuse = [&response](int status, const QString& why) {
        sendJson(response, QJsonObject{{QStringLiteral("error"), why}}, status);
    };
    const QString key = QString::fromUtf8(fields.value(QStringLiteral("key")));
    if (tooLarge)
        return refuse(413, QStringLiteral("EntityTooLarge"));
    if (order.isEmpty() || order.last() != QLatin1String("file") || order.count(QStringLiteral("file")) != 1)
        return refuse(400, QStringLiteral("the file must be the form's last and only file part"));
    if (QString::fromUtf8(fields.value(QStringLiteral("OSSAccessKeyId"))) != AccessKeyId)
        return refuse(403, QStringLiteral("InvalidAccessKeyId"));
    const QString why =
        CPostPolicy::check(m_secret, QString::fromUtf8(fields.value(QStringLiteral("policy"))),
                           QString::fromUtf8(fields.value(QStringLiteral("Signature"))), key, file.size(),
                           QDateTime::currentDateTimeUtc());
    if (!why.isEmpty())
        return refuse(403, why);

    const QJsonObject upload{
        {QStringLiteral("key"), key},
        {QStringLiteral("parts"), QJsonArray::fromStringList(order)},
        {QStringLiteral("filename"), fileName},
        {QStringLiteral("contentType"), fileType},
        {QStringLiteral("cacheControl"), QString::fromUtf8(fields.value(QStringLiteral("Cache-Control")))},
        {QStringLiteral("size"), file.size()}};
    if (!m_store.storeObject(key, file, upload))
        return refuse(500, QStringLiteral("cannot store the object"));
    sendJson(response, QJsonObject{{QStringLiteral("key"), key}});
}

void CStandinServer::releaseFile(const QString& name, const char* contentType, httplib::Response& response)
{
    QFile file(QDir(m_options.releaseFolder).filePath(name));
    if (m_options.releaseFolder.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        response.status = 404;
        response.set_content("not found", "text/plain");
        return;
    }
    response.set_content(file.readAll().toStdString(), contentType);
}
