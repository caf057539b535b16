// SPDX-License-Identifier: MIT
#pragma once

#include "Export/CExportPlan.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class QCateListWidget;
class QCateMakeWidget;
class QExportThread;
class QLoadInDlg;
class QPixmap;
class QProgressBar;
class QProgressDialog;
class QUpdateImageData;

// The third page: the categories built on the edit page, each a display-only row, and the last
// steps of the work: back, export every category into a folder of its own, open the export folder,
// upload the exported folders, open the print-order page, and the survey.
//
// The export runs on a worker with a progress dialog; category names that cannot be folder names
// are refused before anything is copied, and the end message counts what could not be copied.
class QCatePage : public QWidget
{
    Q_OBJECT
public:
    // One category row. sourceRow is the edit-page row it was filled from, so that the way back
    // finds it again; thumbnails[i] belongs to paths[i] (the caller keeps them alive; the row
    // shows its own copies and leaves out a picture whose thumbnail is null).
    struct CateRow
    {
        int sourceRow = -1;
        QString name;
        QColor color;
        QStringList paths;
        QList<QPixmap*> thumbnails;
    };

    explicit QCatePage(QWidget* parent = nullptr);
    ~QCatePage() override;

    // Shows exactly these categories, in this order, and no other rows.
    void SetCategories(const QList<CateRow>& rows);
    // Every row as it stands: its source row, name, colour and picture paths (no thumbnails).
    QList<CateRow> GetCategories() const;
    // The edit-page row a row was filled from (its own index for rows added by AddCateListItem);
    // -1 outside the list.
    int GetSourceRow(int row) const;

    // Row by row, as the window has always filled the page.
    void AddCateListItem();
    void AddCateImage(int row, QPixmap* picture, const QString& path);
    void SetCateName(int row, const QString& name);
    void ClearCateImages(int row);
    int GetCateCount() const;
    QCateListWidget* GetCateListWidget() const { return m_cateList; }
    QCateMakeWidget* GetMakeWidget() const { return m_makeWidget; }

    void SetUserID(const QString& userId) { m_userId = userId; }
    QString GetUserID() const { return m_userId; }
    // The survey's result, for the usage record at close.
    QString GetSubmitText();
    // Adds an export folder to "history_data.js"; false when the file could not be written.
    bool SaveHistoryData(const QString& folder);

    bool IsExporting() const;
    bool IsExported() const { return m_exported; }
    // The category folders of the last completed export, in order.
    QStringList GetExportedFolders() const { return m_exportedFolders; }
    // The uploaders started by this page, oldest first.
    QList<QUpdateImageData*> GetUploaders() const { return m_uploaders; }

signals:
    void sigGoBackPrePage();
    void sigCloseTheSoft();
    void sigZovID(QString qstrZovID);
    // An export ended: completed (possibly with pictures that could not be copied) or refused.
    void sigExportFinished(bool completed);

public slots:
    void onGoBacePrePage();
    void onOutputImageAction();
    void onOpenImageFolderAction();
    void onUpdataNetAction();
    void onPushImageAction();

private slots:
    void onExportProgress(int done, int total);
    void onExportFinished(const CExportResult& result);

private:
    void appendRow(int sourceRow);
    QList<CExportCategory> exportCategories() const;
    void showExportProgress(int done, int total);
    QString finishedText(const CExportResult& result) const;

    QCateMakeWidget* m_makeWidget;
    QCateListWidget* m_cateList;
    QString m_exportFolder; // where the folder dialog starts; the last export folder after an export
    bool m_exported = false;
    QStringList m_exportedFolders;
    QLoadInDlg* m_loginDlg;
    QString m_userId;
    QExportThread* m_exportThread;
    QPointer<QProgressDialog> m_progress;
    QProgressBar* m_progressBar = nullptr; // owned by m_progress
    QList<QUpdateImageData*> m_uploaders;
};
