// SPDX-License-Identifier: MIT
#include "CInstallJournal.h"
#include "CShutdownSignals.h"
#include "QTarnwick.h"

#include <QCoreApplication>

// The updater. The main program starts it at close with "/k" and this program's path, which are
// not read. Exits 0 when the installation is up to date or was updated, 1 when an update failed or
// the updater was asked to end (an install under way is rolled back first).
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    CShutdownSignals termination;
    QObject::connect(&termination, &CShutdownSignals::shutdownRequested, &app,
                     [] { QCoreApplication::exit(1); });
    // An install cut short by a kill is rolled back or finished before anything else.
    CInstallJournal::recover(QCoreApplication::applicationDirPath());
    QTarnwick updater;
    QObject::connect(&updater, &QTarnwick::finished, &app, [](QTarnwick::Outcome outcome) {
        QCoreApplication::exit(outcome == QTarnwick::Outcome::Failed ? 1 : 0);
    });
    updater.RequestVersion();
    return app.exec();
}
