// SPDX-License-Identifier: MIT
#include "CProgramFiles.h"
#include "CatePage/QCatePage.h"
#include "Dialogs/QBusyDialog.h"
#include "Dialogs/QSetFileTypeDlg.h"
#include "Dialogs/QUserDialogs.h"
#include "EditPage/QEditPage.h"
#include "EditPageActions.h"
#include "InitPage/QInitPage.h"
#include "OtherWidget/QDrawImageButton.h"
#include "PageParts.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Pictures/CThumbnailCache.h"
#include "Records/CCompanionLauncher.h"
#include "Records/CJsonFile.h"
#include "Records/CLastSession.h"
#include "Records/CProgramOptions.h"
#include "StandinService.h"
#include "TestSupport.h"
#include "ViewPage/QViewPage.h"
#include "mainwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/types.h>
#endif

class tst_MainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void windowSetUp();
    void menusAndActions();
    void serviceIdFirstNonEmptyWins();
    void scanFromTheMenuFillsTheEditPage();
    void thumbnailCacheSwitchIsKeptAndFollowed();
    void closeWithoutCompanions();
    void closeStartsCompanionsWithTheirArguments();
    void launcherSkipsMissingPrograms();
    void logOutKeepsTheRunOnce();
    void desktopSignalsEndTheRealProgramWithItsRecords_data();
    void desktopSignalsEndTheRealProgramWithItsRecords();
    void secondStartBringsTheFirstToTheFront();

private:
    static bool writeFakeCompanion(const QString& program, const QString& logFile);

    std::unique_ptr<QTemporaryDir> m_records;
};

void tst_MainWindow::init()
{
    // A close saves record files and posts the usage file: both stay inside the test.
    m_records = std::make_unique<QTemporaryDir>();
    CProgramFiles::setRecordFolderOverride(m_records->path());
    qputenv("VELLORA_SERVICE_URL", StandinService::unusedUrl().toString().toUtf8());
}

void tst_MainWindow::cleanup()
{
    CProgramFiles::setRecordFolderOverride(QString());
    m_records.reset();
    CThumbnailCache::setEnabled(true);
}

void tst_MainWindow::windowSetUp()
{
    MainWindow window;
    QCOMPARE(window.windowTitle(), QString("Vellora"));
    QVERIFY(!window.windowIcon().isNull());
    QCOMPARE(window.minimumSize(), QSize(1300, 650));
    QCOMPARE(window.size(), QSize(1300, 650));
    QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("就绪"));
    QCOMPARE(window.centralWidget()->objectName(), QString("centralWidget"));
    QVERIFY(window.centralWidget()->isAncestorOf(window.pageStack()));
    QCOMPARE(window.openTime().timeSpec(), Qt::UTC);
    QVERIFY(qAbs(window.openTime().secsTo(QDateTime::currentDateTimeUtc())) < 60);
}

void tst_MainWindow::menusAndActions()
{
    MainWindow window;
    const QList<QAction*> menus = window.menuBar()->actions();
    QStringList titles;
    for (QAction* menu : menus)
        titles << menu->text();
    QCOMPARE(titles, (QStringList{QStringLiteral("&文件"), QStringLiteral("&编辑"), QStringLiteral("&视图"),
                                  QStringLiteral("&设置"), QStringLiteral("&帮助")}));

    const QList<QStringList> expected{
        {QStringLiteral("选择扫描对象目录"), QStringLiteral("&继续上次扫描"),
         QStringLiteral("浏览已扫描照片")},
        // nothing to undo yet: greyed out; then the sorting keys' sub-menu
        {QStringLiteral("撤销"), QStringLiteral("重做"), QString(), QStringLiteral("选片按键")},
        // the edit page's dock toggles, then its one-tile-per-group view, its tick of the
        // sharpest of each group and its tile size
        {QStringLiteral("目录"), QStringLiteral("已扫描"), QString(), QStringLiteral("只显示每组第一张"),
         QStringLiteral("勾选每组最清晰的一张"), QStringLiteral("缩略图大小")},
        {QStringLiteral("&过滤照片类型"), QStringLiteral("&照片时间范围"),
         QStringLiteral("&使用系统缩略图缓存"), QStringLiteral("界面语言")},
        {QStringLiteral("&新手帮助"), QStringLiteral("键盘快捷键"), QStringLiteral("&访问主页"),
         QStringLiteral("&联系客服")}};
    for (int m = 0; m < menus.size(); ++m) {
        QStringList texts;
        for (QAction* action : menus.at(m)->menu()->actions())
            texts << action->text();
        QCOMPARE(texts, expected.at(m));
    }
    // The file and settings actions carry their icons; a switch shows its tick, a sub-menu its arrow.
    for (QAction* action : menus.at(1)->menu()->actions().mid(0, 2))
        QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
    for (QAction* action : menus.at(0)->menu()->actions() + menus.at(3)->menu()->actions())
        QVERIFY2(!action->icon().isNull() || action->isCheckable() || action->menu(),
                 qPrintable(action->text()));
}

void tst_MainWindow::serviceIdFirstNonEmptyWins()
{
    MainWindow window;
    window.onGetZovID(QString());
    QCOMPARE(window.serviceId(), QString());
    window.onGetZovID("first");
    window.onGetZovID(QString());
    window.onGetZovID("second");
    QCOMPARE(window.serviceId(), QString("first"));
}

static QAction* actionNamed(QMenuBar* bar, const QString& text)
{
    for (QAction* menu : bar->actions()) {
        for (QAction* action : menu->menu()->actions()) {
            if (action->text() == text)
                return action;
        }
    }
    return nullptr;
}

void tst_MainWindow::scanFromTheMenuFillsTheEditPage()
{
    QTemporaryDir dir;
    QVERIFY(TestSupport::writeImage(dir.filePath("photos/a.jpg"), QSize(40, 30)));
    QVERIFY(TestSupport::writeImage(dir.filePath("photos/b.png"), QSize(40, 30)));
    QVERIFY(TestSupport::writeImage(dir.filePath("photos/c.png"), QSize(40, 30)));
    QVERIFY(
        TestSupport::setModified(dir.filePath("photos/c.png"), QDateTime(QDate(1999, 5, 1), QTime(9, 0))));
    QVERIFY(QDir(dir.path()).mkpath("empty"));
    QString folder = dir.filePath("empty");
    QUserDialogs::Answers answers;
    answers.folder = [&](const QString&, const QString&) { return folder; };
    answers.exec = [](QDialog* dialog) {
        for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
            if (box->text() == QStringLiteral("JPG类型"))
                box->setChecked(false);
        }
        return int(QDialog::Rejected);
    };
    QUserDialogs::setAnswers(answers);
    auto restore = qScopeGuard([] { QUserDialogs::clearAnswers(); });

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.pageStack()->count(), 4);
    QCOMPARE(window.pageStack()->widget(0), window.initPage());
    QCOMPARE(window.pageStack()->widget(1), window.editPage());
    QCOMPARE(window.pageStack()->widget(2), static_cast<QWidget*>(window.catePage()));
    QCOMPARE(window.pageStack()->widget(3), static_cast<QWidget*>(window.viewPage()));
    QCOMPARE(window.pageStack()->currentIndex(), 0);
    // Every action leads somewhere now.
    for (const char* text : {"&继续上次扫描", "浏览已扫描照片", "&新手帮助", "&联系客服"})
        QVERIFY2(actionNamed(window.menuBar(), QString::fromUtf8(text))->isEnabled(), text);
    QCOMPARE(window.viewMenu()->actions().mid(0, 2), window.editPage()->GetDockToggleActions());
    QStringList docks;
    for (QAction* toggle : window.editPage()->GetDockToggleActions())
        docks << toggle->text();
    QCOMPARE(docks, (QStringList{QStringLiteral("目录"), QStringLiteral("已扫描")}));
    QCOMPARE(window.viewMenu()->actions().value(3), window.editPage()->GetFirstOfEachAction());
    QVERIFY(window.editPage()->GetFirstOfEachAction()->isCheckable());

    // A search that finds nothing still reaches the window, which shows the edit page.
    QAction* scan = actionNamed(window.menuBar(), QStringLiteral("选择扫描对象目录"));
    QVERIFY(scan->isEnabled());
    scan->trigger();
    QTRY_COMPARE(window.pageStack()->currentIndex(), 1);
    QVERIFY(!window.initPage()->GetProgressDialog()->isVisible());
    QCOMPARE(window.scanPath(), dir.filePath("empty"));
    QCOMPARE(PageParts::find<QPhotoViewListWidget>(window.editPage(), "photoList")->count(), 0);

    // The type dialog edits the one filter that both searches use: without JPG only b.png is new
    // enough and of a chosen type.
    actionNamed(window.menuBar(), QStringLiteral("&过滤照片类型"))->trigger();
    QCOMPARE(window.photoFilter().suffixes(),
             (QStringList{"png", "bmp", "heic", "heif", "webp", "avif", "tif", "tiff"}));
    window.pageStack()->setCurrentIndex(0);
    folder = dir.filePath("photos");
    QTest::mouseClick(window.initPage()->GetScanButton(), Qt::LeftButton);
    QTRY_COMPARE(window.pageStack()->currentIndex(), 1);
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(window.editPage(), "photoList");
    QTRY_COMPARE(grid->count(), 1);
    QCOMPARE(grid->PathAt(0), dir.filePath("photos/b.png"));
    QCOMPARE(window.editPage()->CurrentSession().chosenFolder, dir.filePath("photos"));

    // A picture pressed in the grid shows its path in the status bar.
    EditPageActions::clickTile(grid, 0);
    QCOMPARE(window.statusBar()->currentMessage(), dir.filePath("photos/b.png"));
}

void tst_MainWindow::thumbnailCacheSwitchIsKeptAndFollowed()
{
    QTemporaryDir dir;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("cache")));
    const QString photo = dir.filePath("photos/a.png");
    QVERIFY(TestSupport::writeImage(photo, QSize(40, 30)));
    const QString entry = CThumbnailCache(CThumbnailCache::standardRoot()).entryPath("x-large", photo);

    {
        MainWindow window;
        QAction* cache = actionNamed(window.menuBar(), QStringLiteral("&使用系统缩略图缓存"));
        QVERIFY(cache && cache->isCheckable());
        QVERIFY(cache->isChecked()); // on by default
        QVERIFY(CThumbnailCache::isEnabled());
        cache->trigger();
        QVERIFY(!CThumbnailCache::isEnabled());
        QVERIFY(!CProgramOptions::read().thumbnailCache);
    }

    // The next run starts switched off, and its loaders neither read nor write the cache.
    MainWindow window;
    QAction* cache = actionNamed(window.menuBar(), QStringLiteral("&使用系统缩略图缓存"));
    QVERIFY(!cache->isChecked());
    QVERIFY(!CThumbnailCache::isEnabled());
    QPhotoViewListWidget* grid = PageParts::find<QPhotoViewListWidget>(window.editPage(), "photoList");
    window.editPage()->SetInitScanPath(dir.filePath("photos"));
    window.editPage()->SetInitPageImageList({photo});
    QTRY_COMPARE(grid->count(), 1);
    QVERIFY(!QFileInfo::exists(CThumbnailCache::standardRoot()));

    // Switched on again: the next folder opened fills the cache, and the choice is kept.
    cache->trigger();
    QVERIFY(CProgramOptions::read().thumbnailCache);
    window.editPage()->OpenFolder(dir.filePath("photos"), false);
    QTRY_VERIFY(QFileInfo::exists(entry));
    QTRY_COMPARE(grid->count(), 1);
}

bool tst_MainWindow::writeFakeCompanion(const QString& program, const QString& logFile)
{
    // A stand-in companion that records how it was started.
    const QByteArray script = "#!/bin/sh\nprintf '%s|' \"$0\" \"$@\" > '" + logFile.toUtf8() + ".tmp'\nmv '" +
                              logFile.toUtf8() + ".tmp' '" + logFile.toUtf8() + "'\n";
    if (!TestSupport::writeFile(program, script))
        return false;
    return QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void tst_MainWindow::closeWithoutCompanions()
{
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString& name : CCompanionLauncher::companionNames())
        QVERIFY(!QFile::exists(CCompanionLauncher::programPath(dir, name)));

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.close());
    QVERIFY(!window.isVisible());
    QCOMPARE(window.closeTime().timeSpec(), Qt::UTC);
    QVERIFY(window.closeTime() >= window.openTime());
}

void tst_MainWindow::closeStartsCompanionsWithTheirArguments()
{
#ifdef Q_OS_WIN
    QSKIP("uses shell scripts as stand-in companions");
#endif
    // The window looks for its companions next to the program, which for this test is the test
    // binary's folder: place stand-ins there for the duration of the test.
    const QString dir = QCoreApplication::applicationDirPath();
    QTemporaryDir logs;
    QStringList programs;
    for (const QString& name : CCompanionLauncher::companionNames()) {
        const QString program = CCompanionLauncher::programPath(dir, name);
        QVERIFY(writeFakeCompanion(program, logs.filePath(name)));
        programs << program;
    }
    auto cleanup = qScopeGuard([&] {
        for (const QString& program : programs)
            QFile::remove(program);
    });

    MainWindow window;
    window.show();
    QVERIFY(window.close());

    for (const QString& name : CCompanionLauncher::companionNames()) {
        const QString log = logs.filePath(name);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(log), 10000);
        const QString program = CCompanionLauncher::programPath(dir, name);
        QCOMPARE(QString::fromUtf8(TestSupport::readFile(log)), program + "|/k|" + program + "|");
    }
}

void tst_MainWindow::launcherSkipsMissingPrograms()
{
#ifdef Q_OS_WIN
    QSKIP("uses shell scripts as stand-in companions");
#endif
    QTemporaryDir dir;
    QTemporaryDir logs;
    QVERIFY(writeFakeCompanion(CCompanionLauncher::programPath(dir.path(), "QTarnwick"),
                               logs.filePath("QTarnwick")));
    // A folder with the reporter's name is not a program either.
    QVERIFY(QDir().mkpath(CCompanionLauncher::programPath(dir.path(), "QMerrowby")));

    const QStringList started = CCompanionLauncher::startAll(dir.path());
    QCOMPARE(started, QStringList{CCompanionLauncher::programPath(dir.path(), "QTarnwick")});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(logs.filePath("QTarnwick")), 10000);
    QVERIFY(!QFile::exists(logs.filePath("QMerrowby")));
}

namespace {
int usageRecordCount(const QString& file)
{
    return CJsonFile::read(file)[QStringLiteral("records")].toObject().size();
}

#ifdef Q_OS_LINUX
// Whether the process has a handler for the signal, read from /proc: the program is then far
// enough into its start to keep its work when the signal comes.
bool catchesSignal(qint64 pid, int signalNumber)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signalNumber - 1)) & 1;
    }
    return false;
}
#endif
} // namespace

void tst_MainWindow::logOutKeepsTheRunOnce()
{
#ifndef Q_OS_UNIX
    QSKIP("desktops end programs with SIGTERM only on Unix");
#else
    const QStringList photos = EditPageActions::writePictures(m_records->path(), "photos", 3, QSize(40, 30));
    QCOMPARE(photos.size(), 3);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QEditPage* page = window.editPage();
    window.pageStack()->setCurrentIndex(1);
    page->SetInitScanPath(m_records->filePath("photos"));
    page->SetInitPageImageList(photos);
    QTRY_COMPARE(PageParts::find<QPhotoViewListWidget>(page, "photoList")->count(), 3);
    QVERIFY(EditPageActions::dragTicked(*page, {0, 1}, 0));

    // The desktop's log-out: the sorting and the run's record are on disk at once, not 2 s later.
    QVERIFY(!QFile::exists(CProgramFiles::saveLastFile()));
    ::raise(SIGTERM);
    QTRY_COMPARE_WITH_TIMEOUT(usageRecordCount(CProgramFiles::userDataFile()), 1, 5000);
    QCOMPARE(CLastSession::read(CProgramFiles::saveLastFile()).categories.value(0).pictures.size(), 2);

    // The session manager asking as well, and a close after all, add no second record.
    window.SaveForShutdown();
    QVERIFY(window.close());
    QCOMPARE(usageRecordCount(CProgramFiles::userDataFile()), 1);
#endif
}

void tst_MainWindow::desktopSignalsEndTheRealProgramWithItsRecords_data()
{
    QTest::addColumn<int>("signalNumber");
    // A first start says nothing on the terminal unless the user asks for the program's debug lines.
    QTest::addColumn<QString>("loggingRules");
#ifdef Q_OS_UNIX
    QTest::newRow("SIGTERM, quiet") << int(SIGTERM) << QString();
    QTest::newRow("SIGHUP, debug asked for") << int(SIGHUP) << QStringLiteral("vellora.*.debug=true");
#endif
}

void tst_MainWindow::desktopSignalsEndTheRealProgramWithItsRecords()
{
#ifndef Q_OS_LINUX
    QSKIP("reads the program's signal handlers from /proc");
#else
    QFETCH(int, signalNumber);
    QFETCH(QString, loggingRules);
    // A copy of the program in a folder of its own, which then holds its record files.
    QTemporaryDir install;
    QVERIFY(install.isValid());
    const QString program = install.filePath(QFileInfo(QStringLiteral(VELLORA_PROGRAM)).fileName());
    QVERIFY(QFile::copy(QStringLiteral(VELLORA_PROGRAM), program));
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("VELLORA_SERVICE_URL", StandinService::unusedUrl().toString());
    environment.remove("QT_LOGGING_RULES");
    if (!loggingRules.isEmpty())
        environment.insert("QT_LOGGING_RULES", loggingRules);
    run.setProcessEnvironment(environment);
    run.start(program, {});
    QVERIFY(run.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(catchesSignal(run.processId(), signalNumber), 20000);

    ::kill(pid_t(run.processId()), signalNumber);
    QVERIFY(run.waitForFinished(20000));
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), 0);
    QCOMPARE(usageRecordCount(CProgramFiles::join(install.path(), "user_data.js")), 1);
    // Nothing was sorted: the last session is not replaced by an empty one.
    QVERIFY(!QFile::exists(CProgramFiles::join(install.path(), "save_last.js")));

    const QString terminal = QString::fromLocal8Bit(run.readAllStandardError());
    const QRegularExpression ownLine(QStringLiteral("^vellora\\.\\w+: "),
                                     QRegularExpression::MultilineOption);
    if (loggingRules.isEmpty())
        QVERIFY2(!terminal.contains(ownLine), qPrintable(terminal));
    else
        QVERIFY2(terminal.contains(ownLine), qPrintable(terminal));
#endif
}

void tst_MainWindow::secondStartBringsTheFirstToTheFront()
{
#ifndef Q_OS_LINUX
    QSKIP("reads the program's signal handlers from /proc");
#else
    // Two starts of one program folder: both would keep their records there.
    QTemporaryDir install;
    QVERIFY(install.isValid());
    const QString program = install.filePath(QFileInfo(QStringLiteral(VELLORA_PROGRAM)).fileName());
    QVERIFY(QFile::copy(QStringLiteral(VELLORA_PROGRAM), program));
    const QString session = CProgramFiles::join(install.path(), "save_last.js");
    CLastSession earlier;
    earlier.categories = {{"a1", {"/photos/a1.jpg"}}};
    QVERIFY(earlier.write(session));
    const QByteArray before = TestSupport::readFile(session);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("VELLORA_SERVICE_URL", StandinService::unusedUrl().toString());
    // The first copy says so in a debug line, off by default.
    environment.insert("QT_LOGGING_RULES", "vellora.*.debug=true");
    QProcess first;
    first.setProcessEnvironment(environment);
    first.setProcessChannelMode(QProcess::MergedChannels);
    first.start(program, {});
    QVERIFY(first.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(catchesSignal(first.processId(), SIGTERM), 20000);

    // The second start hands over and ends by itself; the first window comes to the front.
    QProcess second;
    second.setProcessEnvironment(environment);
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.start(program, {});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QByteArray firstLog;
    QTRY_VERIFY_WITH_TIMEOUT((firstLog += first.readAll()).contains("the window comes to the front"), 10000);

    // The log-out ends the first copy; the session it did not touch is the one that was there.
    ::kill(pid_t(first.processId()), SIGTERM);
    QVERIFY(first.waitForFinished(20000));
    QCOMPARE(TestSupport::readFile(session), before);
    QCOMPARE(usageRecordCount(CProgramFiles::join(install.path(), "user_data.js")), 1);
    // The next start is the only copy again and runs.
    QProcess third;
    third.setProcessEnvironment(environment);
    third.start(program, {});
    QVERIFY(third.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(catchesSignal(third.processId(), SIGTERM), 20000);
    ::kill(pid_t(third.processId()), SIGTERM);
    QVERIFY(third.waitForFinished(20000));
#endif
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
