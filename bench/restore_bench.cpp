// SPDX-License-Identifier: MIT
// restore_bench [PATHS [CATEGORIES]]: continues a last session of PATHS pictures (100000 unless
// given) in CATEGORIES categories (10 unless given) on the real edit page, built offscreen. 300 of the
// pictures are small files that exist; the others name a drive that is not there, as after an unplugged card,
// so they must be kept but cannot be shown. They are spread over the categories and the list of thumbnails.
// Measured: the restore until its wait dialog closes, then the session as it would be saved again (every path
// kept). The last line:
//   restore: N paths, restore A s, session again B s, kept K paths
#include "CProgramFiles.h"
#include "Dialogs/QBusyDialog.h"
#include "EditPage/QEditPage.h"
#include "Records/CLastSession.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int total = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const int categories = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 10;
    QTextStream out(stdout);
    if (total < 300 || categories < 1) {
        out << "usage: restore_bench [PATHS >= 300 [CATEGORIES >= 1]]" << Qt::endl;
        return 2;
    }
    QTemporaryDir dir;
    CProgramFiles::setRecordFolderOverride(dir.filePath(QStringLiteral("records")));

    QStringList paths;
    QImage picture(32, 24, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QDir().mkpath(dir.filePath(QStringLiteral("here")));
    for (int i = 0; i < 300; ++i) {
        paths << dir.filePath(QStringLiteral("here/p%1.jpg").arg(i));
        picture.save(paths.last());
    }
    for (int i = 300; i < total; ++i)
        paths << QStringLiteral("/media/card-not-here/DCIM/%1/IMG_%2.jpg").arg(i / 1000).arg(i);
    CLastSession session;
    for (int c = 0; c < categories; ++c) {
        QStringList category;
        for (int i = c; i < paths.size(); i += categories)
            category << paths.at(i);
        session.categories.append({QStringLiteral("类别 %1").arg(c), category});
    }
    session.sourceKind = CLastSession::ChosenFolder;
    session.chosenFolder = dir.filePath(QStringLiteral("here"));
    session.cachedPaths = paths;
    if (!session.write(CProgramFiles::saveLastFile())) {
        out << "cannot write the session file" << Qt::endl;
        return 1;
    }

    QTextStream(stderr) << "session file written" << Qt::endl;
    QEditPage page;
    page.resize(1300, 800);
    page.show();
    QElapsedTimer clock;
    clock.start();
    page.ReOpenLastData();
    while (page.findChild<QBusyDialog*>(QStringLiteral("loadWait"))->isVisible())
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double restore = clock.nsecsElapsed() / 1e9;

    clock.restart();
    const CLastSession again = page.CurrentSession();
    const double save = clock.nsecsElapsed() / 1e9;
    int kept = 0;
    for (const CCategory& category : again.categories)
        kept += category.pictures.size();

    out << QString("restore: %1 paths in %5 categories, restore %2 s, session again %3 s, kept %4 paths")
               .arg(total)
               .arg(restore, 0, 'f', 2)
               .arg(save, 0, 'f', 2)
               .arg(kept)
               .arg(categories)
        << Qt::endl;
    return kept == total ? 0 : 1;
}
