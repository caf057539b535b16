// SPDX-License-Identifier: MIT
#include "CShutdownSignals.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    MainWindow window;
    // At log-out the desktop ends the program with a signal, not by closing the window.
    CShutdownSignals shutdown;
    QObject::connect(&shutdown, &CShutdownSignals::shutdownRequested, &window, [&window, &app] {
        window.SaveForShutdown();
        app.quit();
    });
    window.show();
    return app.exec();
}
