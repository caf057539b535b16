// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CPhotoFilter.h"

#include <QDateTime>
#include <QMainWindow>

#include <memory>

class QAction;
class QActionGroup;
class QCatePage;
class QConnectCustomerDlg;
class QEditPage;
class QInitPage;
class QLabel;
class QMenu;
class QSetFileTimeDlg;
class QSetFileTypeDlg;
class QShortcutsDlg;
class QShowHelpDlg;
class QStackedWidget;
class QViewPage;

// The program's only top-level window: menus, status bar and the stack of work pages. Pages never
// call each other; their signals come here and the window switches pages and calls into them.
// Closing the window runs the close sequence once: note the time, save, start the companions.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // The work pages, in the order of the stack.
    enum Page
    {
        StartPage,
        EditPage,
        CategoryPage,
        HistoryPage
    };

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    QString serviceId() const { return m_serviceId; }
    QDateTime openTime() const { return m_openTime; }
    QDateTime closeTime() const { return m_closeTime; }
    QStackedWidget* pageStack() const { return m_pageStack; }
    Page currentPage() const;
    QMenu* viewMenu() const { return m_viewMenu; }
    QMenu* editMenu() const { return m_editMenu; }
    QAction* undoAction() const { return m_undoAct; }
    QAction* redoAction() const { return m_redoAct; }
    // The edit page's counts, kept at the right of the status bar.
    QLabel* countsLabel() const { return m_countsLabel; }
    QMenu* settingsMenu() const { return m_settingsMenu; }
    QAction* thumbnailCacheAction() const { return m_thumbnailCacheAct; }
    QInitPage* initPage() const { return m_initPage; }
    QEditPage* editPage() const { return m_editPage; }
    QCatePage* catePage() const { return m_catePage; }
    QViewPage* viewPage() const { return m_viewPage; }
    // The one filter of both photo searches; the type and time dialogs edit it.
    const CPhotoFilter& photoFilter() const { return m_photoFilter; }
    QString scanPath() const { return m_scanPath; }

public slots:
    void onScanFiles();
    void onScanPause();
    // The menu's "continue the last session": the start page's button does the same.
    void onScanTimes();
    void onShowHelpAct();
    void onShowShortcutsAct();
    void onConnectCustomer();
    void onInitScanPath(QString qstrScanImagePath);
    void onInitScanImage(QStringList qstrScanImagePathList);
    // Shows the edit page and restores the last session there.
    void onLastScanImage();
    void onViewHistroyPage();
    void onCheckEditViewItem(QString qstrPath);
    // Fills the category page with exactly the edit page's categories that hold pictures.
    void onCheckEditCompareButton();
    // Back to the edit page, which shows the same selection: nothing is copied.
    void onCheckCateBackPage();
    void onCheckViewBackPage();
    void onCatePageCloseSoft();
    void onOpenWebAct();
    // Keeps the first non-empty service user ID reported by a page for the rest of the run.
    void onGetZovID(QString qstrZovID);
    void onSetFileTypeAct();
    void onSetFileTimeAct();
    // The desktop is ending the program (log-out, shut-down: SIGTERM, SIGHUP or the session
    // manager's commit-data request): keeps the session and this run's usage record, without
    // starting the companions. The usage record is added once per run, however often this and
    // the close sequence run.
    void SaveForShutdown();
    // The settings menu's switch of the shared thumbnail cache; kept for the next runs.
    void onThumbnailCacheToggled(bool on);
    void onLanguageChosen(QAction* action);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createPages();
    void showPage(Page page);
    void createActions();
    // The keys the help dialog lists, from the actions that carry them.
    QStringList shortcutRows() const;
    void createMenus();
    void showStatusText();
    // Close-time save: the session and this run's usage record (once per run). False when either
    // could not be written.
    bool SaveLastOption();
    // The survey text of this run, recorded with the usage data.
    QString surveyText() const;

    // Top-level dialogs without a parent, kept for the whole run so they remember the choice.
    std::unique_ptr<QSetFileTypeDlg> m_fileTypeDlg;
    std::unique_ptr<QSetFileTimeDlg> m_fileTimeDlg;
    std::unique_ptr<QShowHelpDlg> m_helpDlg;
    std::unique_ptr<QShortcutsDlg> m_shortcutsDlg;
    std::unique_ptr<QConnectCustomerDlg> m_contactDlg;

    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
    QMenu* m_settingsMenu = nullptr;
    QMenu* m_helpMenu = nullptr;

    QAction* m_scanFilesAct = nullptr;
    QAction* m_scanTimesAct = nullptr;
    QAction* m_scanPauseAct = nullptr;
    QAction* m_fileTypeAct = nullptr;
    QAction* m_fileTimeAct = nullptr;
    QAction* m_showHelpAct = nullptr;
    QAction* m_shortcutsAct = nullptr;
    QAction* m_undoAct = nullptr;
    QAction* m_redoAct = nullptr;
    QAction* m_openWebAct = nullptr;
    QAction* m_connectCustomerAct = nullptr;
    QAction* m_thumbnailCacheAct = nullptr;
    QActionGroup* m_languageGroup = nullptr;

    QInitPage* m_initPage = nullptr;
    QEditPage* m_editPage = nullptr;
    QCatePage* m_catePage = nullptr;
    QViewPage* m_viewPage = nullptr;

    QDateTime m_openTime;
    QDateTime m_closeTime;
    QStackedWidget* m_pageStack = nullptr;
    QLabel* m_countsLabel = nullptr;
    QString m_scanPath;
    CPhotoFilter m_photoFilter;
    QString m_serviceId;
    bool m_runRecorded = false;
};
