// SPDX-License-Identifier: MIT
#include "CCompanionLauncher.h"
#include "CProgramFiles.h"
#include "CProgramOptions.h"
#include "CatePage/QCatePage.h"
#include "EditPage/QEditPage.h"
#include "InitPage/QInitPage.h"
#include "OtherWidget/QBusyDialog.h"
#include "OtherWidget/QDrawImageButton.h"
#include "OtherWidget/QSetFileTypeDlg.h"
#include "OtherWidget/QUserDialogs.h"
#include "PhotoView/QPhotoItem.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "StandinService.h"
#include "TestSupport.h"
#include "Thread/CThumbnailCache.h"
#include "ViewPage/QViewPage.h"
#include "mainwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

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
    QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("状态栏"));
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
    QCOMPARE(titles, (QStringList{QStringLiteral("&文件"), QStringLiteral("&视图"), QStringLiteral("&设置"),
                                  QStringLiteral("&帮助")}));

    const QList<QStringList> expected{
        {QStringLiteral("选择扫描对象目录"), QStringLiteral("&继续上次扫描"),
         QStringLiteral("浏览已扫描照片")},
        {QStringLiteral("目录"), QStringLiteral("已扫描")}, // the edit page's dock toggles
        {QStringLiteral("&过滤照片类型"), QStringLiteral("&照片时间范围"),
         QStringLiteral("&使用系统缩略图缓存")},
        {QStringLiteral("&新手帮助"), QStringLiteral("&访问主页"), QStringLiteral("&联系客服")}};
    for (int m = 0; m < menus.size(); ++m) {
        QStringList texts;
        for (QAction* action : menus.at(m)->menu()->actions())
            texts << action->text();
        QCOMPARE(texts, expected.at(m));
    }
    // The file and settings actions carry their icons; a switch shows its tick instead.
    for (QAction* action : menus.at(0)->menu()->actions() + menus.at(2)->menu()->actions())
        QVERIFY2(!action->icon().isNull() || action->isCheckable(), qPrintable(action->text()));
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
    QCOMPARE(window.viewMenu()->actions(), window.editPage()->GetDockToggleActions());
    QStringList docks;
    for (QAction* toggle : window.viewMenu()->actions())
        docks << toggle->text();
    QCOMPARE(docks, (QStringList{QStringLiteral("目录"), QStringLiteral("已扫描")}));

    // A search that finds nothing still reaches the window, which shows the edit page.
    QAction* scan = actionNamed(window.menuBar(), QStringLiteral("选择扫描对象目录"));
    QVERIFY(scan->isEnabled());
    scan->trigger();
    QTRY_COMPARE(window.pageStack()->currentIndex(), 1);
    QVERIFY(!window.initPage()->GetProgressDialog()->isVisible());
    QCOMPARE(window.scanPath(), dir.filePath("empty"));
    QCOMPARE(window.editPage()->GetPhotoViewList()->count(), 0);

    // The type dialog edits the one filter that both searches use: without JPG only b.png is new
    // enough and of a chosen type.
    actionNamed(window.menuBar(), QStringLiteral("&过滤照片类型"))->trigger();
    QCOMPARE(window.photoFilter().suffixes(), (QStringList{"png", "bmp"}));
    window.pageStack()->setCurrentIndex(0);
    folder = dir.filePath("photos");
    QTest::mouseClick(window.initPage()->GetScanButton(), Qt::LeftButton);
    QTRY_COMPARE(window.pageStack()->currentIndex(), 1);
    QPhotoViewListWidget* grid = window.editPage()->GetPhotoViewList();
    QTRY_COMPARE(grid->count(), 1);
    QCOMPARE(grid->GetPhotoItem(0)->GetPath(), dir.filePath("photos/b.png"));
    QCOMPARE(window.editPage()->GetInitScanPath(), dir.filePath("photos"));

    // A picture pressed in the grid shows its path in the status bar.
    QPhotoItem* tile = grid->GetPhotoItem(0);
    QTest::mouseClick(tile, Qt::LeftButton, {}, tile->rect().center());
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
    QPhotoViewListWidget* grid = window.editPage()->GetPhotoViewList();
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

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
