// SPDX-License-Identifier: MIT
#include "ViewPage/QViewPage.h"

#include "CLogging.h"
#include "CProgramFiles.h"
#include "Export/CExportHistory.h"
#include "Export/CExportPlan.h"
#include "Export/CExportSelection.h"
#include "PhotoView/QPhotoViewListWidget.h"
#include "Pictures/CSelectImageData.h"
#include "Thread/QShowImageThread.h"
#include "ViewPage/QTimeViewWidget.h"
#include "ViewPage/QViewMakeWidget.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

QViewPage::QViewPage(QWidget* parent)
    : QWidget(parent), m_title(new QLabel(tr("历史导出记录"), this)), m_entryList(new QListWidget(this)),
      m_makeWidget(new QViewMakeWidget(this)), m_grid(new QPhotoViewListWidget(300, this)),
      m_loader(new QShowImageThread(this)), m_thumbnails(new CSelectImageData)
{
    m_title->setMinimumHeight(43);
    m_title->setMaximumWidth(300);
    m_entryList->setSelectionMode(QAbstractItemView::NoSelection);
    m_entryList->setMaximumWidth(300);

    connect(m_makeWidget, &QViewMakeWidget::sigCheckGoBack, this, &QViewPage::sigCallBackPage);
    connect(m_makeWidget, &QViewMakeWidget::sigCheckOpenButton, this, &QViewPage::onOpenCurPageFolder);
    // settleUpTo() tells unreadable pictures by the gap they leave: the order must be the list's.
    m_loader->SetCachedFirst(false);
    connect(m_loader, &QShowImageThread::showOneImage, this, &QViewPage::onThumbnail);
    connect(m_loader, &QShowImageThread::endShowOneImage, this, &QViewPage::onThumbnailsDone);

    auto* entries = new QVBoxLayout;
    entries->addWidget(m_title);
    entries->addWidget(m_entryList);
    auto* pictures = new QVBoxLayout;
    pictures->addWidget(m_makeWidget);
    pictures->addWidget(m_grid);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(entries);
    layout->addLayout(pictures);

    ReloadHistory();
}

QViewPage::~QViewPage()
{
    m_loader->Stop();
    // The grid's tiles paint through the cache's pixmaps: they go first.
    m_grid->ClearSelfData();
}

void QViewPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Unchanged files keep the entries and thumbnails already made.
    if (historySignature() != m_signature)
        ReloadHistory();
}

QString QViewPage::historySignature() const
{
    auto stamp = [](const QString& path) {
        const QFileInfo info(path);
        return info.exists()
                   ? QStringLiteral("%1:%2;").arg(info.lastModified().toMSecsSinceEpoch()).arg(info.size())
                   : QStringLiteral("-;");
    };
    const QString history = CProgramFiles::historyFile();
    QString signature = history + stamp(history);
    for (const QString& folder : CExportHistory::readFolders(history))
        signature += folder + stamp(CExportSelection::filePath(folder));
    return signature;
}

void QViewPage::ReloadHistory()
{
    m_signature = historySignature();
    m_loader->Stop();
    m_grid->ClearSelfData();
    m_thumbnails.reset(new CSelectImageData);
    m_unreadable.clear();
    m_entries.clear();
    m_entryList->clear();
    m_currentFolder.clear();
    m_currentRow = 0;
    m_shownPictures = 0;

    loadHistoryData();
    updateWidgetData();
    if (!m_entries.isEmpty())
        showEntry(0);
    startLoader();
}

void QViewPage::loadHistoryData()
{
    const QStringList folders = CExportHistory::readFolders(CProgramFiles::historyFile());
    for (const QString& folder : folders)
        loadPageData(folder);
}

void QViewPage::loadPageData(const QString& exportFolder)
{
    bool ok = false;
    const CExportSelection selection = CExportSelection::read(exportFolder, &ok);
    if (!ok) {
        qCDebug(lcPages) << "open pro error" << CExportSelection::filePath(exportFolder);
        return;
    }
    for (const CExportSelection::Page& page : selection.pages) {
        Entry entry;
        entry.saveDate = selection.saveDate;
        entry.pageName = page.name;
        entry.folder = CExportPlan::categoryFolder(exportFolder, page.name);
        for (const QString& pictureName : page.pictureNames)
            entry.pictures.append(CProgramFiles::join(entry.folder, pictureName));
        m_entries.append(entry);
    }
}

void QViewPage::updateWidgetData()
{
    // A long name takes more lines; measured at the column's width, less a scroll bar.
    const int rowWidth = m_entryList->maximumWidth() - 2 * m_entryList->frameWidth() -
                         m_entryList->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int i = 0; i < m_entries.size(); ++i) {
        auto* row = new QTimeViewWidget(true, m_entries.at(i).saveDate, m_entries.at(i).pageName);
        auto* item = new QListWidgetItem;
        item->setSizeHint(QSize(50, qMax(50, row->heightForWidth(rowWidth))));
        m_entryList->addItem(item);
        m_entryList->setItemWidget(item, row);
        row->SetItemID(i);
        connect(row, &QTimeViewWidget::sigChangeSelectItem, this, &QViewPage::onViewSelectChange);
    }
    if (QTimeViewWidget* first = GetEntry(0))
        first->SetSelected(true);
}

QTimeViewWidget* QViewPage::GetEntry(int row) const
{
    if (row < 0 || row >= m_entryList->count())
        return nullptr;
    return qobject_cast<QTimeViewWidget*>(m_entryList->itemWidget(m_entryList->item(row)));
}

void QViewPage::onViewSelectChange(int iItemID)
{
    if (iItemID < 0 || iItemID >= m_entries.size())
        return;
    if (QTimeViewWidget* previous = GetEntry(m_currentRow))
        previous->SetSelected(false);
    m_currentRow = iItemID;
    GetEntry(m_currentRow)->SetSelected(true);
    showEntry(m_currentRow);
    // Put this entry's pictures at the head of the queue if they are still to be made.
    if (m_loader->isRunning() || m_loadingNext < m_loading.size())
        startLoader();
    update();
}

void QViewPage::showEntry(int row)
{
    m_grid->ClearSelfData();
    m_currentFolder = m_entries.at(row).folder;
    m_shownPictures = 0;
    fillGrid();
}

void QViewPage::fillGrid()
{
    if (m_entries.isEmpty())
        return;
    const QStringList& pictures = m_entries.at(m_currentRow).pictures;
    while (m_shownPictures < pictures.size() && settled(pictures.at(m_shownPictures))) {
        // An unreadable picture keeps its place in the category, shown by its name; one whose
        // file is gone is left out.
        const QString& path = pictures.at(m_shownPictures);
        QPixmap* thumbnail = m_thumbnails->FindImage(path);
        if (thumbnail || QFileInfo::exists(path))
            m_grid->AddPhotoItem(thumbnail ? thumbnail->toImage() : QImage(), path);
        ++m_shownPictures;
    }
}

bool QViewPage::settled(const QString& path) const
{
    return m_thumbnails->FindImage(path) || m_unreadable.contains(path);
}

void QViewPage::startLoader()
{
    m_loader->Stop();
    QStringList order;
    QSet<QString> queued;
    auto queue = [&](const QStringList& pictures) {
        for (const QString& path : pictures) {
            if (!settled(path) && !queued.contains(path)) {
                queued.insert(path);
                order.append(path);
            }
        }
    };
    if (m_currentRow < m_entries.size())
        queue(m_entries.at(m_currentRow).pictures);
    for (const Entry& entry : qAsConst(m_entries))
        queue(entry.pictures);

    m_loading = order;
    m_loadingIndex.clear();
    for (int i = 0; i < m_loading.size(); ++i)
        m_loadingIndex.insert(m_loading.at(i), i);
    m_loadingNext = 0;
    m_loader->SetPathList(m_loading);
    m_loader->start(QThread::LowPriority);
}

void QViewPage::settleUpTo(int index)
{
    // The loader delivers in list order and says nothing about unreadable files: whatever it
    // passed over was unreadable.
    for (; m_loadingNext < index && m_loadingNext < m_loading.size(); ++m_loadingNext) {
        const QString& path = m_loading.at(m_loadingNext);
        if (!m_thumbnails->FindImage(path))
            m_unreadable.insert(path);
    }
}

void QViewPage::onThumbnail(const QString& path, const QImage& image)
{
    const int index = m_loadingIndex.value(path, -1);
    if (index < 0)
        return;
    m_thumbnails->AddImage(path, QPixmap::fromImage(image));
    settleUpTo(index + 1);
    fillGrid();
}

void QViewPage::onThumbnailsDone()
{
    settleUpTo(m_loading.size());
    fillGrid();
    emit sigThumbnailsLoaded();
}

void QViewPage::onOpenCurPageFolder()
{
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QDir::cleanPath(QDir::fromNativeSeparators(m_currentFolder))));
}
