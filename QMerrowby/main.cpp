// SPDX-License-Identifier: MIT
// The usage reporter: posts "user_data.js" once and ends. The arguments ("/k" and its own path,
// passed by the main program) are ignored.
#include "CProgramFiles.h"
#include "QUpdateData.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QUpdateData update;
    QObject::connect(&update, &QUpdateData::sigUpdateEnd, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (!update.UpdateUserData(CProgramFiles::userDataFile()))
        return 0; // nothing to report
    return app.exec();
}
