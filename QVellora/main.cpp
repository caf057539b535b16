// SPDX-License-Identifier: MIT
#include "CInstallJournal.h"
#include "Records/CProgramOptions.h"
#include "Records/CUiLanguage.h"
#include "mainwindow.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    CInstallJournal::recover(QCoreApplication::applicationDirPath());
    CUiLanguage::install(
        &app, CUiLanguage::resolve(CProgramOptions::read().language, QLocale::system().uiLanguages()));
    MainWindow window;
    window.show();
    return app.exec();
}
