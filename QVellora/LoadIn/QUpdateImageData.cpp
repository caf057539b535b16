// SPDX-License-Identifier: MIT
#include "LoadIn/QUpdateImageData.h"

#include "CLogging.h"
#include "Dialogs/QNoticeBox.h"
#include "Dialogs/QUserDialogs.h"
#include "Service/CUploadClient.h"
#include "Service/CUploadFolder.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

QUpdateImageData::QUpdateImageData(QWidget* parent) : QDialog(parent), m_client(new CUploadClient(this))
{
    setWindowTitle(QStringLiteral("上传图片"));
    resize(400, 200);
    createWidgets();

    connect(m_client, &CUploadClient::progress, this, &QUpdateImageData::showProgress);
    connect(m_client, &CUploadClient::batchFinished, this, &QUpdateImageData::showResult);
    connect(m_browseButton, &QPushButton::clicked, this, &QUpdateImageData::onCheckSelectImagePath);
    connect(m_updateButton, &QPushButton::clicked, this, &QUpdateImageData::onCheckUpdateOk);
    connect(m_cancelButton, &QPushButton::clicked, this, &QUpdateImageData::onCheckUpdateCancle);
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
    m_folderLabel = new QLabel(QStringLiteral("上传图片地址："));
    m_folderEdit = new QLineEdit;
    m_folderEdit->setObjectName(QStringLiteral("folderEdit"));
    m_folderEdit->setMinimumWidth(100);
    m_browseButton = new QPushButton(QStringLiteral("..."));
    m_browseButton->setObjectName(QStringLiteral("browseButton"));
    m_browseButton->setMaximumWidth(20);
    m_updateButton = new QPushButton(QStringLiteral("上传"));
    m_updateButton->setObjectName(QStringLiteral("updateButton"));
    m_updateButton->setMaximumWidth(60);
    m_cancelButton = new QPushButton(QStringLiteral("取消"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setMaximumWidth(60);
    m_progressBar = new QProgressBar;
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setFormat(QStringLiteral("已处理 %v / %m 张"));
    m_progressBar->setVisible(false);

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
}

bool QUpdateImageData::UpdataImagePath(const QString& folder)
{
    if (isUploading()) {
        qCDebug(lcService) << "upload still running, not starting" << folder;
        return false;
    }
    setFolder(folder);
    startBatch();
    return true;
}

void QUpdateImageData::onCheckSelectImagePath()
{
    if (isUploading()) {
        refuseWhileRunning();
        return;
    }
    const QString folder = QUserDialogs::chooseFolder(
        this, QStringLiteral("扫描目录"), QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    if (folder.isEmpty() || folder == QLatin1String("\\"))
        return;
    m_folderEdit->setText(folder);
    setFolder(folder);
}

void QUpdateImageData::onCheckUpdateOk()
{
    if (isUploading()) {
        refuseWhileRunning();
        return;
    }
    if (!m_folder.isEmpty() && m_fileList.isEmpty()) {
        QNoticeBox::about(this, QStringLiteral("所选目录中没有可上传的照片！"));
        return;
    }
    startBatch();
}

void QUpdateImageData::onCheckUpdateCancle()
{
    m_client->cancel();
    close();
}

void QUpdateImageData::setFolder(const QString& folder)
{
    m_folder = folder;
    m_fileList = CUploadFolder::pictures(folder);
}

void QUpdateImageData::startBatch()
{
    if (!m_client->start(m_fileList))
        return;
    m_progressBar->setRange(0, m_fileList.size());
    m_progressBar->setValue(0);
    m_progressBar->setVisible(true);
}

void QUpdateImageData::showProgress(int finished, int total)
{
    m_progressBar->setRange(0, total);
    m_progressBar->setValue(finished);
}

void QUpdateImageData::showResult(int uploaded, int failed)
{
    QString text = failed == 0
                       ? QStringLiteral("照片上传完成！")
                       : QStringLiteral("照片上传结束：成功 %1 张，失败 %2 张，请稍后重新上传失败的照片。")
                             .arg(uploaded)
                             .arg(failed);
    // The storage takes only JPEG, PNG, BMP and GIF; the user learns that the others went as JPEG.
    if (m_client->convertedCount() > 0)
        text += QStringLiteral("\n其中 %1 张照片已转换为 JPEG 格式上传。").arg(m_client->convertedCount());
    QNoticeBox::about(this, text);
    emit batchFinished(uploaded, failed);
}

void QUpdateImageData::refuseWhileRunning()
{
    QNoticeBox::about(this, QStringLiteral("正在进行上传，请稍后再次尝试！"));
}
