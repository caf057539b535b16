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
#include <QTextCodec>
#include <QUuid>

#include <chrono>
#include <cstdio>
#include <thread>

#ifdef Q_OS_UNIX
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace {
const QString AccessKeyId = QStringLiteral("VELLORA-STANDIN");
const char* const StoragePath = "/storage/upload";
const qint64 MaxObjectBytes = 32 * 1024 * 1024;
// The one cap on a whole request body, whatever its encoding: room for the largest object and
// the form around it.
const qint64 MaxBodyBytes = MaxObjectBytes + 1024 * 1024;
const int PolicyMinutes = 15;
// A client that sends or takes nothing for this long is cut off, so slow clients cannot hold the
// threads that serve everybody.
const int IoTimeoutSeconds = 2;
const int StallSeconds = 60;
// What a cut answer announces; half of it is sent.
const size_t CutAnswerBytes = 64 * 1024;

// Strict UTF-8: false for invalid or cut-off sequences (instead of turning them into U+FFFD, which
// would make different bytes the same text). A leading U+FEFF is text like any other and kept.
bool decodeUtf8(const std::string& bytes, QString* text)
{
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    *text = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.data(), int(bytes.size()), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

// Only called for requests whose parameters were checked by serve().
QString param(const httplib::Request& request, const char* name)
{
    QString text;
    decodeUtf8(request.get_param_value(name), &text);
    return text;
}

// Closes the connection a request came on without any answer. The server does not hand out its
// sockets, so the one whose peer is the request's is looked up.
void closeConnection(const httplib::Request& request)
{
#ifdef Q_OS_UNIX
    for (int fd = 3; fd < 4096; ++fd) {
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0 || peer.ss_family != AF_INET)
            continue;
        if (ntohs(reinterpret_cast<const sockaddr_in&>(peer).sin_port) == request.remote_port) {
            ::shutdown(fd, SHUT_RDWR);
            return;
        }
    }
#else
    Q_UNUSED(request)
#endif
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
    : m_options(options), m_store(options.dataFolder), m_chaos(options.chaos),
      m_server(std::make_unique<httplib::Server>())
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
    // An answer goes out as its head and then its body: with Nagle's algorithm the body waits
    // for the client's delayed acknowledgement of the head, 40 ms on a kept-alive connection,
    // which no real service makes its clients wait.
    m_server->set_tcp_nodelay(true);
    m_server->set_read_timeout(IoTimeoutSeconds);
    m_server->set_write_timeout(IoTimeoutSeconds);
    m_server->set_payload_max_length(MaxBodyBytes);
    // A chunked body has no length to check up front; only the storage reads one, counting.
    m_server->set_pre_routing_handler([](const httplib::Request& request, httplib::Response& response) {
        if (request.get_header_value("Transfer-Encoding") == "chunked" && request.path != StoragePath) {
            response.status = 411;
            response.set_content("a length is required", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
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
    m_stopping = true;
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
    server.Post("/api/user/auth/login", serveForm([this](const Request& q, Response& r) {
                    sendJson(r, m_store.login(param(q, "username"), param(q, "password")));
                }));
    server.Post("/api/user/auth/register", serveForm([this](const Request& q, Response& r) {
                    bool storageFailed = false;
                    const QJsonObject answer = m_store.registerAccount(
                        param(q, "username"), param(q, "nickname"), param(q, "password"),
                        param(q, "re_password"), &storageFailed);
                    sendJson(r, answer, storageFailed ? 500 : 200);
                }));
    server.Get("/api/user/image/upload_auth", serve([this](const Request&, Response& r) { uploadAuth(r); }));
    server.Post(StoragePath, [this](const Request& q, Response& r, const httplib::ContentReader& reader) {
        storage(q, r, reader);
    });
    server.Post("/api/user/image/save", serveForm([this](const Request& q, Response& r) {
                    QMap<QString, QString> fields;
                    for (const auto& item : q.params)
                        fields.insert(QString::fromStdString(item.first), param(q, item.first.c_str()));
                    bool storageFailed = false;
                    const QJsonObject answer = m_store.saveImage(fields, &storageFailed);
                    sendJson(r, answer, storageFailed ? 500 : 200);
                }));
    server.Post(
        "/restapi/vessik/log/add", serveForm([this](const Request& q, Response& r) {
            if (!m_store.addUsageReport(param(q, "data"))) {
                sendJson(r, QJsonObject{{QStringLiteral("error"), QStringLiteral("cannot store the report")}},
                         500);
                return;
            }
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
        QString text;
        for (const auto& item : request.params) {
            if (!decodeUtf8(item.first, &text) || !decodeUtf8(item.second, &text)) {
                sendJson(response, QJsonObject{{QStringLiteral("error"), QStringLiteral("invalid UTF-8")}},
                         400);
                return;
            }
        }
        std::lock_guard<std::mutex> lock(m_work);
        work(request, response);
    };
}

CStandinServer::FormHandler CStandinServer::serveForm(Handler work)
{
    // The library reads url-encoded forms itself only up to its own small limit (8 KiB), which a
    // usage report of a few runs exceeds. Read here, a form has the one cap of every body.
    Handler checked = serve(std::move(work));
    return [checked](const httplib::Request& request, httplib::Response& response,
                     const httplib::ContentReader& reader) {
        std::string body;
        bool tooLarge = false;
        const bool whole = reader([&](const char* data, size_t length) {
            tooLarge = tooLarge || qint64(body.size() + length) > MaxBodyBytes;
            if (!tooLarge)
                body.append(data, length);
            return !tooLarge;
        });
        if (tooLarge) {
            sendJson(response, QJsonObject{{QStringLiteral("error"), QStringLiteral("EntityTooLarge")}}, 413);
            return;
        }
        // A body cut short (the sender went away after its headers) is no form: nothing is stored.
        const std::string announced = request.get_header_value("Content-Length");
        if (!whole || (!announced.empty() && std::to_string(body.size()) != announced)) {
            sendJson(response, QJsonObject{{QStringLiteral("error"), QStringLiteral("incomplete body")}},
                     400);
            return;
        }
        httplib::Request form = request;
        form.body = body;
        if (request.get_header_value("Content-Type").find("application/x-www-form-urlencoded") == 0)
            httplib::detail::parse_query_text(body, form.params);
        checked(form, response);
    };
}

bool CStandinServer::injectFault(const httplib::Request& request, httplib::Response& response)
{
    if (m_options.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(m_options.delayMs));
    if (injectChaos(request, response))
        return true;
    const CStandinFaults::Rule rule = m_faults.take(QString::fromStdString(request.path));
    switch (rule.kind) {
    case CStandinFaults::Kind::None:
        return false;
    case CStandinFaults::Kind::Fail:
        response.status = rule.status;
        if (rule.body.isEmpty())
            response.set_content("injected failure", "text/plain");
        else
            response.set_content(rule.body.toStdString(), "application/json; charset=utf-8");
        return true;
    case CStandinFaults::Kind::Drop:
        // Closed before any status line, as a storage that lost the connection: nothing arrives
        // that could be read as an answer.
        closeConnection(request);
        response.status = 500;
        return true;
    case CStandinFaults::Kind::Cut: {
        // A 200 that announces its whole length and breaks off half-way, as a download cut short.
        const size_t announced = CutAnswerBytes;
        response.status = 200;
        response.set_content_provider(announced, "application/octet-stream",
                                      [announced](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset >= announced / 2)
                                              return false; // closes the connection
                                          const std::string half(announced / 2, '\0');
                                          sink.write(half.data(), half.size());
                                          return true;
                                      });
        return true;
    }
    case CStandinFaults::Kind::Stall:
        // Never answers (until the service stops), as a hung server.
        for (int i = 0; i < StallSeconds * 20 && !m_stopping; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        closeConnection(request);
        response.status = 500;
        return true;
    }
    return false;
}

bool CStandinServer::injectChaos(const httplib::Request& request, httplib::Response& response)
{
    const QString path = QString::fromStdString(request.path);
    const int retryAfter = m_chaos.busyNow(path);
    if (retryAfter >= 0) {
        sendJson(response, QJsonObject{{QStringLiteral("error"), QStringLiteral("SlowDown")}}, 429);
        response.set_header("Retry-After", std::to_string(retryAfter));
        return true;
    }
    if (m_chaos.failNow(path)) {
        sendJson(response, QJsonObject{{QStringLiteral("error"), QStringLiteral("ServiceUnavailable")}}, 503);
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
        qint64 received = 0;
        reader([&received](const char*, size_t length) {
            received += qint64(length);
            return received <= MaxBodyBytes;
        });
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
    qint64 received = 0;
    bool tooLarge = false;
    // A connection lost half-way through the body: nothing of it is stored.
    const qint64 dropAt = m_chaos.dropNow(QString::fromStdString(request.path))
                              ? qint64(request.get_header_value<uint64_t>("Content-Length")) / 2
                              : -1;
    const bool complete = reader(
        [&](const httplib::MultipartFormData& part) {
            order.append(QString::fromStdString(part.name));
            if (part.name == "file") {
                fileName = QString::fromStdString(part.filename);
                fileType = QString::fromStdString(part.content_type);
            }
            return true;
        },
        [&](const char* data, size_t length) {
            received += qint64(length);
            if (dropAt >= 0 && received >= dropAt) {
                closeConnection(request);
                return false;
            }
            tooLarge = tooLarge || received > MaxBodyBytes;
            if (!tooLarge)
                (order.last() == QLatin1String("file") ? file : fields[order.last()])
                    .append(data, int(length));
            return !tooLarge;
        });
    if (dropAt >= 0) {
        response.status = 500;
        return;
    }
    if (injectFault(request, response))
        return;
    std::lock_guard<std::mutex> lock(m_work);

    auto refuse = [&response](int status, const QString& why) {
        sendJson(response, QJsonObject{{QStringLiteral("error"), why}}, status);
    };
    if (tooLarge)
        return refuse(413, QStringLiteral("EntityTooLarge"));
    // Cut short or without its closing boundary: what arrived is not the form that was sent.
    if (!complete)
        return refuse(400, QStringLiteral("the form ends early"));
    QMap<QString, QString> texts;
    for (auto it = fields.constBegin(); it != fields.constEnd(); ++it)
        if (!decodeUtf8(it.value().toStdString(), &texts[it.key()]))
            return refuse(400, QStringLiteral("invalid UTF-8"));
    const QString key = texts.value(QStringLiteral("key"));
    if (order.isEmpty() || order.last() != QLatin1String("file") || order.count(QStringLiteral("file")) != 1)
        return refuse(400, QStringLiteral("the file must be the form's last and only file part"));
    if (texts.value(QStringLiteral("OSSAccessKeyId")) != AccessKeyId)
        return refuse(403, QStringLiteral("InvalidAccessKeyId"));
    const QString why = CPostPolicy::check(m_secret, texts.value(QStringLiteral("policy")),
                                           texts.value(QStringLiteral("Signature")), key, file.size(),
                                           QDateTime::currentDateTimeUtc());
    if (!why.isEmpty())
        return refuse(403, why);

    const QJsonObject upload{{QStringLiteral("key"), key},
                             {QStringLiteral("parts"), QJsonArray::fromStringList(order)},
                             {QStringLiteral("filename"), fileName},
                             {QStringLiteral("contentType"), fileType},
                             {QStringLiteral("cacheControl"), texts.value(QStringLiteral("Cache-Control"))},
                             {QStringLiteral("size"), file.size()},
                             {QStringLiteral("sha256"), CStandinStore::digest(file)}};
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
