// SPDX-License-Identifier: MIT
#include "CatePage/QCatePage.h"

#include "CLogging.h"
#include "CProgramFiles.h"
#include "CServiceEndpoints.h"
#include "CatePage/QCateMakeWidget.h"
#include "CateWidget/QCateListItemWidget.h"
#include "CateWidget/QCateListWidget.h"
#include "CateWidget/QPhotoCataListWdiget.h"
#include "Dialogs/QNoticeBox.h"
#include "Dialogs/QUserDialogs.h"
#include "EditPage/QSelectionEditor.h"
#include "Export/CExportHistory.h"
#include "Export/QExportThread.h"
#include "LoadIn/QLoadInDlg.h"
#include "LoadIn/QUpdateImageData.h"
#include "Pictures/CSelectImageData.h"
#include "Selection/CSelection.h"

#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QProgressBar>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The selection row of the category a page row shows.
const int CategoryRole = Qt::UserRole;
// How many names of pictures that could not be copied the end message spells out.
const int ListedFailures = 5;

} // namespace

QCatePage::QCatePage(QWidget* parent)
    : QWidget(parent), m_ownSelection(new CSelection(this)), m_selection(m_ownSelection),
      m_makeWidget(new QCateMakeWidget(this)), m_cateList(new QCateListWidget(this)),
      m_exportFolder(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)),
      m_loginDlg(new QLoadInDlg(this)), m_exportThread(new QExportThread(this))
{
    m_makeWidget->setObjectName(QStringLiteral("makeWidget"));
    m_cateList->setObjectName(QStringLiteral("cateList"));
    connect(m_makeWidget, &QCateMakeWidget::sigCheckCallBackButton, this, &QCatePage::onGoBacePrePage);
    connect(m_makeWidget, &QCateMakeWidget::sigCheckOutPutImageButton, this, &QCatePage::onOutputImageAction);
    connect(m_makeWidget, &QCateMakeWidget::sigCheckOpenImageButton, this,
            &QCatePage::onOpenImageFolderAction);
    connect(m_makeWidget, &QCateMakeWidget::sigCheckUdataNetButton, this, &QCatePage::onUpdataNetAction);
    connect(m_makeWidget, &QCateMakeWidget::sigCheckPushImageButton, this, &QCatePage::onPushImageAction);
    connect(m_makeWidget, &QCateMakeWidget::sigCheckNextCloseSoft, this, &QCatePage::sigCloseTheSoft);
    connect(m_exportThread, &QExportThread::exportProgress, this, &QCatePage::onExportProgress);
    connect(m_exportThread, &QExportThread::exportFinished, this, &QCatePage::onExportFinished);

    m_cateList->SetRowsFitPictures(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_makeWidget);
    layout->addWidget(m_cateList);
    SetSelection(nullptr, nullptr);
}

QCatePage::~QCatePage()
{
    // The worker copies files named by this page; end it before the page goes.
    m_exportThread->Stop();
    if (m_selection)
        disconnect(m_selection, nullptr, this, nullptr);
}

void QCatePage::SetSelection(CSelection* selection, const CSelectImageData* pictures)
{
    if (m_selection)
        disconnect(m_selection, nullptr, this, nullptr);
    m_selection = selection ? selection : m_ownSelection;
    m_pictures = pictures;
    m_cateList->clear();
    // A selection that goes before the page leaves it with its own, empty one.
    connect(m_selection, &QObject::destroyed, this, [this] {
        m_selection = nullptr;
        SetSelection(nullptr, nullptr);
    });
    connect(m_selection, &CSelection::picturesAdded, this, [this](int category, const QStringList& paths) {
        if (QCateListItemWidget* cate = m_cateList->GetCateItem(rowOfCategory(category))) {
            QList<QPixmap*> thumbnails;
            for (const QString& path : paths)
                thumbnails.append(m_pictures ? m_pictures->FindImage(path) : nullptr);
            cate->AddImageItems(thumbnails, paths);
        }
    });
    connect(m_selection, &CSelection::picturesRemoved, this, [this](int category, const QStringList& paths) {
        if (QCateListItemWidget* cate = m_cateList->GetCateItem(rowOfCategory(category)))
            cate->RemoveImageItems(paths);
    });
    connect(m_selection, &CSelection::categoryRemoved, this, [this](int category) {
        const int row = rowOfCategory(category);
        if (row >= 0)
            delete m_cateList->takeItem(row);
    });
    connect(m_selection, &CSelection::renamed, this, [this](int category, const QString& name) {
        if (QCateListItemWidget* cate = m_cateList->GetCateItem(rowOfCategory(category)))
            cate->SetCateName(name);
    });
    connect(m_selection, &CSelection::printSizeChanged, this, [this](int category, const QString& key) {
        if (QCateListItemWidget* cate = m_cateList->GetCateItem(rowOfCategory(category)))
            cate->SetPrintSize(key);
    });
}

void QCatePage::SetFactsLookup(QPhotoCataListWdiget::FactsLookup lookup)
{
    m_facts = std::move(lookup);
    for (int row = 0; row < m_cateList->count(); ++row)
        m_cateList->GetCateItem(row)->SetFactsLookup(m_facts);
}

void QCatePage::PictureFactsArrived(const QString& path)
{
    for (int row = 0; row < m_cateList->count(); ++row)
        m_cateList->GetCateItem(row)->GetListWidget()->RefreshPicture(path);
}

void QCatePage::ShowCategories()
{
    // Only the categories that hold pictures: an empty one in between must not push the last
    // category off the page, and no row of an earlier visit may stay behind.
    m_cateList->clear();
    for (int category : m_selection->filledRows()) {
        appendRow(category);
        QCateListItemWidget* cate = m_cateList->GetCateItem(m_cateList->count() - 1);
        const CCategory& content = m_selection->at(category);
        cate->SetCateName(content.name);
        cate->SetCateColor(content.color);
        cate->SetPrintSize(content.printSize);
        // A picture without a thumbnail (unreadable) stays in its category, shown by its name.
        QList<QPixmap*> thumbnails;
        for (const QString& path : content.pictures)
            thumbnails.append(m_pictures ? m_pictures->FindImage(path) : nullptr);
        cate->AddImageItems(thumbnails, content.pictures);
    }
    m_cateList->FitRows();
}

int QCatePage::rowOfCategory(int category) const
{
    for (int row = 0; row < m_cateList->count(); ++row) {
        if (m_cateList->item(row)->data(CategoryRole).toInt() == category)
            return row;
    }
    return -1;
}

int QCatePage::categoryOfRow(const QObject* rowWidget) const
{
    for (int row = 0; row < m_cateList->count(); ++row) {
        if (m_cateList->GetCateItem(row) == rowWidget)
            return m_cateList->item(row)->data(CategoryRole).toInt();
    }
    return -1;
}

void QCatePage::SetSelectionEditor(QSelectionEditor* editor)
{
    m_editor = editor;
}

bool QCatePage::editing() const
{
    return m_editor && m_editor->selection() == m_selection;
}

void QCatePage::AddCateListItem()
{
    if (editing()) {
        m_editor->addCategory();
        appendRow(m_selection->count() - 1);
    } else {
        appendRow(m_selection->addCategory());
    }
    m_cateList->FitRows();
}

void QCatePage::appendRow(int category)
{
    auto* cate = new QCateListItemWidget(130, true, true, true, true, this);
    cate->SetFactsLookup(m_facts);
    cate->SetPrintSize(m_selection->at(category).printSize);
    // The row's own changes (a picture deleted, a name set row by row) go into its category.
    connect(cate, &QCateListItemWidget::markAddPhotoOnes, this, [this, cate](const QStringList& paths) {
        if (editing())
            m_editor->putInto(categoryOfRow(cate), paths);
        else
            m_selection->addPictures(categoryOfRow(cate), paths);
    });
    connect(cate, &QCateListItemWidget::markSubPhotoOnes, this, [this, cate](const QStringList& paths) {
        if (editing())
            m_editor->takeOutOf(categoryOfRow(cate), paths);
        else
            m_selection->removePictures(categoryOfRow(cate), paths);
    });
    connect(cate, &QCateListItemWidget::cateNameChanged, this, [this, cate](const QString& name) {
        if (editing())
            m_editor->rename(categoryOfRow(cate), name);
        else
            m_selection->rename(categoryOfRow(cate), name);
    });
    auto* item = new QListWidgetItem;
    item->setSizeHint(m_cateList->GetRowSize());
    item->setData(CategoryRole, category);
    m_cateList->addItem(item);
    m_cateList->setItemWidget(item, cate);
}

void QCatePage::AddCateImage(int row, QPixmap* picture, const QString& path)
{
    m_cateList->AddCateImage(row, picture, path);
}

void QCatePage::SetCateName(int row, const QString& name)
{
    m_cateList->SetCateName(row, name);
}

void QCatePage::ClearCateImages(int row)
{
    m_cateList->ClearCateImages(row);
}

int QCatePage::GetCateCount() const
{
    return m_cateList->count();
}

QString QCatePage::GetSubmitText()
{
    return m_makeWidget->GetSubmitText();
}

bool QCatePage::SaveHistoryData(const QString& folder)
{
    if (CExportHistory::addFolder(CProgramFiles::historyFile(), folder))
        return true;
    qCDebug(lcExport) << "history not written" << CProgramFiles::historyFile();
    return false;
}

bool QCatePage::IsExporting() const
{
    return m_exportThread->isRunning() || m_progress;
}

QList<CCategory> QCatePage::exportCategories() const
{
    QList<CCategory> categories;
    for (int row = 0; row < m_cateList->count(); ++row)
        categories.append(m_selection->at(m_cateList->item(row)->data(CategoryRole).toInt()));
    return categories;
}

bool QCatePage::ProceedDespitePoorPictures()
{
    int poor = 0;
    for (int row = 0; row < m_cateList->count(); ++row)
        poor += m_cateList->GetCateItem(row)->GetListWidget()->CountBadges(QPhotoCataListWdiget::Badge::Poor);
    if (poor == 0)
        return true;
    return QUserDialogs::question(
        this,
        QStringLiteral("%1 张照片的分辨率不足以清晰打印所选尺寸（低于 150 dpi）。仍要继续吗？").arg(poor));
}

void QCatePage::onGoBacePrePage()
{
    m_exported = false;
    emit sigGoBackPrePage();
}

void QCatePage::onOutputImageAction()
{
    if (IsExporting() || !ProceedDespitePoorPictures())
        return;
    const QString folder = QUserDialogs::chooseFolder(this, QStringLiteral("保存照片"), m_exportFolder);
    if (folder.isEmpty() || folder == QLatin1String("\\"))
        return;

    const QList<CCategory> categories = exportCategories();
    const int unsafe = CExportPlan::firstUnsafeCategory(categories);
    if (unsafe >= 0) {
        QUserDialogs::information(this, QStringLiteral("类别名称“%1”不能用作文件夹名称，请返回修改后再导出！")
                                            .arg(categories.at(unsafe).name));
        emit sigExportFinished(false);
        return;
    }

    m_exportFolder = folder;
    const CExportPlan plan(folder, categories);
    m_exportThread->SetPlan(plan);
    showExportProgress(0, plan.copies().size());
    m_exportThread->start();
}

void QCatePage::showExportProgress(int done, int total)
{
    if (!m_progress) {
        m_progress = new QProgressDialog(this);
        m_progress->setObjectName(QStringLiteral("exportProgress"));
        m_progress->setWindowTitle(QStringLiteral("导出照片"));
        m_progress->setCancelButton(nullptr);
        m_progress->setWindowFlags(m_progress->windowFlags() & ~Qt::WindowCloseButtonHint);
        m_progress->setWindowModality(Qt::ApplicationModal);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        // The bar is driven directly: QProgressDialog::setValue of a modal dialog runs the event
        // loop, where the end of the export could delete the dialog under it.
        m_progressBar = new QProgressBar(m_progress);
        m_progress->setBar(m_progressBar);
        m_progress->show();
    }
    m_progressBar->setRange(0, total);
    m_progressBar->setValue(done);
    m_progress->setLabelText(QStringLiteral("正在导出 %1 / %2").arg(done).arg(total));
}

void QCatePage::onExportProgress(int done, int total)
{
    // Copies run side by side, so a count can arrive after a larger one.
    if (m_progress && done < m_progressBar->value())
        return;
    showExportProgress(done, total);
}

void QCatePage::onExportFinished(const CExportResult& result)
{
    // The worker may still be returning from run(); wait for it so that the next export can start.
    m_exportThread->wait();
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
    }
    m_progress = nullptr;

    if (result.outcome != CExportResult::Done) {
        QUserDialogs::information(this, finishedText(result));
        emit sigExportFinished(false);
        return;
    }
    m_exportedFolders = result.folders;
    // The pictures are there either way; the user learns when the history page will miss them.
    QString text = finishedText(result);
    if (!SaveHistoryData(result.exportFolder))
        text += QStringLiteral("\n导出记录未能保存（磁盘已满或不可写），历史页中不会列出这次导出。");
    QUserDialogs::information(this, text);
    m_exported = true;
    emit sigExportFinished(true);
}

QString QCatePage::finishedText(const CExportResult& result) const
{
    switch (result.outcome) {
    case CExportResult::Done:
        break;
    case CExportResult::FolderNotCreated:
        return QStringLiteral("无法创建类别“%1”的文件夹，导出已停止！").arg(result.problemCategory);
    case CExportResult::SelectionNotWritable:
    case CExportResult::Stopped:
        return QStringLiteral("无法在“%1”中写入选片记录，导出未完成！")
            .arg(QDir::toNativeSeparators(result.exportFolder));
    }
    if (result.failedNames.isEmpty())
        return QStringLiteral("保存图片成功");
    QStringList shown = result.failedNames.mid(0, ListedFailures);
    if (result.failedNames.size() > ListedFailures)
        shown.append(QStringLiteral("…"));
    return QStringLiteral("已导出 %1 张照片，%2 张未能导出：%3")
        .arg(result.copied)
        .arg(result.failedNames.size())
        .arg(shown.join(QStringLiteral("、")));
}

void QCatePage::onOpenImageFolderAction()
{
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QDir::cleanPath(QDir::fromNativeSeparators(m_exportFolder))));
}

void QCatePage::onUpdataNetAction()
{
    if (!m_exported) {
        QUserDialogs::information(this, QStringLiteral("请先导出目标文件夹！"));
        return;
    }
    if (!ProceedDespitePoorPictures())
        return;
    if (m_userId.isEmpty()) {
        QUserDialogs::exec(m_loginDlg);
        m_userId = m_loginDlg->GetUserID();
        emit sigZovID(m_userId);
    }
    if (m_userId.isEmpty())
        return;
    // One batch for all the folders: a few pictures at a time, one list of failures.
    auto* uploader = findChild<QUpdateImageData*>();
    if (uploader && uploader->isUploading()) {
        QNoticeBox::about(this, QStringLiteral("正在进行上传，请稍后再次尝试！"));
        return;
    }
    QNoticeBox::about(this, QStringLiteral("上传尚未完成，请勿关闭软件！"));
    if (!uploader)
        uploader = new QUpdateImageData(this);
    uploader->SetUserID(m_userId);
    uploader->UpdataImagePaths(m_exportedFolders);
}

void QCatePage::onPushImageAction()
{
    QDesktopServices::openUrl(CServiceEndpoints::printOrder());
}
