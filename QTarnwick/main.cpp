// SPDX-License-Identifier: MIT
#include "QTarnwick.h"

#include <QCoreApplication>

// The updater. The main program starts it at close with "/k" and this program's path, which are
// not read. Exits 0 when the installation is up to date or was updated, 1 when an update failed.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTarnwick updater;
    QObject::connect(&updater, &QTarnwick::finished, &app, [](QTarnwick::Outcome outcome) {
        QCoreApplication::exit(outcome == QTarnwick::Outcome::Failed ? 1 : 0);
    });
    updater.RequestVersion();
    return app.exec();
}
