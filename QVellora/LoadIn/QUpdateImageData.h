// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QMap>
#include <QNetworkReply>
#include <QPointer>
#include <QStringList>

class CUploadAuth;
class QLabel;
class QLineEdit;
class QNetworkAccessManager;
class QProgressBar;
class QPushButton;

// Uploads the pictures of one folder to the service's storage and registers each stored picture
// under the user's ID. Shown by the start page as a dialog (choose a folder, upload); the category
// page keeps hidden ones and calls UpdataImagePath directly, one per exported folder.
//
// Each picture goes through three requests: an upload authorisation, the storage form upload it
// allows, and, only once the storage has accepted the file, its registration. A batch ends when
// every picture has either been registered or failed somewhere; then one message tells the result
// and batchFinished() is emitted. Only one batch runs at a time per object.
class QUpdateImageData : public QDialog
{
    Q_OBJECT
public:
    explicit QUpdateImageData(QWidget* parent = nullptr);

    void SetUserID(const QString& userId) { m_userId = userId; }
    // Starts a batch for every picture of the folder; false (nothing sent) while a batch runs.
    bool UpdataImagePath(const QString& folder);
    bool isUploading() const { return m_running; }

signals:
    void batchFinished(int uploaded, int failed);

public slots:
    void onCheckSelectImagePath();
    void onCheckUpdateOk();
    void onCheckUpdateCancle();
    void getFinished(QNetworkReply* reply);
    void getError(QNetworkReply::NetworkError errorCode);
    void OnGetProgress(qint64 bytesReceived, qint64 bytesTotal);
    void replyFinished(QNetworkReply* reply);
    void upLoadError(QNetworkReply::NetworkError errorCode);
    void OnUploadProgress(qint64 bytesSent, qint64 bytesTotal);
    void backFinished(QNetworkReply* reply);

private:
    void createWidgets();
    void setFolder(const QString& folder);
    void startBatch();
    void uploadImageFile(const CUploadAuth& auth, const QString& path);
    void registerImage(const QString& path);
    void finishFile(bool uploaded);
    bool ownsReply(QNetworkReply* reply) const;
    QString pathOf(QNetworkReply* reply) const;
    void refuseWhileRunning();

    QLabel* m_folderLabel = nullptr;
    QLineEdit* m_folderEdit = nullptr;
    QPushButton* m_browseButton = nullptr;
    QPushButton* m_updateButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QNetworkAccessManager* m_authManager = nullptr;
    QNetworkAccessManager* m_storageManager = nullptr;
    QPointer<QNetworkReply> m_storageReply;
    QNetworkAccessManager* m_backManager = nullptr;
    int m_answersHandled = 0;
    QStringList m_fileList;
    int m_uploadsFinished = 0; // pictures of the batch that were registered or failed
    int m_uploadsFailed = 0;
    QMap<QString, QString> m_objectNames;
    QString m_folder;
    QString m_userId;
    int m_batch = 0; // tags each request, so that nothing of an earlier batch is counted again
    bool m_running = false;
};
