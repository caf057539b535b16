// SPDX-License-Identifier: MIT
#pragma once

#include "EditPage/QFolderTreeView.h"
#include "Pictures/CPhotoFilter.h"
#include "Records/CLastSession.h"
#include "Records/CSessionRestore.h"
#include "Thread/QScanFolderThread.h"
#include "Thread/QShowImageThread.h"

#include <QColor>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMainWindow>
#include <QModelIndex>
#include <QPair>
#include <QPixmap>
#include <QSet>
#include <QStringList>

#include <memory>

class CPictureListModel;
class CSelectImageData;
class CSelection;
class QCullingKeys;
class QSelectionEditor;
class CSessionAutosave;
class QAction;
class QBusyDialog;
class QCategoryColumn;
class QDockWidget;
class QFileSystemModel;
class QListWidget;
class QOutPutImageWidget;
class QComprareImageDlg;
class QLookalikeTiles;
class QPhotoViewListWidget;
class QPictureFeed;
class QTimer;
class QWidgetAction;

// The page on which pictures are sorted into categories. The photo grid in the centre shows the
// start page's search result or one opened folder; the left docks are a folder tree and the list
// of folders looked at, the right ones the button bar and the category rows. The page searches and
// decodes nothing itself: its workers do (QPictureFeed), and the grid is a view of their picture
// model, whose thumbnails stay within a memory budget. Only the pictures the categories hold keep a
// thumbnail in the page's store (CSelectImageData), which the category page reuses.
//
// Only the newest source reaches the grid: opening a folder or handing over a new list stops every
// picture job of the page first (stopped jobs deliver nothing more).
//
// The session ("save_last.js") is kept current while the page is in use: every change to the
// categories or the folder shown is written within about two seconds, and again at close. A run
// that never used the page leaves the file of the last run alone.
class QEditPage : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr qint64 CategoryThumbnailBudget = 96 * 1024 * 1024;
    static constexpr int CategoryThumbnailsShownMs = 2000;
    // Thumbnails a drop takes over from the grid at once (see onPicturesAdded).
    static constexpr int TakenOverPerDrop = 64;

    explicit QEditPage(QWidget* parent = nullptr);
    ~QEditPage() override;

    CSelectImageData* GetSelectImageData() const { return m_imageData.get(); }
    // The thumbnail of a picture a category holds, for both pages' category rows: null while the
    // feed makes it, and sigCategoryThumbnail tells when it is there.
    QPixmap CategoryPicture(const QString& path);
    // The user's categories. The category column on the right is its view: what the user drops
    // on a row, deletes from it or types as its name goes to the editor, and every change of
    // the selection, from wherever, reaches the rows, the grid's colour marks and the session.
    CSelection* selection() const { return m_selection; }
    // Every change the user makes to the selection goes through here, as an undoable step.
    QSelectionEditor* selectionEditor() const { return m_editor; }
    // "N 张照片 · 已勾选 M 张 · 已分类 K 张": the grid's pictures, the ticked ones and the
    // distinct pictures in any category.
    QString CountsText() const;

    // What the workers learnt about a picture shown or restored in this run (size in pixels,
    // capture time, look-alike hash, file size); invalid facts when nothing is known yet.
    CPictureFacts GetPictureFacts(const QString& path) const { return m_facts.value(path); }

    // The filter of the folder search; not owned. Until one is set the page uses its own default.
    void SetPhotoFilter(const CPhotoFilter* filter);

    // The show/hide actions of the folder tree and the folder list docks, for the window's menu.
    QList<QAction*> GetDockToggleActions() const;
    // The checkable "只显示每组第一张" for the window's menu: one tile per look-alike group.
    QAction* GetFirstOfEachAction() const { return m_firstOfEachAction; }
    // "勾选每组最清晰的一张" for the window's 视图 menu: see TickSharpest.
    QAction* GetTickSharpestAction() const { return m_tickSharpestAction; }
    // The grid's and the viewer's sorting keys, as actions for the window's 编辑 menu.
    QCullingKeys* GetCullingKeys() const { return m_keys; }
    // The tile size slider ("缩略图大小") for the window's 视图 menu.
    QAction* GetTileSizeAction() const;
    // The look-alike groups of the pictures in the grid.
    const QLookalikeTiles* lookalikes() const { return m_lookalikes; }
    // The compare window of look-alike groups; null until a group was first compared.
    QComprareImageDlg* GetLookalikeDlg() const { return m_lookalikeDlg; }

    // Session save and restore. At close the window calls SaveCloseData() and then SaveUserData.
    // Writes "save_last.js" now, but only when the page was used in this run. False only when a
    // write was due and failed (the old file then stays as it was).
    bool SaveCloseData();
    // Adds this run's usage record (one folder per category row) to "user_data.js"; false when
    // it could not be written.
    bool SaveUserData(QDateTime openTime, QDateTime closeTime, int uploadCount, QString feedback);
    // The page's state as the session file keeps it.
    CLastSession CurrentSession();

signals:
    void sigCheckComparePage();
    void sigCheckViewItem(QString qstrPath);
    // The facts of a picture arrived from a worker (they come after its thumbnail).
    void sigPictureFacts(QString qstrPath, CPictureFacts facts);
    // A short text for the window's status bar (for example how many restored pictures are
    // missing on disk).
    void sigStatusMessage(QString text);
    // CountsText() changed (or may have).
    void sigCountsChanged(const QString& text);
    // A category's picture got its thumbnail after it joined the category.
    void sigCategoryThumbnail(const QString& path);

public slots:
    // What the window asks of the page.
    // Hands over the start page's search result (set the start folder first). An empty list
    // changes nothing. Every picture is listed, however many.
    void SetInitPageImageList(QStringList qstrImageList);
    // The folder the start page searched.
    void SetInitScanPath(const QString& qstrPath) { m_initScanPath = qstrPath; }
    // Opens one folder level in the grid; listIt also adds it to the folders looked at.
    void OpenFolder(const QString& qstrPath, bool listIt);
    // Starts restoring the last session: its thumbnails are made behind the load-wait dialog,
    // then grid and category rows are rebuilt (onReViewLastPage). A missing file changes nothing.
    void ReOpenLastData();

    void onSelectClientFolder(const QModelIndex& index);
    void onCheckHistroyFolder(int row);
    void onDoubleViewFolder(QString qstrPath);
    // onDoubleViewImage, delectPhotoFilesSlot and onSavePhotoImage are wired as designed and
    // do nothing on purpose.
    void onDoubleViewImage(QString) {}
    void onCheckViewImage(QString qstrPath);
    void delectPhotoFilesSlot(QList<int>) {}
    void onSavePhotoImage() {}
    void onThreadScanFolderPicture(QStringList fileList);
    void onThreadEndShowImage();
    // The tile size from the slider or Ctrl+wheel; kept in the options file.
    void onTileSizeChanged(int side);
    // Restore thread: files one thumbnail of the last session in the cache; shows nothing yet.
    void onThreadViewLastPicture(QString qstrPath, QImage image);
    // Any loader: keeps a picture's facts and shows them on its tile and its category tiles.
    void onThreadPictureFacts(QString qstrPath, CPictureFacts facts);
    // Restore thread ended: rebuilds the grid and the category rows of the last session.
    void onReViewLastPage();
    // The selection changed: the grid's marks and the free row follow (the column and the
    // session follow by themselves).
    void onPicturesAdded(int row, const QStringList& paths);
    // Opens the compare window on the look-alike group of path (up to four pictures), path chosen.
    void onCompareLookalikes(QString qstrPath);
    // Puts the pictures into the category of this row (asked for by the compare window).
    void onPutIntoCategory(int row, QStringList qstrPathList);
    // The user gave up waiting for the restore: nothing of it is shown, the file stays as it was.
    void onCancelRestore();
    // The ticks become the sharpest picture of every look-alike group and every picture alone
    // (those that show), ready for a number key or a drag. Nothing leaves the grid or a category.
    void TickSharpest();

private:
    void createDocks();
    void connectWorkers();
    // Stops every job that fills the grid; none of them delivers anything afterwards.
    void StopPictureJobs();
    // Lists folders and pictures in the grid (a new source) and starts loading them.
    void ShowInGrid(const QStringList& folders, const QStringList& pictures);
    // Files the grid's thumbnail of a category's picture in the page's store, when the store has
    // none and the grid holds one now; whether it did.
    bool TakeFromGrid(const QString& path);
    void onFetchedThumbnail(const QString& path, const QImage& thumbnail);
    void AddFolderPath(const QString& qstrPath, const QString& displayName);
    void CloseSearchDialogIfOpen();
    // Adds a row at the bottom when no row is free.
    void KeepFreeRow();
    // The compare window's category buttons, from the selection's rows.
    void FillLookalikeCategories();
    // The viewer's corner shows the categories of the picture it shows.
    void ShowViewerMarks();

    QDockWidget* m_treeDock = nullptr;
    QDockWidget* m_folderDock = nullptr;
    QDockWidget* m_buttonDock = nullptr;
    QDockWidget* m_cateDock = nullptr;
    QFileSystemModel* m_folderModel = nullptr;
    QFolderTreeView* m_folderTree = nullptr;
    QListWidget* m_folderList = nullptr;
    QStringList m_folderPaths;
    QOutPutImageWidget* m_buttonBar = nullptr;
    QPhotoViewListWidget* m_photoList = nullptr;
    QLookalikeTiles* m_lookalikes = nullptr;
    QAction* m_firstOfEachAction = nullptr;
    QAction* m_tickSharpestAction = nullptr;
    QWidgetAction* m_tileSizeAction = nullptr;
    QComprareImageDlg* m_lookalikeDlg = nullptr;
    QCategoryColumn* m_categories = nullptr;
    QBusyDialog* m_searchDlg = nullptr;
    bool m_searchDlgOpen = false;
    // Shown by the session restore while it reloads the last run's thumbnails.
    QBusyDialog* m_loadDlg = nullptr;

    QScanFolderThread m_folderScanThread;
    QShowImageThread m_restoreThread;
    // The grid's rows and the workers that fill them.
    CPictureListModel* m_pictures = nullptr;
    QPictureFeed* m_feed = nullptr;
    std::unique_ptr<CSelectImageData> m_imageData;
    int m_sourceKind = CLastSession::SearchResult;
    QString m_initScanPath;
    QString m_chosenFolder;
    CSelection* m_selection = nullptr;
    QHash<QString, CPictureFacts> m_facts;
    QSet<QString> m_fetching; // category pictures whose thumbnails the feed is making
    QSelectionEditor* m_editor = nullptr;
    QCullingKeys* m_keys = nullptr;
    CPhotoFilter m_ownFilter;
    const CPhotoFilter* m_filter = &m_ownFilter;

    // The session being restored, read once when the restore starts (the autosave may rewrite
    // the file while the thumbnails load), and what it keeps of pictures that were not there.
    CSessionRestore m_restore;
    // While restored rows are filled, no free row is added between them.
    bool m_restoring = false;
    CSessionAutosave* m_autosave = nullptr;
};
