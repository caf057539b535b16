// SPDX-License-Identifier: MIT
#pragma once

#include "Export/CExportPlan.h"
#include "Selection/CCategoryPictures.h"
#include "Selection/CSelection.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class CSelectImageData;
class QCategoryColumn;
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
    // (neither owned). The user's changes on this page become undoable steps of editor, which
    // edits selection; without one the page makes its own. Until a selection is set the page has
    // an empty one of its own. Each row of the page is a view of one category: pictures deleted
    // here leave the category, and changes of the category made elsewhere show here.
    void SetSelection(CSelection* selection, const CSelectImageData* pictures,
                      QSelectionEditor* editor = nullptr);
    CSelection* selection() const { return m_selection; }
    // Where the rows learn each picture's size, for the print badges. The window hands the edit
    // page's facts over once; pictures whose facts arrive later are announced to
    // PictureUpdated.
    void SetFactsLookup(CCategoryPictures::FactsLookup lookup);
    // Where the rows get their thumbnails instead of the store handed to SetSelection. The window
    // hands over the edit page's, which makes again those its store let go; pictures whose
    // thumbnails arrive later are announced to PictureUpdated.
    void SetThumbnailLookup(CCategoryPictures::ThumbnailLookup lookup)
    {
        m_thumbnailLookup = std::move(lookup);
    }

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
    // The facts or the thumbnail of path arrived (or changed): its tiles follow.
    void PictureUpdated(const QString& path);
    void onGoBacePrePage();
    void onOutputImageAction();
    void onOpenImageFolderAction();
    void onUpdataNetAction();
    void onPushImageAction();

private slots:
    void onExportProgress(int done, int total);
    void onExportFinished(const CExportResult& result);

private:
    // The shown categories in row order: a row's place is its page in "select.js".
    QList<CCategory> exportCategories() const;
    // When shown pictures print poorly at their category's size, asks once whether to go on;
    // true to go on (also when there are none).
    bool ProceedDespitePoorPictures();
    void showExportProgress(int done, int total);
    QString finishedText(const CExportResult& result) const;

    CSelection* m_ownSelection;
    QPointer<CSelection> m_selection;
    // The editor the page made for a selection handed over without one.
    QSelectionEditor* m_ownEditor = nullptr;
    const CSelectImageData* m_pictures = nullptr;
    CCategoryPictures::ThumbnailLookup m_thumbnailLookup;
    QCateMakeWidget* m_makeWidget;
    QCategoryColumn* m_categories;
    QString m_exportFolder; // where the folder dialog starts; the last export folder after an export
    bool m_exported = false;
    QStringList m_exportedFolders;
    QLoadInDlg* m_loginDlg;
    QString m_userId;
    QExportThread* m_exportThread;
    QPointer<QProgressDialog> m_progress;
    QProgressBar* m_progressBar = nullptr; // owned by m_progress
};
