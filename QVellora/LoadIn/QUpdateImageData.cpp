// SPDX-License-Identifier: MIT
#include "QUpdateImageData.h"

#include "CFormBody.h"
#include "CImageRegistration.h"
#include "CServiceEndpoints.h"
#include "CUploadAuth.h"
#include "CUploadFolder.h"
#include "CUploadForm.h"
#include "LoadIn/QNoticeBox.h"
#include "OtherWidget/QUserDialogs.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QHttpMultiPart>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {
const auto PathAttribute = QNetworkRequest::User;
const auto BatchAttribute = static_cast<QNetworkRequest::Attribute>(QNetworkRequest::User + 1);

bool answeredWithSuccess(QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
}
} // namespace

QUpdateImageData::QUpdateImageData(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("上传图片"));
    resize(400, 200);
    createWidgets();

    m_authManager = new QNetworkAccessManager(this);
    connect(m_authManager, &QNetworkAccessManager::finished, this, &QUpdateImageData::getFinished);
    m_storageManager = new QNetworkAccessManager(this);
    connect(m_storageManager, &QNetworkAccessManager::finished, this, &QUpdateImageData::replyFinished);
    m_backManager = new QNetworkAccessManager(this);
    connect(m_backManager, &QNetworkAccessManager::finished, this, &QUpdateImageData::backFinished);

    connect(m_browseButton, &QPushButton::clicked, this, &QUpdateImageData::onCheckSelectImagePath);
    connect(m_updateButton, &QPushButton::clicked, this, &QUpdateImageData::onCheckUpdateOk);
    connect(m_cancelButton, &QPushButton::clicked, this, &QUpdateImageData::onCheckUpdateCancle);
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
    if (m_running) {
        qDebug() << "upload still running, not starting" << folder;
        return false;
    }
    setFolder(folder);
    startBatch();
    return true;
}

void QUpdateImageData::onCheckSelectImagePath()
{
    if (m_running) {
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
    if (m_running) {
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
    close();
}

void QUpdateImageData::setFolder(const QString& folder)
{
    m_folder = folder;
    m_objectNames.clear();
    m_answersHandled = 0;
    m_uploadsFinished = 0;
    m_fileList = CUploadFolder::pictures(folder);
}

void QUpdateImageData::startBatch()
{
    if (m_fileList.isEmpty())
        return;
    ++m_batch;
    m_running = true;
    m_answersHandled = 0;
    m_uploadsFinished = 0;
    m_uploadsFailed = 0;
    m_objectNames.clear();
    m_progressBar->setRange(0, m_fileList.size());
    m_progressBar->setValue(0);
    m_progressBar->setVisible(true);

    // The authorisations are all alike; each answer serves the next file waiting for one.
    QNetworkRequest request(CServiceEndpoints::uploadAuth());
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    request.setAttribute(BatchAttribute, m_batch);
    for (int i = 0; i < m_fileList.size(); ++i) {
        QNetworkReply* reply = m_authManager->get(request);
        connect(reply, &QNetworkReply::errorOccurred, this, &QUpdateImageData::getError);
        connect(reply, &QNetworkReply::downloadProgress, this, &QUpdateImageData::OnGetProgress);
    }
}

void QUpdateImageData::getFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    if (!ownsReply(reply) || m_answersHandled >= m_fileList.size())
        return;
    const QString path = m_fileList.at(m_answersHandled++);
    const QByteArray body = reply->readAll();
    const CUploadAuth auth = CUploadAuth::fromJson(body);
    if (!answeredWithSuccess(reply) || !auth.isComplete()) {
        qDebug() << "no upload authorisation for" << path << reply->errorString() << body;
        finishFile(false);
        return;
    }
    m_objectNames.insert(path, auth.fileName);
    uploadImageFile(auth, path);
}

void QUpdateImageData::uploadImageFile(const CUploadAuth& auth, const QString& path)
{
    QHttpMultiPart* form = CUploadForm::build(auth, path);
    if (!form) {
        finishFile(false);
        return;
    }
    QNetworkRequest request = CUploadForm::request(auth);
    request.setAttribute(PathAttribute, path);
    request.setAttribute(BatchAttribute, m_batch);
    m_storageReply = m_storageManager->post(request, form);
    form->setParent(m_storageReply);
    connect(m_storageReply, &QNetworkReply::errorOccurred, this, &QUpdateImageData::upLoadError);
    connect(m_storageReply, &QNetworkReply::uploadProgress, this, &QUpdateImageData::OnUploadProgress);
}

void QUpdateImageData::replyFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    if (!ownsReply(reply))
        return;
    const QString path = pathOf(reply);
    qDebug() << "storage answer" << path << reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt()
             << reply->readAll();
    if (!answeredWithSuccess(reply)) {
        finishFile(false);
        return;
    }
    registerImage(path);
}

void QUpdateImageData::registerImage(const QString& path)
{
    const CFormBody form = CImageRegistration::body(m_userId, path, m_objectNames.value(path));
    QNetworkRequest request = form.request(CServiceEndpoints::imageSave());
    request.setAttribute(PathAttribute, path);
    request.setAttribute(BatchAttribute, m_batch);
    m_backManager->post(request, form.toByteArray());
}

void QUpdateImageData::backFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    if (!ownsReply(reply))
        return;
    const QByteArray body = reply->readAll();
    qDebug() << "image save answer" << pathOf(reply) << body;
    const QString error = QJsonDocument::fromJson(body).object().value(QStringLiteral("error")).toString();
    finishFile(answeredWithSuccess(reply) && error.isEmpty());
}

void QUpdateImageData::finishFile(bool uploaded)
{
    ++m_uploadsFinished;
    if (!uploaded)
        ++m_uploadsFailed;
    m_progressBar->setValue(m_uploadsFinished);
    if (m_uploadsFinished < m_fileList.size())
        return;

    m_running = false;
    const int failed = m_uploadsFailed;
    const int done = m_uploadsFinished - failed;
    QNoticeBox::about(
        this, failed == 0 ? QStringLiteral("照片上传完成！")
                          : QStringLiteral("照片上传结束：成功 %1 张，失败 %2 张，请稍后重新上传失败的照片。")
                                .arg(done)
                                .arg(failed));
    emit batchFinished(done, failed);
}

bool QUpdateImageData::ownsReply(QNetworkReply* reply) const
{
    return m_running && reply->request().attribute(BatchAttribute).toInt() == m_batch;
}

QString QUpdateImageData::pathOf(QNetworkReply* reply) const
{
    return reply->request().attribute(PathAttribute).toString();
}

void QUpdateImageData::refuseWhileRunning()
{
    QNoticeBox::about(this, QStringLiteral("正在进行上传，请稍后再次尝试！"));
}

void QUpdateImageData::getError(QNetworkReply::NetworkError) {}

void QUpdateImageData::OnGetProgress(qint64, qint64) {}

void QUpdateImageData::upLoadError(QNetworkReply::NetworkError errorCode)
{
    qDebug() << "upload upLoadError" << errorCode;
}

void QUpdateImageData::OnUploadProgress(qint64 bytesSent, qint64 bytesTotal)
{
    qDebug() << "upload OnUploadProgress" << bytesSent << bytesTotal;
}
