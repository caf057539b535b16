// SPDX-License-Identifier: MIT
// The usage reporter: posts "user_data.js" once and ends. The arguments ("/k" and its own path,
// passed by the main program) are ignored.
#include "CProgramFiles.h"
#include "CShutdownSignals.h"
#include "QUpdateData.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QUpdateData update;
    // A log-out during the post: the records go back to "user_data.js" before the reporter ends.
    CShutdownSignals shutdown;
    QObject::connect(&shutdown, &CShutdownSignals::shutdownRequested, &update, &QUpdateData::stop);
    QObject::connect(&update, &QUpdateData::sigUpdateEnd, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (!update.UpdateUserData(CProgramFiles::userDataFile()))
        return 0; // nothing to report
    return app.exec();
}
