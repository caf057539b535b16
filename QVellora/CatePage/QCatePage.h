// SPDX-License-Identifier: MIT
#pragma once

#include "CateWidget/QPhotoCataListWdiget.h"
#include "Export/CExportPlan.h"
#include "Selection/CSelection.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class CSelectImageData;
class QCateListWidget;
class QCateMakeWidget;
class QExportThread;
class QLoadInDlg;
class QPixmap;
class QProgressBar;
class QSelectionEditor;
class QProgressDialog;
class QUpdateImageData;

// The third page: the categories built on the edit page, each a display-only row, and the last
// steps of the work: back, export every category into a folder of its own, open the export folder,
// upload the exported folders, open the print-order page, and the survey. Each row shows its
// category's print size and how many pictures print only acceptably or poorly at it; export and
// upload ask first when some print poorly.
//
// The export runs on a worker with a progress dialog; category names that cannot be folder names
// are refused before anything is copied, and the end message counts what could not be copied.
class QCatePage : public QWidget
{
    Q_OBJECT
public:
    explicit QCatePage(QWidget* parent = nullptr);
    ~QCatePage() override;

    // The categories this page shows, with the thumbnail cache their pictures are painted from
    // (neither owned). Until one is set the page has an empty selection of its own. Each row of
    // the page is a view of one category: pictures deleted here leave the category, and changes
    // of the category made elsewhere show here.
    void SetSelection(CSelection* selection, const CSelectImageData* pictures);
    CSelection* selection() const { return m_selection; }
    // Where the rows learn each picture's size, for the print badges. The window hands the edit
    // page's facts over once; pictures whose facts arrive later are announced to PictureFactsArrived.
    void SetFactsLookup(QPhotoCataListWdiget::FactsLookup lookup);
    // The user's changes on this page become undoable steps of the editor (which must edit the
    // same selection); without one they go into the selection directly.
    void SetSelectionEditor(QSelectionEditor* editor);

    // Row by row: a new row is a new empty category at the bottom of the selection; the others
    // act on the category of the row.
    void AddCateListItem();
    void AddCateImage(int row, QPixmap* picture, const QString& path);
    void SetCateName(int row, const QString& name);
    void ClearCateImages(int row);
    int GetCateCount() const;
    QCateListWidget* GetCateListWidget() const { return m_cateList; }

    QString GetUserID() const { return m_userId; }
    // The survey's result, for the usage record at close.
    QString GetSubmitText();
    // Adds an export folder to "history_data.js"; false when the file could not be written.
    bool SaveHistoryData(const QString& folder);

    bool IsExporting() const;
    bool IsExported() const { return m_exported; }
    // The category folders of the last completed export, in order.
    QStringList GetExportedFolders() const { return m_exportedFolders; }

signals:
    void sigGoBackPrePage();
    void sigCloseTheSoft();
    void sigZovID(QString qstrZovID);
    // An export ended: completed (possibly with pictures that could not be copied) or refused.
    void sigExportFinished(bool completed);

public slots:
    void SetUserID(const QString& userId) { m_userId = userId; }
    // Shows exactly the selection's categories that hold pictures, in order, and no other rows.
    void ShowCategories();
    // The facts of path are known now (or changed): its tiles' badges follow.
    void PictureFactsArrived(const QString& path);
    void onGoBacePrePage();
    void onOutputImageAction();
    void onOpenImageFolderAction();
    void onUpdataNetAction();
    void onPushImageAction();

private slots:
    void onExportProgress(int done, int total);
    void onExportFinished(const CExportResult& result);

private:
    void appendRow(int category);
    // The row showing a category, or -1.
    int rowOfCategory(int category) const;
    int categoryOfRow(const QObject* rowWidget) const;
    bool editing() const;
    // The shown categories in row order: a row's place is its page in "select.js".
    QList<CCategory> exportCategories() const;
    // When shown pictures print poorly at their category's size, asks once whether to go on;
    // true to go on (also when there are none).
    bool ProceedDespitePoorPictures();
    void showExportProgress(int done, int total);
    QString finishedText(const CExportResult& result) const;

    CSelection* m_ownSelection;
    QPointer<CSelection> m_selection;
    QPointer<QSelectionEditor> m_editor;
    const CSelectImageData* m_pictures = nullptr;
    QPhotoCataListWdiget::FactsLookup m_facts;
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
};
