// SPDX-License-Identifier: MIT
#include "EditPage/QEditPage.h"

#include "CLogging.h"
#include "CProgramFiles.h"
#include "CSafeWrite.h"
#include "CateWidget/QCategoryColumn.h"
#include "Dialogs/QBusyDialog.h"
#include "Dialogs/QUserDialogs.h"
#include "EditPage/QCullingKeys.h"
#include "Editing/QSelectionEditor.h"
#include "OtherWidget/CSharedPixmap.h"
#include "OtherWidget/QOutPutImageWidget.h"
#include "PhotoView/QComprareImageDlg.h"
#include "PhotoView/QLookalikeTiles.h"
#include "PhotoView/QPhotoViewImageDlg.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "PhotoView/QTileItemDelegate.h"
#include "Pictures/CImageReading.h"
#include "Pictures/CPictureListModel.h"
#include "Pictures/CSelectImage.h"
#include "Pictures/CSelectImageData.h"
#include "Records/CProgramOptions.h"
#include "Records/CSessionAutosave.h"
#include "Records/CUserDataFile.h"
#include "Selection/CSelection.h"
#include "Thread/CThumbnailJob.h"
#include "Thread/QPictureFeed.h"

#include <QAction>
#include <QDebug>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QSet>
#include <QSlider>
#include <QTimer>
#include <QTreeView>
#include <QUndoStack>
#include <QWidgetAction>

#include <utility>

QEditPage::QEditPage(QWidget* parent)
    : QMainWindow(parent), m_imageData(std::make_unique<CSelectImageData>()),
      m_selection(new CSelection(this)),
      m_editor(new QSelectionEditor(m_selection, QSelectionEditor::DefaultName(), this))
{
    QTileItemDelegate::setFolderPicture(CSharedPixmap::get(QStringLiteral(":/image/icon/view_folder.png")));

    // The categories' thumbnails beside the grid's: enough for every row either page shows at
    // once (about 450 at 270 px), whatever number of pictures the categories hold. Those let go
    // are made again by the feed when a row is painted; those painted in the last two seconds
    // stay even past the budget, so a screen showing more than it holds never makes its own
    // thumbnails over and over.
    m_imageData->SetThumbnailBudget(CategoryThumbnailBudget, CategoryThumbnailsShownMs);
    m_pictures = new CPictureListModel(this);
    m_pictures->setObjectName(QStringLiteral("pictureModel"));
    m_pictures->setSelection(m_selection);
    m_feed = new QPictureFeed(m_pictures, this);
    m_feed->setObjectName(QStringLiteral("pictureFeed"));
    m_photoList = new QPhotoViewListWidget(CProgramOptions::read().tileSize, this);
    m_photoList->setObjectName(QStringLiteral("photoList"));
    m_photoList->SetPictureModel(m_pictures);
    setCentralWidget(m_photoList);
    m_lookalikes = new QLookalikeTiles(m_photoList, this);
    m_firstOfEachAction = new QAction(tr("只显示每组第一张"), this);
    m_firstOfEachAction->setCheckable(true);
    m_tickSharpestAction = new QAction(tr("勾选每组最清晰的一张"), this);
    m_tickSharpestAction->setObjectName(QStringLiteral("tickSharpestAction"));
    // The tile size: a slider in the 视图 menu, and Ctrl+wheel on the grid.
    auto* sizeBox = new QWidget(this);
    auto* sizeLayout = new QHBoxLayout(sizeBox);
    sizeLayout->setContentsMargins(8, 4, 8, 4);
    sizeLayout->addWidget(new QLabel(tr("缩略图大小"), sizeBox));
    auto* sizeSlider = new QSlider(Qt::Horizontal, sizeBox);
    sizeSlider->setObjectName(QStringLiteral("tileSizeSlider"));
    sizeSlider->setRange(QPhotoViewListWidget::MinTileSize, QPhotoViewListWidget::MaxTileSize);
    sizeSlider->setSingleStep(8);
    sizeSlider->setPageStep(32);
    sizeSlider->setMinimumWidth(160);
    sizeSlider->setValue(m_photoList->TileSize());
    sizeLayout->addWidget(sizeSlider);
    connect(sizeSlider, &QSlider::valueChanged, m_photoList, &QPhotoViewListWidget::SetTileSize);
    m_tileSizeAction = new QWidgetAction(this);
    m_tileSizeAction->setText(tr("缩略图大小"));
    m_tileSizeAction->setDefaultWidget(sizeBox);
    createDocks();

    m_searchDlg = new QBusyDialog(tr("搜索图片"), tr("正在搜索图片，请耐心等待"), this);
    m_searchDlg->setObjectName(QStringLiteral("searchWait"));
    m_loadDlg = new QBusyDialog(tr("加载数据"), tr("正在加载，请耐心等待"), this);
    m_loadDlg->setObjectName(QStringLiteral("loadWait"));
    // A long restore can be given up; the session file is then left exactly as it was.
    m_loadDlg->setCancelButtonText(tr("取消"));
    connect(m_loadDlg, &QProgressDialog::canceled, this, &QEditPage::onCancelRestore);
    m_autosave = new CSessionAutosave([this] { return CurrentSession(); }, this);
    m_autosave->setObjectName(QStringLiteral("sessionAutosave"));
    connect(m_autosave, &CSessionAutosave::saved, this, [this](bool ok) {
        if (!ok)
            emit sigStatusMessage(tr("工作记录未能保存（磁盘已满或不可写），上一次保存的记录仍然保留"));
    });
    connectWorkers();

    connect(m_selection, &CSelection::picturesAdded, this, &QEditPage::onPicturesAdded);
    // Pictures gained or lost, rows added and names edited reach the session file.
    connect(m_selection, &CSelection::changed, m_autosave, &CSessionAutosave::changed);

    // The keys ask, the editor makes the step.
    m_keys = new QCullingKeys(m_photoList, this);
    connect(m_keys, &QCullingKeys::putRequested, m_editor, &QSelectionEditor::putInto);
    connect(m_keys, &QCullingKeys::takeRequested, m_editor, &QSelectionEditor::takeOutOf);
    connect(m_keys, &QCullingKeys::takeAllRequested, m_editor, &QSelectionEditor::takeOutOfAll);
    connect(m_keys, &QCullingKeys::undoRequested, m_editor->undoStack(), &QUndoStack::undo);
    connect(m_keys, &QCullingKeys::redoRequested, m_editor->undoStack(), &QUndoStack::redo);
    connect(m_photoList->GetViewImageDlg(), &QPhotoViewImageDlg::imageShown, this,
            &QEditPage::ShowViewerMarks);
    connect(m_selection, &CSelection::changed, this, [this] {
        // The tiles ask the selection for their colour marks when painted.
        m_photoList->viewport()->update();
        ShowViewerMarks();
        emit sigCountsChanged(CountsText());
    });
    connect(m_photoList, &QPhotoViewListWidget::ticksChanged, this,
            [this] { emit sigCountsChanged(CountsText()); });
}

QString QEditPage::CountsText() const
{
    return tr("%1 张照片 · 已勾选 %2 张 · 已分类 %3 张")
        .arg(m_photoList->PictureCount())
        .arg(m_pictures->tickedCount())
        .arg(m_selection->sortedPictureCount());
}

void QEditPage::ShowViewerMarks()
{
    QPhotoViewImageDlg* viewer = m_photoList->GetViewImageDlg();
    QList<QColor> marks;
    for (int row : m_selection->rowsHolding(viewer->GetImagePath()))
        marks.append(m_selection->at(row).color);
    viewer->SetMarks(marks);
}

QEditPage::~QEditPage()
{
    StopPictureJobs();
    m_restoreThread.Stop();
}

void QEditPage::createDocks()
{
    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setObjectName(QStringLiteral("folderModel"));
    // Drives as well: on Windows the tree's top level is the list of drives.
    m_folderModel->setFilter(QDir::Dirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_folderModel->setRootPath(QString());
    m_folderTree = new QFolderTreeView;
    m_folderTree->setObjectName(QStringLiteral("folderTree"));
    m_folderTree->setModel(m_folderModel);
    for (int column = 1; column <= 3; ++column)
        m_folderTree->hideColumn(column);
    m_folderTree->setFixedWidth(200);

    m_folderList = new QListWidget;
    m_folderList->setObjectName(QStringLiteral("folderList"));
    m_folderList->setFixedWidth(200);

    auto leftDock = [this](const QString& title, QWidget* content) {
        auto* dock = new QDockWidget(title, this);
        dock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
        dock->setWidget(content);
        addDockWidget(Qt::LeftDockWidgetArea, dock, Qt::Vertical);
        return dock;
    };
    m_treeDock = leftDock(tr("目录"), m_folderTree);
    m_folderDock = leftDock(tr("已扫描"), m_folderList);

    m_buttonBar = new QOutPutImageWidget;
    m_buttonBar->setObjectName(QStringLiteral("buttonBar"));
    m_buttonBar->setMinimumWidth(400);
    m_buttonBar->setMaximumHeight(50);
    m_categories = new QCategoryColumn(QCategoryColumn::Mode::Editing);
    m_categories->setObjectName(QStringLiteral("cateList"));
    m_categories->setMinimumWidth(qMax(340, m_categories->minimumRowsWidth()));
    m_categories->setThumbnails([this](const QString& path) { return CategoryPicture(path); });
    m_categories->setFacts([this](const QString& path) { return GetPictureFacts(path); });
    m_categories->setEditor(m_editor);

    // The right column is fixed: it cannot be moved, floated or closed.
    auto rightDock = [this](QWidget* content) {
        auto* dock = new QDockWidget(this);
        dock->setAllowedAreas(Qt::AllDockWidgetAreas);
        dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
        dock->setWidget(content);
        addDockWidget(Qt::RightDockWidgetArea, dock);
        return dock;
    };
    m_buttonDock = rightDock(m_buttonBar);
    m_cateDock = rightDock(m_categories);
}

void QEditPage::connectWorkers()
{
    connect(m_folderTree, &QTreeView::doubleClicked, this, &QEditPage::onSelectClientFolder);
    connect(m_folderList, &QListWidget::currentRowChanged, this, &QEditPage::onCheckHistroyFolder);
    connect(m_photoList, &QPhotoViewListWidget::doubleFolder, this, &QEditPage::onDoubleViewFolder);
    connect(m_photoList, &QPhotoViewListWidget::doubleImageFile, this, &QEditPage::onDoubleViewImage);
    connect(m_photoList, &QPhotoViewListWidget::checkImageItem, this, &QEditPage::onCheckViewImage);
    connect(m_photoList, &QPhotoViewListWidget::deletePhoto, this, &QEditPage::delectPhotoFilesSlot);
    connect(m_photoList, &QPhotoViewListWidget::compareLookalikes, this, &QEditPage::onCompareLookalikes);
    connect(this, &QEditPage::sigPictureFacts, m_lookalikes, &QLookalikeTiles::onPictureFacts);
    connect(m_firstOfEachAction, &QAction::toggled, m_lookalikes, &QLookalikeTiles::setFirstOfEachOnly);
    connect(m_tickSharpestAction, &QAction::triggered, this, &QEditPage::TickSharpest);
    connect(m_buttonBar, &QOutPutImageWidget::sigOnCheckImageButton, this, &QEditPage::onSavePhotoImage);
    connect(m_buttonBar, &QOutPutImageWidget::sigOnCheckNextPage, this, &QEditPage::sigCheckComparePage);

    connect(&m_folderScanThread, &QScanFolderThread::findOneFolderOrImage, this,
            &QEditPage::onThreadScanFolderPicture);
    connect(m_feed, &QPictureFeed::allLoaded, this, &QEditPage::onThreadEndShowImage);
    connect(m_feed, &QPictureFeed::pictureFacts, this, &QEditPage::onThreadPictureFacts);
    connect(m_feed, &QPictureFeed::thumbnailReady, this, &QEditPage::onFetchedThumbnail);
    connect(m_photoList, &QPhotoViewListWidget::visibleRowsChanged, m_feed, &QPictureFeed::setVisibleRows);
    connect(m_photoList, &QPhotoViewListWidget::tileSizeChanged, this, &QEditPage::onTileSizeChanged);
    // Unreadable pictures leave the grid as the workers find them.
    connect(m_pictures, &QAbstractItemModel::rowsRemoved, this,
            [this] { emit sigCountsChanged(CountsText()); });
    connect(&m_restoreThread, &QShowImageThread::showOneImage, this, &QEditPage::onThreadViewLastPicture);
    connect(&m_restoreThread, &QShowImageThread::endShowOneImage, this, &QEditPage::onReViewLastPage);
    connect(&m_restoreThread, &QThumbnailThreadBase::pictureFacts, this, &QEditPage::onThreadPictureFacts);
}

QList<QAction*> QEditPage::GetDockToggleActions() const
{
    return {m_treeDock->toggleViewAction(), m_folderDock->toggleViewAction()};
}

void QEditPage::SetPhotoFilter(const CPhotoFilter* filter)
{
    m_filter = filter ? filter : &m_ownFilter;
}

void QEditPage::StopPictureJobs()
{
    m_folderScanThread.Stop();
    m_feed->stop();
}

void QEditPage::ShowInGrid(const QStringList& folders, const QStringList& pictures)
{
    m_lookalikes->clear();
    m_feed->show(folders, pictures);
    for (const QString& path : pictures)
        m_lookalikes->tileAdded(path, m_facts.value(path));
    emit sigCountsChanged(CountsText());
    // The session lists the grid's pictures.
    m_autosave->changed();
}

QAction* QEditPage::GetTileSizeAction() const
{
    return m_tileSizeAction;
}

void QEditPage::onTileSizeChanged(int side)
{
    if (auto* slider = findChild<QSlider*>(QStringLiteral("tileSizeSlider"))) {
        const QSignalBlocker quiet(slider);
        slider->setValue(side);
    }
    CProgramOptions options = CProgramOptions::read();
    if (options.tileSize == side)
        return;
    options.tileSize = side;
    if (!options.write())
        qCDebug(lcRecords) << "options not saved" << CProgramOptions::path();
}

void QEditPage::AddFolderPath(const QString& qstrPath, const QString& displayName)
{
    if (m_folderPaths.contains(qstrPath))
        return;
    m_folderPaths.append(qstrPath);
    // Listing a folder must not open it: only the user's choice of a row does.
    const QSignalBlocker quiet(m_folderList);
    auto* item = new QListWidgetItem(displayName);
    item->setData(Qt::UserRole, qstrPath);
    item->setToolTip(QDir::toNativeSeparators(qstrPath));
    m_folderList->addItem(item);
}

void QEditPage::SetInitPageImageList(QStringList qstrImageList)
{
    if (qstrImageList.isEmpty())
        return;
    m_chosenFolder = m_initScanPath;
    m_folderTree->RevealFolder(m_initScanPath);
    m_sourceKind = CLastSession::SearchResult;
    m_selection->addCategory(QSelectionEditor::DefaultName());

    // A new result replaces whatever the grid showed, including a folder still loading.
    StopPictureJobs();
    m_searchDlgOpen = false;
    m_searchDlg->hide();
    ShowInGrid({}, qstrImageList);

    // A drive root has no base name: it is listed by its path.
    const QFileInfo folder(m_initScanPath);
    const QString name = folder.baseName();
    AddFolderPath(m_initScanPath, name.isEmpty() ? folder.absolutePath() : name);
}

void QEditPage::OpenFolder(const QString& qstrPath, bool listIt)
{
    StopPictureJobs();
    m_searchDlgOpen = false;
    m_folderScanThread.SetScanPath(qstrPath);
    m_folderScanThread.SetFilter(*m_filter);
    m_folderScanThread.start();

    ShowInGrid({}, {});
    m_sourceKind = CLastSession::ChosenFolder;
    m_chosenFolder = qstrPath;
    m_folderTree->RevealFolder(qstrPath);
    if (listIt) {
        const QString name = QDir(qstrPath).dirName();
        AddFolderPath(qstrPath, name.isEmpty() ? qstrPath : name);
    }
    m_searchDlg->show();
    m_autosave->changed();
}

void QEditPage::onSelectClientFolder(const QModelIndex& index)
{
    OpenFolder(m_folderModel->filePath(index), true);
}

void QEditPage::onCheckHistroyFolder(int row)
{
    if (row >= 0 && row < m_folderPaths.size())
        OpenFolder(m_folderPaths.at(row), false);
}

void QEditPage::onDoubleViewFolder(QString qstrPath)
{
    OpenFolder(qstrPath, true);
}

void QEditPage::onCheckViewImage(QString qstrPath)
{
    emit sigCheckViewItem(qstrPath);
}

void QEditPage::onThreadScanFolderPicture(QStringList fileList)
{
    m_searchDlg->hide();
    m_searchDlgOpen = false;
    QStringList folders;
    QStringList pictures;
    for (const QString& path : fileList)
        (QFileInfo(path).isDir() ? folders : pictures).append(path);
    ShowInGrid(folders, pictures);
}

bool QEditPage::TakeFromGrid(const QString& path)
{
    if (m_imageData->HasImage(path))
        return false;
    const QImage thumbnail = m_pictures->thumbnail(path);
    return !thumbnail.isNull() && m_imageData->AddImage(path, QPixmap::fromImage(thumbnail));
}

QPixmap QEditPage::CategoryPicture(const QString& path)
{
    TakeFromGrid(path);
    if (const QPixmap* known = m_imageData->FindImage(path))
        return *known;
    // Evicted from the grid or never in it: the feed makes it on a worker, the screen's rows
    // first, and onFetchedThumbnail files it. A decode here would hold up the window for every
    // picture of a large drop.
    if (!m_fetching.contains(path)) {
        m_fetching.insert(path);
        m_feed->fetch({path});
    }
    return QPixmap();
}

void QEditPage::onFetchedThumbnail(const QString& path, const QImage& thumbnail)
{
    if (!m_fetching.remove(path) || m_imageData->HasImage(path) || m_selection->rowsHolding(path).isEmpty())
        return;
    m_imageData->AddImage(path, QPixmap::fromImage(thumbnail));
    m_categories->pictureUpdated(path);
    emit sigCategoryThumbnail(path);
}

void QEditPage::onThreadPictureFacts(QString qstrPath, CPictureFacts facts)
{
    if (!facts.isValid() && facts.refusal.isEmpty())
        return;
    m_facts.insert(qstrPath, facts);
    // The grid's row has them from the feed; a restored picture's row gets them here.
    if (m_pictures->rowOf(qstrPath) >= 0)
        m_pictures->setFacts(qstrPath, facts);
    m_categories->pictureUpdated(qstrPath);
    emit sigPictureFacts(qstrPath, facts);
}

void QEditPage::onThreadEndShowImage()
{
    CloseSearchDialogIfOpen();
}

void QEditPage::CloseSearchDialogIfOpen()
{
    if (!m_searchDlgOpen)
        return;
    m_searchDlg->hide();
    m_searchDlgOpen = false;
}

void QEditPage::KeepFreeRow()
{
    // Keeps one free row: a new one only when every row holds pictures.
    if (m_selection->keepFreeRow(QSelectionEditor::DefaultName()))
        update();
}

void QEditPage::onPicturesAdded(int /*category*/, const QStringList& paths)
{
    // The categories' thumbnails live in the page's store, which both pages paint from: the
    // grid's own may be evicted or replaced by the next folder's. Those the grid holds now are
    // taken over, as many as a row shows at once; the others are taken or made when their rows
    // are painted (a whole roll dropped at once would otherwise convert thousands of thumbnails
    // only for the budget to let most of them go again).
    int taken = 0;
    for (const QString& path : paths) {
        if (taken >= TakenOverPerDrop)
            break;
        taken += TakeFromGrid(path) ? 1 : 0;
    }
    m_photoList->UntickPaths(paths);
    if (!m_restoring)
        KeepFreeRow();
}

CLastSession QEditPage::CurrentSession()
{
    CLastSession session;
    for (CCategory category : m_selection->categories()) {
        // Rows take their colours in turn again when restored.
        category.color = QColor();
        session.categories.append(category);
    }
    session.sourceKind = m_sourceKind;
    session.chosenFolder = m_chosenFolder;
    // The grid's pictures, then the categories' pictures from elsewhere, then the restored ones
    // whose files were not there: each once.
    QSet<QString> listed;
    auto list = [&](const QString& path) {
        if (!path.isEmpty() && !listed.contains(path)) {
            listed.insert(path);
            session.cachedPaths.append(path);
        }
    };
    for (const QString& path : m_pictures->picturePaths())
        list(path);
    for (const CSelectImage* record : m_imageData->GetSelectImageData())
        list(record->GetImagePath());
    m_restore.keepUnshown(&session, [this](const QString& path) {
        return m_imageData->Contains(path) || m_pictures->rowOf(path) >= 0;
    });
    return session;
}

bool QEditPage::SaveCloseData()
{
    return m_autosave->saveNow() || !m_autosave->wasUsed();
}

bool QEditPage::SaveUserData(QDateTime openTime, QDateTime closeTime, int uploadCount, QString feedback)
{
    if (CUserDataFile::addRun(CurrentSession(), openTime, closeTime, uploadCount, feedback))
        return true;
    qCDebug(lcRecords) << "user data not saved";
    return false;
}

void QEditPage::ReOpenLastData()
{
    const QString path = CProgramFiles::saveLastFile();
    if (!QFile::exists(path)) {
        qCDebug(lcRecords) << "open pro error" << path;
        return;
    }
    bool ok = false;
    m_restore.start(CLastSession::read(path, &ok));
    if (!ok) {
        // Restores nothing but the free row; the file is kept aside before anything replaces it.
        const QString kept = keepBrokenFile(path);
        QUserDialogs::information(
            this, kept.isEmpty()
                      ? tr("上次的工作记录无法读取。")
                      : tr("上次的工作记录无法读取，已另存为“%1”。").arg(QDir::toNativeSeparators(kept)));
    }

    // Only the categories' pictures are loaded before the page is shown; the grid's come
    // through the feed, the ones on screen first. Thumbnails already in the store are not made
    // again.
    StopPictureJobs();
    QStringList missing;
    QSet<QString> asked;
    for (const CCategory& category : m_restore.pending().categories) {
        for (const QString& picture : category.pictures) {
            if (!asked.contains(picture) && !m_imageData->Contains(picture)) {
                asked.insert(picture);
                missing.append(picture);
            }
        }
    }
    m_restoreThread.Stop();
    m_restoreThread.SetPathList(missing);
    m_restoreThread.start();
    m_loadDlg->show();
}

void QEditPage::onCompareLookalikes(QString qstrPath)
{
    QStringList shown = m_lookalikes->groupOf(qstrPath).mid(0, QComprareImageDlg::MaxPictures);
    // A later member opened from still shows, in place of the last of the first four.
    if (!shown.contains(qstrPath))
        shown.last() = qstrPath;
    if (!m_lookalikeDlg) {
        m_lookalikeDlg = new QComprareImageDlg(this);
        m_lookalikeDlg->setObjectName(QStringLiteral("lookalikeCompare"));
        m_lookalikeDlg->setWindowTitle(tr("对比相似照片"));
        connect(m_lookalikeDlg, &QComprareImageDlg::sigPutIntoCategory, this, &QEditPage::onPutIntoCategory);
        // Sorting in the window can add the free row, an undo take it away; its buttons follow the
        // rows while open.
        connect(m_selection, &CSelection::categoryAdded, m_lookalikeDlg,
                [this]() { FillLookalikeCategories(); });
        connect(m_selection, &CSelection::renamed, m_lookalikeDlg, [this]() { FillLookalikeCategories(); });
        connect(m_selection, &CSelection::categoryRemoved, m_lookalikeDlg,
                [this]() { FillLookalikeCategories(); });
    }
    FillLookalikeCategories();
    m_lookalikeDlg->SetPictures(shown, qstrPath);
    m_lookalikeDlg->show();
    m_lookalikeDlg->raise();
    m_lookalikeDlg->activateWindow();
}

void QEditPage::TickSharpest()
{
    // Whole groups are compared, also where "只显示每组第一张" hides their later members: the
    // first shot shown is not the sharpest for being shown, and a hidden pick stays unticked
    // (the grid never ticks what it hides). One change of the ticks, so the grid and the status
    // bar's counts show it at once.
    m_photoList->SetTicks(m_lookalikes->picks(m_pictures->picturePaths()));
}

void QEditPage::FillLookalikeCategories()
{
    QStringList names;
    QList<QColor> colors;
    for (const CCategory& category : m_selection->categories()) {
        names.append(QSelectionEditor::shownName(category.name));
        colors.append(category.color);
    }
    m_lookalikeDlg->SetCategories(names, colors);
}

void QEditPage::onPutIntoCategory(int row, QStringList qstrPathList)
{
    // One undoable step, as a drop or a number key on the grid.
    if (row >= 0 && row < m_selection->count())
        m_editor->putInto(row, qstrPathList);
}

void QEditPage::onCancelRestore()
{
    m_restoreThread.Stop();
    m_restore.cancel();
    m_loadDlg->hide();
}

void QEditPage::onThreadViewLastPicture(QString qstrPath, QImage image)
{
    if (!image.isNull())
        m_imageData->AddImage(qstrPath, QPixmap::fromImage(image));
}

void QEditPage::onReViewLastPage()
{
    m_loadDlg->hide();
    m_chosenFolder = m_restore.pending().chosenFolder;
    // Saved again as it was restored: a restored folder stays a chosen folder at the next restore.
    m_sourceKind = m_restore.pending().sourceKind;
    if (m_sourceKind == CLastSession::ChosenFolder)
        m_folderTree->RevealFolder(m_chosenFolder);
    // Rebuilding the page from the file is not the user's work: the file is left as it is.
    m_autosave->setIgnoringChanges(true);

    QStringList cached;
    for (const CSelectImage* record : m_imageData->GetSelectImageData())
        cached.append(record->GetImagePath());
    // Pictures whose files are gone leave the grid as the feed finds them; the session keeps
    // listing them.
    ShowInGrid({}, m_restore.gridPictures(m_restore.pending().cachedPaths));

    // Restored rows are wired like new ones; the free row is settled once they are all filled.
    // A shown list lays out every row again at each insert (quadratic in the rows); hidden, it
    // lays them out once when shown again.
    const bool listHidden = m_categories->isHidden();
    m_categories->setVisible(false);
    m_restoring = true;
    const int missing = m_restore.apply(m_selection, cached);
    m_restoring = false;
    m_categories->setHidden(listHidden);
    KeepFreeRow();
    m_autosave->setIgnoringChanges(false);
    // Nothing before the restore can be undone into it.
    m_editor->forgetSteps();
    emit sigCountsChanged(CountsText());
    if (missing > 0)
        emit sigStatusMessage(tr("上次的 %1 张照片现在找不到（文件不在原处），仍保留在记录中").arg(missing));
    update();
}
