// SPDX-License-Identifier: MIT
#pragma once

#include "CStandinChaos.h"
#include "CStandinFaults.h"
#include "CStandinOptions.h"
#include "CStandinStore.h"

#include <QByteArray>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace httplib {
class ContentReader;
class Server;
struct Request;
struct Response;
} // namespace httplib

// The stand-in for the online service, on 127.0.0.1: accounts, upload authorisation, the storage
// that checks its own POST policies, image registration, usage reports, the release files and the
// two web pages. Requests are read on a pool of threads and answered one at a time; all state is in
// the store. It is strict where the real service is, so that client faults show: a form that ends
// early, a body over the one cap, or text that is not UTF-8 is refused and nothing of it is kept;
// a client that stalls for more than a few seconds is cut off.
class CStandinServer
{
public:
    explicit CStandinServer(const CStandinOptions& options);
    ~CStandinServer();

    // Opens the data folder and binds the port (0: any free one). The port, or -1 on failure.
    int bind();
    // Serves until stop(); false when it was not bound.
    bool run();
    // Safe from any thread and from a signal handler.
    void stop();

private:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;
    using FormHandler =
        std::function<void(const httplib::Request&, httplib::Response&, const httplib::ContentReader&)>;

    void addRoutes();
    // Wraps a route: faults and delay first, then the work, one request at a time. Qt's date and
    // text conversions are not safe to run for the first time on several threads at once.
    Handler serve(Handler work);
    // serve() for the url-encoded form routes: the body is read here, under the one body cap.
    FormHandler serveForm(Handler work);
    // Applies --delay and the first matching --fail/--drop rule; true when the answer is made.
    bool injectFault(const httplib::Request& request, httplib::Response& response);
    // The random faults and the 429s of CStandinChaos; true when the answer is made.
    bool injectChaos(const httplib::Request& request, httplib::Response& response);
    void uploadAuth(httplib::Response& response);
    void storage(const httplib::Request& request, httplib::Response& response,
                 const httplib::ContentReader& reader);
    void releaseFile(const QString& name, const char* contentType, httplib::Response& response);

    CStandinOptions m_options;
    CStandinStore m_store;
    CStandinFaults m_faults;
    CStandinChaos m_chaos;
    QByteArray m_secret;
    int m_port = -1;
    std::atomic<bool> m_stopping{false};
    std::mutex m_work;
    std::unique_ptr<httplib::Server> m_server;
};
