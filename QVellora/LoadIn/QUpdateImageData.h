// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QStringList>

class CUploadClient;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// Uploads the pictures of one folder to the service's storage and registers each stored picture
// under the user's ID (the requests are CUploadClient's; this dialog chooses the folder and shows
// the progress and the result). Shown by the start page as a dialog (choose a folder, upload); the
// category page keeps hidden ones and calls UpdataImagePath directly, one per exported folder.
//
// A batch ends when every picture has either been registered or failed; then one message tells
// the result and batchFinished() is emitted. Only one batch runs at a time per object. The cancel
// button aborts a running batch (its unfinished pictures count as failed) and closes the dialog.
class QUpdateImageData : public QDialog
{
    Q_OBJECT
public:
    explicit QUpdateImageData(QWidget* parent = nullptr);

    void SetUserID(const QString& userId);
    // Starts a batch for every picture of the folder; false (nothing sent) while a batch runs.
    bool UpdataImagePath(const QString& folder);
    bool isUploading() const;

signals:
    void batchFinished(int uploaded, int failed);

public slots:
    void onCheckSelectImagePath();
    void onCheckUpdateOk();
    void onCheckUpdateCancle();

private:
    void createWidgets();
    void setFolder(const QString& folder);
    void startBatch();
    void showProgress(int finished, int total);
    void showResult(int uploaded, int failed);
    void refuseWhileRunning();

    QLabel* m_folderLabel = nullptr;
    QLineEdit* m_folderEdit = nullptr;
    QPushButton* m_browseButton = nullptr;
    QPushButton* m_updateButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QProgressBar* m_progressBar = nullptr;
    CUploadClient* m_client = nullptr;
    QStringList m_fileList;
    QString m_folder;
};
