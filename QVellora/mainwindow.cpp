// SPDX-License-Identifier: MIT
#include "mainwindow.h"

#include "CLogging.h"
#include "CProgramFiles.h"
#include "CServiceEndpoints.h"
#include "CShutdownSignals.h"
#include "CatePage/QCatePage.h"
#include "Dialogs/QConnectCustomerDlg.h"
#include "Dialogs/QSetFileTimeDlg.h"
#include "Dialogs/QSetFileTypeDlg.h"
#include "Dialogs/QShortcutsDlg.h"
#include "Dialogs/QShowHelpDlg.h"
#include "Dialogs/QUserDialogs.h"
#include "EditPage/QCullingKeys.h"
#include "EditPage/QEditPage.h"
#include "Editing/QSelectionEditor.h"
#include "InitPage/QInitPage.h"
#include "OtherWidget/CSharedPixmap.h"
#include "Pictures/CSelectImageData.h"
#include "Pictures/CThumbnailCache.h"
#include "Records/CCompanionLauncher.h"
#include "Records/CProgramOptions.h"
#include "Records/CUiLanguage.h"
#include "Records/CUploadLedger.h"
#include "ViewPage/QViewPage.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainWindow"));
    menuBar()->setObjectName(QStringLiteral("menuBar"));
    statusBar()->setObjectName(QStringLiteral("statusBar"));

    setWindowTitle(QStringLiteral("Vellora"));
    setWindowIcon(QIcon(*CSharedPixmap::get(QStringLiteral(":/image/icon/win.png"))));
    setMinimumSize(1300, 650);
    resize(1300, 650);

    m_fileTypeDlg = std::make_unique<QSetFileTypeDlg>();
    m_fileTimeDlg = std::make_unique<QSetFileTimeDlg>();
    m_fileTypeDlg->SetFilter(m_photoFilter);
    m_fileTimeDlg->SetFilter(m_photoFilter);
    m_helpDlg = std::make_unique<QShowHelpDlg>();
    m_contactDlg = std::make_unique<QConnectCustomerDlg>();

    createPages();

    createActions();
    createMenus();
    m_shortcutsDlg = std::make_unique<QShortcutsDlg>(shortcutRows());
    showStatusText();

    auto* central = new QWidget;
    central->setObjectName(QStringLiteral("centralWidget"));
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(m_pageStack);
    setCentralWidget(central);

    m_openTime = QDateTime::currentDateTime().toUTC();
    qCDebug(lcRecords) << "open soft time " << m_openTime;

    // At log-out the desktop asks the session manager's question first and then ends the program
    // with a signal, never by closing the window: both keep the run's work. The reporter and the
    // updater are not started then.
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this, &MainWindow::SaveForShutdown);
    auto* shutdown = new CShutdownSignals(this);
    connect(shutdown, &CShutdownSignals::shutdownRequested, this, [this] {
        SaveForShutdown();
        QCoreApplication::quit();
    });
    // Uploads an earlier run left unfinished are offered once the window is up.
    QTimer::singleShot(0, m_initPage, &QInitPage::OfferUploadResume);
}

MainWindow::~MainWindow() = default;

void MainWindow::createPages()
{
    m_initPage = new QInitPage(this);
    m_initPage->SetPhotoFilter(&m_photoFilter);
    connect(m_initPage, &QInitPage::sigPushScanPath, this, &MainWindow::onInitScanPath);
    connect(m_initPage, &QInitPage::sigPushScanImage, this, &MainWindow::onInitScanImage);
    connect(m_initPage, &QInitPage::sigPushViewImage, this, &MainWindow::onViewHistroyPage);
    connect(m_initPage, &QInitPage::sigPushLastButton, this, &MainWindow::onLastScanImage);
    connect(m_initPage, &QInitPage::sigZovID, this, &MainWindow::onGetZovID);

    m_editPage = new QEditPage(this);
    m_editPage->SetPhotoFilter(&m_photoFilter);
    connect(m_editPage, &QEditPage::sigCheckViewItem, this, &MainWindow::onCheckEditViewItem);
    connect(m_editPage, &QEditPage::sigCheckComparePage, this, &MainWindow::onCheckEditCompareButton);
    connect(m_editPage, &QEditPage::sigStatusMessage, this, &MainWindow::onCheckEditViewItem);
    // A permanent label: the page's passing messages do not hide the counts.
    m_countsLabel = new QLabel(m_editPage->CountsText(), this);
    m_countsLabel->setObjectName(QStringLiteral("countsLabel"));
    statusBar()->addPermanentWidget(m_countsLabel);
    connect(m_editPage, &QEditPage::sigCountsChanged, m_countsLabel, &QLabel::setText);

    // The category page shows the edit page's categories: one selection, two views.
    m_catePage = new QCatePage(this);
    m_catePage->SetSelection(m_editPage->selection(), m_editPage->GetSelectImageData(),
                             m_editPage->selectionEditor());
    m_catePage->SetFactsLookup([this](const QString& path) { return m_editPage->GetPictureFacts(path); });
    m_catePage->SetThumbnailLookup([this](const QString& path) { return m_editPage->CategoryPicture(path); });
    connect(m_editPage, &QEditPage::sigPictureFacts, m_catePage, &QCatePage::PictureUpdated);
    connect(m_editPage, &QEditPage::sigCategoryThumbnail, m_catePage, &QCatePage::PictureUpdated);
    connect(m_catePage, &QCatePage::sigGoBackPrePage, this, &MainWindow::onCheckCateBackPage);
    connect(m_catePage, &QCatePage::sigCloseTheSoft, this, &MainWindow::onCatePageCloseSoft);
    connect(m_catePage, &QCatePage::sigZovID, this, &MainWindow::onGetZovID);

    m_viewPage = new QViewPage(this);
    connect(m_viewPage, &QViewPage::sigCallBackPage, this, &MainWindow::onCheckViewBackPage);

    m_pageStack = new QStackedWidget;
    for (QWidget* page : std::initializer_list<QWidget*>{m_initPage, m_editPage, m_catePage, m_viewPage})
        m_pageStack->addWidget(page);
}

MainWindow::Page MainWindow::currentPage() const
{
    QWidget* shown = m_pageStack->currentWidget();
    if (shown == m_editPage)
        return EditPage;
    if (shown == m_catePage)
        return CategoryPage;
    if (shown == m_viewPage)
        return HistoryPage;
    return StartPage;
}

void MainWindow::showPage(Page page)
{
    QWidget* pages[] = {m_initPage, m_editPage, m_catePage, m_viewPage};
    m_pageStack->setCurrentWidget(pages[page]);
    showStatusText();
}

void MainWindow::createActions()
{
    auto icon = [](const char* path) {
        const QPixmap* picture = CSharedPixmap::get(QString::fromLatin1(path));
        // The wide toolbar pictures carry their symbol in the left square; a menu has room only for that.
        const int side = qMin(picture->width(), picture->height());
        return QIcon(picture->copy(0, 0, side, side));
    };

    m_scanFilesAct = new QAction(icon(":/image/view_dlg_icon/input_image.png"), tr("选择扫描对象目录"), this);
    m_scanTimesAct = new QAction(icon(":/image/icon/open_times.png"), tr("&继续上次扫描"), this);
    m_scanPauseAct = new QAction(icon(":/image/view_dlg_icon/pause_input.png"), tr("浏览已扫描照片"), this);
    m_fileTypeAct = new QAction(icon(":/image/icon/file_type.png"), tr("&过滤照片类型"), this);
    m_fileTimeAct = new QAction(icon(":/image/icon/file_type.png"), tr("&照片时间范围"), this);
    m_showHelpAct = new QAction(tr("&新手帮助"), this);
    m_shortcutsAct = new QAction(tr("键盘快捷键"), this);
    // The texts say what the step is: "撤销 放入 海边 (3 张)".
    QUndoStack* steps = m_editPage->selectionEditor()->undoStack();
    m_undoAct = steps->createUndoAction(this, tr("撤销"));
    m_undoAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoAct = steps->createRedoAction(this, tr("重做"));
    m_redoAct->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    m_undoAct->setToolTip(tr("撤销 (Ctrl+Z)"));
    m_redoAct->setToolTip(tr("重做 (Ctrl+Shift+Z, Ctrl+Y)"));
    m_openWebAct = new QAction(tr("&访问主页"), this);
    m_connectCustomerAct = new QAction(tr("&联系客服"), this);
    // Every loader reads the switch when it starts a list, so the choice holds from the next one.
    m_thumbnailCacheAct = new QAction(tr("&使用系统缩略图缓存"), this);
    m_thumbnailCacheAct->setCheckable(true);
    m_thumbnailCacheAct->setChecked(CProgramOptions::read().thumbnailCache);
    CThumbnailCache::setEnabled(m_thumbnailCacheAct->isChecked());

    connect(m_scanFilesAct, &QAction::triggered, this, &MainWindow::onScanFiles);
    connect(m_scanPauseAct, &QAction::triggered, this, &MainWindow::onScanPause);
    connect(m_showHelpAct, &QAction::triggered, this, &MainWindow::onShowHelpAct);
    connect(m_shortcutsAct, &QAction::triggered, this, &MainWindow::onShowShortcutsAct);
    connect(m_connectCustomerAct, &QAction::triggered, this, &MainWindow::onConnectCustomer);
    connect(m_scanTimesAct, &QAction::triggered, this, &MainWindow::onScanTimes);
    connect(m_openWebAct, &QAction::triggered, this, &MainWindow::onOpenWebAct);
    connect(m_fileTypeAct, &QAction::triggered, this, &MainWindow::onSetFileTypeAct);
    connect(m_fileTimeAct, &QAction::triggered, this, &MainWindow::onSetFileTimeAct);
    connect(m_thumbnailCacheAct, &QAction::toggled, this, &MainWindow::onThumbnailCacheToggled);

    // The interface language, applied at the next start: every text is made once, when built.
    m_languageGroup = new QActionGroup(this);
    const QString chosen = CProgramOptions::read().language;
    const QList<QPair<QString, QString>> languages = {{CUiLanguage::followSystem, tr("跟随系统")},
                                                      {CUiLanguage::chinese, QStringLiteral("中文")},
                                                      {CUiLanguage::english, QStringLiteral("English")}};
    for (const auto& language : languages) {
        QAction* action = m_languageGroup->addAction(language.second);
        action->setCheckable(true);
        action->setData(language.first);
        action->setChecked(language.first == chosen);
    }
    connect(m_languageGroup, &QActionGroup::triggered, this, &MainWindow::onLanguageChosen);
}

void MainWindow::createMenus()
{
    m_fileMenu = menuBar()->addMenu(tr("&文件"));
    m_fileMenu->addAction(m_scanFilesAct);
    m_fileMenu->addAction(m_scanTimesAct);
    m_fileMenu->addAction(m_scanPauseAct);

    m_editMenu = menuBar()->addMenu(tr("&编辑"));
    m_editMenu->addAction(m_undoAct);
    m_editMenu->addAction(m_redoAct);
    // The keys work on every page of the window, with the menu closed.
    addActions({m_undoAct, m_redoAct});
    m_editMenu->addSeparator();
    QMenu* sorting = m_editMenu->addMenu(tr("选片按键"));
    sorting->setObjectName(QStringLiteral("sortingKeysMenu"));
    sorting->addActions(m_editPage->GetCullingKeys()->gridActions());
    sorting->addSeparator();
    sorting->addActions(m_editPage->GetCullingKeys()->viewerActions());

    // Receives the edit page's dock toggles, its one-tile-per-group view and its tick of the
    // sharpest of each group.
    m_viewMenu = menuBar()->addMenu(tr("&视图"));
    m_viewMenu->addActions(m_editPage->GetDockToggleActions());
    m_viewMenu->addSeparator();
    m_viewMenu->addAction(m_editPage->GetFirstOfEachAction());
    m_viewMenu->addAction(m_editPage->GetTickSharpestAction());
    m_viewMenu->addAction(m_editPage->GetTileSizeAction());

    m_settingsMenu = menuBar()->addMenu(tr("&设置"));
    m_settingsMenu->addAction(m_fileTypeAct);
    m_settingsMenu->addAction(m_fileTimeAct);
    m_settingsMenu->addAction(m_thumbnailCacheAct);
    QMenu* languageMenu = m_settingsMenu->addMenu(tr("界面语言"));
    languageMenu->setObjectName(QStringLiteral("languageMenu"));
    languageMenu->addActions(m_languageGroup->actions());

    m_helpMenu = menuBar()->addMenu(tr("&帮助"));
    m_helpMenu->addAction(m_showHelpAct);
    m_helpMenu->addAction(m_shortcutsAct);
    m_helpMenu->addAction(m_openWebAct);
    m_helpMenu->addAction(m_connectCustomerAct);
}

QStringList MainWindow::shortcutRows() const
{
    // The help dialog's table is made from the actions that carry the keys.
    QStringList rows = m_editPage->GetCullingKeys()->keyList();
    rows << tr("编辑\t") << QCullingKeys::shortcutText(m_undoAct) + QLatin1Char('\t') + tr("撤销")
         << QCullingKeys::shortcutText(m_redoAct) + QLatin1Char('\t') + tr("重做");
    return rows;
}

void MainWindow::showStatusText()
{
    statusBar()->showMessage(tr("就绪"));
}

void MainWindow::onScanFiles()
{
    m_initPage->CheckScanImage();
}

void MainWindow::onScanPause()
{
    onViewHistroyPage();
}

void MainWindow::onShowHelpAct()
{
    if (QUserDialogs::exec(m_helpDlg.get()) == QDialog::Accepted)
        qCDebug(lcPages) << "show dlg";
}

void MainWindow::onShowShortcutsAct()
{
    QUserDialogs::exec(m_shortcutsDlg.get());
}

void MainWindow::onConnectCustomer()
{
    if (QUserDialogs::exec(m_contactDlg.get()) == QDialog::Accepted)
        qCDebug(lcPages) << "show dlg";
}

void MainWindow::onThumbnailCacheToggled(bool on)
{
    CThumbnailCache::setEnabled(on);
    CProgramOptions options = CProgramOptions::read();
    options.thumbnailCache = on;
    if (!options.write())
        qCDebug(lcRecords) << "options not saved" << CProgramOptions::path();
}

void MainWindow::onLanguageChosen(QAction* action)
{
    CProgramOptions options = CProgramOptions::read();
    options.language = action->data().toString();
    if (!options.write()) {
        QUserDialogs::information(this, tr("设置未能保存（磁盘已满或不可写）。"));
        return;
    }
    QUserDialogs::information(this, tr("界面语言将在下次启动软件时改为“%1”。").arg(action->text()));
}

void MainWindow::onScanTimes()
{
    onLastScanImage();
}

void MainWindow::onInitScanPath(QString qstrScanImagePath)
{
    m_scanPath = qstrScanImagePath;
}

void MainWindow::onInitScanImage(QStringList qstrScanImagePathList)
{
    showPage(EditPage);
    m_editPage->SetInitScanPath(m_scanPath);
    m_editPage->SetInitPageImageList(qstrScanImagePathList);
}

void MainWindow::onViewHistroyPage()
{
    // The history page reads the records again as it shows, so this run's exports are listed.
    showPage(HistoryPage);
}

void MainWindow::onCheckViewBackPage()
{
    showPage(StartPage);
}

void MainWindow::onLastScanImage()
{
    showPage(EditPage);
    m_editPage->ReOpenLastData();
}

void MainWindow::onCheckEditViewItem(QString qstrPath)
{
    statusBar()->showMessage(qstrPath);
}

void MainWindow::onCheckEditCompareButton()
{
    showPage(CategoryPage);
    if (m_catePage->GetUserID().isEmpty() && !m_serviceId.isEmpty())
        m_catePage->SetUserID(m_serviceId);
    m_catePage->ShowCategories();
}

void MainWindow::onCheckCateBackPage()
{
    // What the category page changed is in the selection the edit page shows already.
    showPage(EditPage);
    m_editPage->update();
}

void MainWindow::onCatePageCloseSoft()
{
    close();
}

QString MainWindow::surveyText() const
{
    return m_catePage->GetSubmitText();
}

void MainWindow::onOpenWebAct()
{
    QDesktopServices::openUrl(CServiceEndpoints::webHome());
}

void MainWindow::onGetZovID(QString qstrZovID)
{
    if (!qstrZovID.isEmpty() && m_serviceId.isEmpty())
        m_serviceId = qstrZovID;
}

void MainWindow::onSetFileTypeAct()
{
    if (QUserDialogs::exec(m_fileTypeDlg.get()) == QDialog::Accepted)
        qCDebug(lcPages) << "show dlg";
    m_fileTypeDlg->ApplyTo(m_photoFilter);
}

void MainWindow::onSetFileTimeAct()
{
    if (QUserDialogs::exec(m_fileTimeDlg.get()) == QDialog::Accepted)
        qCDebug(lcPages) << "show dlg";
    m_fileTimeDlg->ApplyTo(m_photoFilter);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_closeTime = QDateTime::currentDateTime().toUTC();
    qCDebug(lcRecords) << "close soft time " << m_closeTime;

    if (!SaveLastOption())
        QUserDialogs::information(this, tr("本次的工作记录未能保存（磁盘已满或不可写）！"));
    // The usage file goes with the reporter started below: it claims the file, sends it whole and
    // forgets it only once the service took it. A post of our own would be cut off as the program
    // ends, and would send the same records twice.
    CCompanionLauncher::startAll(QCoreApplication::applicationDirPath());
    QMainWindow::closeEvent(event);
}

void MainWindow::SaveForShutdown()
{
    m_closeTime = QDateTime::currentDateTime().toUTC();
    // Where every upload stands, so that the next start continues them.
    if (!CUploadLedger::saveAll())
        qCWarning(lcRecords) << "upload ledger not saved at shut-down";
    if (!SaveLastOption())
        qCWarning(lcRecords) << "work of this run not saved at shut-down";
}

bool MainWindow::SaveLastOption()
{
    const bool sessionSaved = m_editPage->SaveCloseData();
    if (m_runRecorded)
        return sessionSaved;
    const int uploadCount = m_initPage->GetUpdataClickCount();
    const QString survey = surveyText();
    m_runRecorded = m_editPage->SaveUserData(m_openTime, m_closeTime, uploadCount, survey);
    return sessionSaved && m_runRecorded;
}
