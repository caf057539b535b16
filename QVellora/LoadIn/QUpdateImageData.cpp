// SPDX-License-Identifier: MIT
#include "LoadIn/QUpdateImageData.h"

#include "CLogging.h"
#include "Dialogs/QNoticeBox.h"
#include "Dialogs/QUserDialogs.h"
#include "LoadIn/QUploadFailureList.h"
#include "Records/CUploadLedger.h"
#include "Service/CUploadClient.h"
#include "Service/CUploadFolder.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// The bar runs in thousandths of the batch's bytes.
const int BarSteps = 1000;

// Both amounts in the unit that suits the whole: KB below a megabyte, else MB.
QString amounts(qint64 done, qint64 total)
{
    const double unit = total < 1024 * 1024 ? 1024.0 : 1024.0 * 1024.0;
    const int decimals = total < 1024 * 1024 ? 0 : 1;
    return QStringLiteral("%1 / %2 %3")
        .arg(QString::number(done / unit, 'f', decimals), QString::number(total / unit, 'f', decimals),
             total < 1024 * 1024 ? QStringLiteral("KB") : QStringLiteral("MB"));
}
} // namespace

QUpdateImageData::QUpdateImageData(QWidget* parent) : QDialog(parent), m_client(new CUploadClient(this))
{
    setWindowTitle(tr("上传图片"));
    resize(400, 200);
    createWidgets();

    connect(m_client, &CUploadClient::progress, this, &QUpdateImageData::showProgress);
    connect(m_client, &CUploadClient::countsChanged, this, &QUpdateImageData::showCounts);
    connect(m_client, &CUploadClient::batchFinished, this, &QUpdateImageData::showResult);
    connect(m_browseButton, &QPushButton::clicked, this, &QUpdateImageData::onCheckSelectImagePath);
    connect(m_updateButton, &QPushButton::clicked, this, &QUpdateImageData::onCheckUpdateOk);
    connect(m_cancelButton, &QPushButton::clicked, this, &QUpdateImageData::onCheckUpdateCancle);
    connect(m_failureList, &QUploadFailureList::retryRequested, this, &QUpdateImageData::onCheckRetryFailed);
    connect(m_failureList, &QUploadFailureList::openFolderRequested, this, [](const QString& folder) {
        if (!folder.isEmpty())
            QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    });
}

void QUpdateImageData::SetUserID(const QString& userId)
{
    m_client->setUserId(userId);
}

bool QUpdateImageData::isUploading() const
{
    return m_client->isRunning();
}

void QUpdateImageData::createWidgets()
{
    m_folderLabel = new QLabel(tr("上传图片地址："));
    m_folderEdit = new QLineEdit;
    m_folderEdit->setObjectName(QStringLiteral("folderEdit"));
    m_folderEdit->setMinimumWidth(100);
    m_browseButton = new QPushButton(QStringLiteral("..."));
    m_browseButton->setObjectName(QStringLiteral("browseButton"));
    m_browseButton->setMaximumWidth(20);
    m_updateButton = new QPushButton(tr("上传"));
    m_updateButton->setObjectName(QStringLiteral("updateButton"));
    m_updateButton->setMaximumWidth(60);
    m_cancelButton = new QPushButton(tr("取消"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setMaximumWidth(60);
    m_progressBar = new QProgressBar;
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setRange(0, BarSteps);
    m_progressBar->setVisible(false);
    m_statesLabel = new QLabel;
    m_statesLabel->setObjectName(QStringLiteral("statesLabel"));
    m_statesLabel->setWordWrap(true);
    m_statesLabel->setVisible(false);
    m_failureList = new QUploadFailureList;
    m_failureList->setObjectName(QStringLiteral("failureList"));
    m_failureList->setVisible(false);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folderLabel);
    folderRow->addWidget(m_folderEdit);
    folderRow->addWidget(m_browseButton);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_updateButton);
    buttonRow->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(folderRow);
    layout->addLayout(buttonRow);
    layout->addWidget(m_progressBar);
    layout->addWidget(m_statesLabel);
    layout->addWidget(m_failureList, 1);
}

bool QUpdateImageData::UpdataImagePath(const QString& folder)
{
    return UpdataImagePaths({folder});
}

bool QUpdateImageData::UpdataImagePaths(const QStringList& folders)
{
    if (isUploading()) {
        qCDebug(lcService) << "upload still running, not starting" << folders;
        return false;
    }
    listFolders(folders);
    startBatch(m_fileList);
    return true;
}

bool QUpdateImageData::OfferResume()
{
    if (isUploading())
        return false;
    const QStringList unfinished = m_client->ledger()->unfinished();
    if (unfinished.isEmpty())
        return false;
    if (!QUserDialogs::question(this, tr("上次有 %1 张照片没有上传完，继续上传？").arg(unfinished.size())))
        return false; // the ledger keeps them for later
    return startBatch(unfinished);
}

void QUpdateImageData::onCheckSelectImagePath()
{
    if (isUploading()) {
        refuseWhileRunning();
        return;
    }
    const QString folder = QUserDialogs::chooseFolder(
        this, tr("扫描目录"), QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    if (folder.isEmpty() || folder == QLatin1String("\\"))
        return;
    m_folderEdit->setText(folder);
    listFolders({folder});
}

void QUpdateImageData::onCheckUpdateOk()
{
    if (isUploading()) {
        refuseWhileRunning();
        return;
    }
    // Listed again: pictures added since the folder was chosen go too.
    listFolders(m_folders);
    if (!m_folders.isEmpty() && m_fileList.isEmpty()) {
        QNoticeBox::about(this, tr("所选目录中没有可上传的照片！"));
        return;
    }
    startBatch(m_fileList);
}

void QUpdateImageData::onCheckUpdateCancle()
{
    m_client->cancel();
    close();
}

void QUpdateImageData::onCheckRetryFailed()
{
    if (isUploading()) {
        refuseWhileRunning();
        return;
    }
    QStringList failed;
    for (const CUploadFailure& failure : m_client->failures())
        failed.append(failure.path);
    startBatch(failed);
}

void QUpdateImageData::listFolders(const QStringList& folders)
{
    m_folders = folders;
    m_fileList.clear();
    for (const QString& folder : folders)
        m_fileList += CUploadFolder::pictures(folder);
}

bool QUpdateImageData::startBatch(const QStringList& pictures)
{
    m_failureList->setFailures({});
    m_progressBar->setValue(0);
    m_progressBar->setVisible(true);
    m_statesLabel->setVisible(true);
    if (!m_client->start(pictures)) {
        m_progressBar->setVisible(!pictures.isEmpty());
        m_statesLabel->setVisible(!pictures.isEmpty());
        return false;
    }
    return true;
}

void QUpdateImageData::showProgress(int finished, int total)
{
    Q_UNUSED(finished)
    Q_UNUSED(total)
    showCounts(m_client->counts());
}

void QUpdateImageData::showCounts(const CUploadCounts& counts)
{
    int value = counts.bytesTotal > 0 ? int(counts.bytesDone * BarSteps / counts.bytesTotal)
                                      : (counts.total > 0 ? counts.finished() * BarSteps / counts.total : 0);
    // Whole only when every picture arrived.
    if (counts.uploaded + counts.skipped < counts.total)
        value = qMin(value, BarSteps - 1);
    m_progressBar->setValue(value);
    m_progressBar->setFormat(tr("%1 / %2 张，%3")
                                 .arg(counts.uploaded + counts.skipped)
                                 .arg(counts.total)
                                 .arg(amounts(counts.bytesDone, counts.bytesTotal)));
    m_statesLabel->setText(tr("等待 %1 张 · 上传中 %2 张 · 已完成 %3 张 · 已跳过 %4 张 · 失败 %5 张")
                               .arg(counts.waiting)
                               .arg(counts.sending)
                               .arg(counts.uploaded)
                               .arg(counts.skipped)
                               .arg(counts.failed));
}

QString QUpdateImageData::resultText(const CUploadCounts& counts) const
{
    QString text;
    if (counts.failed == 0 && counts.skipped == 0) {
        text = tr("照片上传完成！");
    } else if (counts.failed == 0 && counts.uploaded == 0) {
        text = tr("照片都已上传过，跳过 %1 张，没有重复上传。").arg(counts.skipped);
    } else if (counts.failed == 0) {
        text =
            tr("照片上传完成！上传 %1 张，跳过已上传过的 %2 张。").arg(counts.uploaded).arg(counts.skipped);
    } else {
        text = tr("照片上传结束：成功 %1 张").arg(counts.uploaded);
        if (counts.skipped > 0)
            text += tr("，跳过已上传过的 %1 张").arg(counts.skipped);
        text += tr("，失败 %1 张。失败的照片及原因列在上传窗口中，可点击“重试失败的照片”重新上传。")
                    .arg(counts.failed);
    }
    if (!m_client->stopReason().isEmpty())
        text = m_client->stopReason() + QLatin1Char('\n') + text;
    // The storage takes only JPEG, PNG, BMP and GIF; the user learns that the others went as JPEG.
    if (m_client->convertedCount() > 0)
        text += tr("\n其中 %1 张照片已转换为 JPEG 格式上传。").arg(m_client->convertedCount());
    return text;
}

void QUpdateImageData::showResult(int uploaded, int failed)
{
    const CUploadCounts counts = m_client->counts();
    showCounts(counts);
    const QList<CUploadFailure> failures = m_client->failures();
    m_failureList->setFailures(failures);
    if (!failures.isEmpty()) {
        // Room for the list; a hidden uploader (the category page's) comes forward to show it.
        resize(qMax(width(), 560), qMax(height(), 420));
        if (!isVisible())
            show();
    }
    QNoticeBox::about(this, resultText(counts));
    emit batchFinished(uploaded, failed);
}

void QUpdateImageData::refuseWhileRunning()
{
    QNoticeBox::about(this, tr("正在进行上传，请稍后再次尝试！"));
}
