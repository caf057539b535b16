// SPDX-License-Identifier: MIT
#include "CatePage/QCatePage.h"

#include "CLogging.h"
#include "CProgramFiles.h"
#include "CServiceEndpoints.h"
#include "CatePage/QCateMakeWidget.h"
#include "CateWidget/QCategoryColumn.h"
#include "Dialogs/QNoticeBox.h"
#include "Dialogs/QUserDialogs.h"
#include "Editing/QSelectionEditor.h"
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

// How many names of pictures that could not be copied the end message spells out.
const int ListedFailures = 5;

} // namespace

QCatePage::QCatePage(QWidget* parent)
    : QWidget(parent), m_ownSelection(new CSelection(this)), m_selection(m_ownSelection),
      m_makeWidget(new QCateMakeWidget(this)),
      m_categories(new QCategoryColumn(QCategoryColumn::Mode::Review, this)),
      m_exportFolder(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)),
      m_loginDlg(new QLoadInDlg(this)), m_exportThread(new QExportThread(this))
{
    m_makeWidget->setObjectName(QStringLiteral("makeWidget"));
    m_categories->setObjectName(QStringLiteral("cateList"));
    m_categories->setThumbnails([this](const QString& path) {
        if (m_thumbnailLookup)
            return m_thumbnailLookup(path);
        const QPixmap* thumbnail = m_pictures ? m_pictures->FindImage(path) : nullptr;
        return thumbnail ? *thumbnail : QPixmap();
    });
    connect(m_makeWidget, &QCateMakeWidget::sigCheckCallBackButton, this, &QCatePage::onGoBacePrePage);
    connect(m_makeWidget, &QCateMakeWidget::sigCheckOutPutImageButton, this, &QCatePage::onOutputImageAction);
    connect(m_makeWidget, &QCateMakeWidget::sigCheckOpenImageButton, this,
            &QCatePage::onOpenImageFolderAction);
    connect(m_makeWidget, &QCateMakeWidget::sigCheckUdataNetButton, this, &QCatePage::onUpdataNetAction);
    connect(m_makeWidget, &QCateMakeWidget::sigCheckPushImageButton, this, &QCatePage::onPushImageAction);
    connect(m_makeWidget, &QCateMakeWidget::sigCheckNextCloseSoft, this, &QCatePage::sigCloseTheSoft);
    connect(m_exportThread, &QExportThread::exportProgress, this, &QCatePage::onExportProgress);
    connect(m_exportThread, &QExportThread::exportFinished, this, &QCatePage::onExportFinished);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_makeWidget);
    layout->addWidget(m_categories);
    SetSelection(nullptr, nullptr);
}

QCatePage::~QCatePage()
{
    // The worker copies files named by this page; end it before the page goes.
    m_exportThread->Stop();
    if (m_selection)
        disconnect(m_selection, nullptr, this, nullptr);
}

void QCatePage::SetSelection(CSelection* selection, const CSelectImageData* pictures,
                             QSelectionEditor* editor)
{
    if (m_selection)
        disconnect(m_selection, nullptr, this, nullptr);
    m_selection = selection ? selection : m_ownSelection;
    m_pictures = pictures;
    delete m_ownEditor;
    m_ownEditor = nullptr;
    if (!editor || editor->selection() != m_selection)
        editor = m_ownEditor = new QSelectionEditor(m_selection, QSelectionEditor::DefaultName(), this);
    m_categories->setEditor(editor);
    // A selection that goes before the page leaves it with its own, empty one.
    connect(m_selection, &QObject::destroyed, this, [this] {
        m_selection = nullptr;
        SetSelection(nullptr, nullptr);
    });
}

void QCatePage::SetFactsLookup(CCategoryPictures::FactsLookup lookup)
{
    m_categories->setFacts(std::move(lookup));
}

void QCatePage::PictureUpdated(const QString& path)
{
    m_categories->pictureUpdated(path);
}

void QCatePage::ShowCategories()
{
    m_categories->showFilled();
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
    for (int category : m_categories->shownCategories())
        categories.append(m_selection->at(category));
    return categories;
}

bool QCatePage::ProceedDespitePoorPictures()
{
    const int poor = m_categories->poorPictureCount();
    if (poor == 0)
        return true;
    return QUserDialogs::question(
        this, tr("%1 张照片的分辨率不足以清晰打印所选尺寸（低于 150 dpi）。仍要继续吗？").arg(poor));
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
    const QString folder = QUserDialogs::chooseFolder(this, tr("保存照片"), m_exportFolder);
    if (folder.isEmpty() || folder == QLatin1String("\\"))
        return;

    const QList<CCategory> categories = exportCategories();
    const int unsafe = CExportPlan::firstUnsafeCategory(categories);
    if (unsafe >= 0) {
        QUserDialogs::information(
            this, tr("类别名称“%1”不能用作文件夹名称，请返回修改后再导出！").arg(categories.at(unsafe).name));
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
        m_progress->setWindowTitle(tr("导出照片"));
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
    m_progress->setLabelText(tr("正在导出 %1 / %2").arg(done).arg(total));
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
        text += tr("\n导出记录未能保存（磁盘已满或不可写），历史页中不会列出这次导出。");
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
        return tr("无法创建类别“%1”的文件夹，导出已停止！").arg(result.problemCategory);
    case CExportResult::SelectionNotWritable:
    case CExportResult::Stopped:
        return tr("无法在“%1”中写入选片记录，导出未完成！")
            .arg(QDir::toNativeSeparators(result.exportFolder));
    }
    if (result.failedNames.isEmpty())
        return tr("保存图片成功");
    QStringList shown = result.failedNames.mid(0, ListedFailures);
    if (result.failedNames.size() > ListedFailures)
        shown.append(tr("…"));
    return tr("已导出 %1 张照片，%2 张未能导出：%3")
        .arg(result.copied)
        .arg(result.failedNames.size())
        .arg(shown.join(tr("、")));
}

void QCatePage::onOpenImageFolderAction()
{
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QDir::cleanPath(QDir::fromNativeSeparators(m_exportFolder))));
}

void QCatePage::onUpdataNetAction()
{
    if (!m_exported) {
        QUserDialogs::information(this, tr("请先导出目标文件夹！"));
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
        QNoticeBox::about(this, tr("正在进行上传，请稍后再次尝试！"));
        return;
    }
    QNoticeBox::about(this, tr("上传尚未完成，请勿关闭软件！"));
    if (!uploader)
        uploader = new QUpdateImageData(this);
    uploader->SetUserID(m_userId);
    uploader->UpdataImagePaths(m_exportedFolders);
}

void QCatePage::onPushImageAction()
{
    QDesktopServices::openUrl(CServiceEndpoints::printOrder());
}
