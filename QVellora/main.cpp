// SPDX-License-Identifier: MIT
#include "CInstallJournal.h"
#include "CLogging.h"
#include "CProgramFiles.h"
#include "Records/CProgramOptions.h"
#include "Records/CUiLanguage.h"
#include "Records/QSingleInstance.h"
#include "Thread/CThumbnailPipeline.h"
#include "mainwindow.h"

#include <QApplication>
#include <QLocale>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    CInstallJournal::recover(QCoreApplication::applicationDirPath());
    CUiLanguage::install(
        &app, CUiLanguage::resolve(CProgramOptions::read().language, QLocale::system().uiLanguages()));
    // One copy per record folder: a second start shows the first window instead.
    QSingleInstance single(CProgramFiles::recordFolder());
    if (!single.claim())
        return 0;
    int result = 0;
    {
        MainWindow window;
        QObject::connect(&single, &QSingleInstance::anotherStart, &window, [&window] {
            qCDebug(lcRecords) << "started again: the window comes to the front";
            window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
            window.show();
            window.raise();
            window.activateWindow();
        });
        window.show();
        result = app.exec();
    }
    // Everything is saved by now. A decode stuck for good (a dead network share) would still
    // run while the libraries it is in are torn down: leave without tearing anything down.
    if (CThumbnailPipeline::workersLeftBehind()) {
        std::fflush(nullptr);
        std::_Exit(result);
    }
    return result;
}
