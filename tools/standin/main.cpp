// SPDX-License-Identifier: MIT
#include "CStandinOptions.h"
#include "CStandinServer.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {
CStandinServer* g_server = nullptr;

void stopOnSignal(int)
{
    if (g_server)
        g_server->stop();
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    CStandinOptions options;
    QString error;
    if (!CStandinOptions::parse(arguments, &options, &error)) {
        std::fprintf(stderr, "%s\n%s", qPrintable(error), qPrintable(CStandinOptions::usage()));
        return 2;
    }

    CStandinServer server(options);
    const int port = server.bind();
    if (port < 0) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%d with data in %s\n", options.port,
                     qPrintable(options.dataFolder));
        return 1;
    }
    g_server = &server;
    std::signal(SIGINT, stopOnSignal);
    std::signal(SIGTERM, stopOnSignal);
    std::printf("listening on port %d\n", port);
    std::fflush(stdout);
    const bool served = server.run();
    g_server = nullptr;
    return served ? 0 : 1;
}
