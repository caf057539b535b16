// SPDX-License-Identifier: MIT
#pragma once

#include "Pictures/CPhotoFilter.h"
#include "Thread/QScanFilesThread.h"

#include <QStringList>
#include <QWidget>

class QBusyDialog;
class QDrawImageButton;
class QLabel;
class QLoadInDlg;
class QUpdateImageData;

// The first page: search a folder tree for photos, continue the last session, browse past exports,
// or upload pictures to the service. The search runs on the page's own scan thread behind a modal
// wait dialog; its result and the user's other choices go to the main window as signals.
class QInitPage : public QWidget
{
    Q_OBJECT
public:
    explicit QInitPage(QWidget* parent = nullptr);
    ~QInitPage() override;

    // How often the upload button was pressed in this run, logged in or not.
    int GetUpdataClickCount() const { return m_updataClicks; }
    QString GetUserID() const { return m_userId; }

    // The filter both photo searches apply; the window keeps it and its dialogs edit it. Not
    // owned. Until one is set the page uses a default filter of its own.
    void SetPhotoFilter(const CPhotoFilter* filter);
    // Where the folder dialog starts: the desktop, or the home folder where there is no desktop.
    static QString StartFolder();

    QDrawImageButton* GetScanButton() const { return m_scanButton; }
    QDrawImageButton* GetLastButton() const { return m_lastButton; }
    QDrawImageButton* GetHistoryButton() const { return m_historyButton; }
    QDrawImageButton* GetUpdataButton() const { return m_updataButton; }
    QBusyDialog* GetProgressDialog() const { return m_progressDlg; }

signals:
    void sigPushScanPath(QString qstrScanImagePath);
    void sigPushScanImage(QStringList qstrScanImagePathList);
    void sigPushLastButton();
    void sigPushViewImage();
    void sigZovID(QString qstrZovID);

public slots:
    // The scan button: asks for a folder and starts the search (the window's menu calls this too).
    void CheckScanImage();
    void onThreadScanImage(QStringList qstrPictureList);
    // Offers to continue uploads an earlier run left unfinished (the window calls it once started).
    void OfferUploadResume();

private slots:
    void onCheckScanImage();
    void onCheckScanLast();
    void onCheckViewImage();
    void onCheckUpdataNet();

private:
    void createWidgets();

    QDrawImageButton* m_scanButton = nullptr;
    QDrawImageButton* m_lastButton = nullptr;
    QDrawImageButton* m_historyButton = nullptr;
    QDrawImageButton* m_updataButton = nullptr;
    QLabel* m_helpLabel = nullptr;
    QLoadInDlg* m_loadInDlg = nullptr;
    QUpdateImageData* m_updateDlg = nullptr;
    QBusyDialog* m_progressDlg = nullptr;
    QScanFilesThread m_scanThread;
    CPhotoFilter m_ownFilter;
    const CPhotoFilter* m_filter = &m_ownFilter;
    int m_updataClicks = 0;
    QString m_userId;
};
