// SPDX-License-Identifier: MIT
#include "CInstallJournal.h"
#include "Records/CProgramOptions.h"
#include "Records/CUiLanguage.h"
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
    int result = 0;
    {
        MainWindow window;
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
