// SPDX-License-Identifier: MIT
#pragma once

#include "Service/CUploadCounts.h"

#include <QDialog>
#include <QStringList>

class CUploadClient;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QUploadFailureList;

// Uploads the pictures of one folder to the service's storage and registers each stored picture
// under the user's ID (the requests are CUploadClient's; this dialog chooses the folder and shows
// the progress and the result). Shown by the start page as a dialog (choose a folder, upload); the
// category page keeps a hidden one and calls UpdataImagePaths with the exported folders.
//
// The bar counts bytes of the pictures that arrived, the line under it the pictures in each state.
// A batch ends when every picture has been registered, skipped (the service has it already) or
// failed; then one message tells exactly that and batchFinished() is emitted. Failed pictures are
// listed with their reasons, with "重试失败的照片" (only those) and a way to open their folder; a
// hidden dialog shows itself then. Only one batch runs at a time per object. The cancel button
// aborts a running batch (its unfinished pictures count as failed and stay for later) and closes
// the dialog.
class QUpdateImageData : public QDialog
{
    Q_OBJECT
public:
    explicit QUpdateImageData(QWidget* parent = nullptr);

    void SetUserID(const QString& userId);
    // Starts a batch for every picture of the folder; false (nothing sent) while a batch runs.
    bool UpdataImagePath(const QString& folder);
    // The same for the pictures of several folders in one batch.
    bool UpdataImagePaths(const QStringList& folders);
    // When the user's last batches left pictures unfinished, asks "上次有 N 张照片没有上传完，
    // 继续上传？" and, on yes, starts a batch of those. True when it started one.
    bool OfferResume();
    bool isUploading() const;

signals:
    void batchFinished(int uploaded, int failed);

public slots:
    void onCheckSelectImagePath();
    void onCheckUpdateOk();
    void onCheckUpdateCancle();
    void onCheckRetryFailed();

private:
    void createWidgets();
    void listFolders(const QStringList& folders);
    bool startBatch(const QStringList& pictures);
    void showProgress(int finished, int total);
    void showCounts(const CUploadCounts& counts);
    void showResult(int uploaded, int failed);
    QString resultText(const CUploadCounts& counts) const;
    void refuseWhileRunning();

    QLabel* m_folderLabel = nullptr;
    QLineEdit* m_folderEdit = nullptr;
    QPushButton* m_browseButton = nullptr;
    QPushButton* m_updateButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QLabel* m_statesLabel = nullptr;
    QUploadFailureList* m_failureList = nullptr;
    CUploadClient* m_client = nullptr;
    QStringList m_fileList;
    QStringList m_folders;
};
