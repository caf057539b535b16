// SPDX-License-Identifier: MIT
#include "CInstallJournal.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    CInstallJournal::recover(QCoreApplication::applicationDirPath());
    MainWindow window;
    window.show();
    return app.exec();
}
