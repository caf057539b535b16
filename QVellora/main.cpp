// SPDX-License-Identifier: MIT
#include "CInstallJournal.h"
#include "CLogging.h"
#include "CProgramFiles.h"
#include "Records/QSingleInstance.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    CInstallJournal::recover(QCoreApplication::applicationDirPath());
    // One copy per record folder: a second start shows the first window instead.
    QSingleInstance single(CProgramFiles::recordFolder());
    if (!single.claim())
        return 0;
    MainWindow window;
    QObject::connect(&single, &QSingleInstance::anotherStart, &window, [&window] {
        qCDebug(lcRecords) << "started again: the window comes to the front";
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        window.show();
        window.raise();
        window.activateWindow();
    });
    window.show();
    return app.exec();
}
