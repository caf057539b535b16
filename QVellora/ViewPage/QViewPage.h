// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QSet>
#include <QStringList>
#include <QWidget>

#include <memory>

class CSelectImageData;
class QLabel;
class QListWidget;
class QPhotoViewListWidget;
class QShowImageThread;
class QTimeViewWidget;
class QViewMakeWidget;

// The history page: one entry per category of every export listed in "history_data.js", with its
// export date; the chosen entry's pictures in a grid, and a button that opens its folder.
//
// The history is read when the page is built and again whenever it is shown after one of the
// files changed, so an export of this run is listed at once. Thumbnails are made by a thumbnail loader after
// the entries are up; the grid fills in as they arrive, in the category's order, leaving out pictures that
// are gone or unreadable.
class QViewPage : public QWidget
{
    Q_OBJECT
public:
    explicit QViewPage(QWidget* parent = nullptr);
    ~QViewPage() override;

    // Reads the history and the exports' "select.js" files again, lists their categories, shows
    // the first one and starts making thumbnails. Called when the page is built, and by showEvent
    // whenever one of those files changed since.
    void ReloadHistory();

    int GetEntryCount() const { return m_entries.size(); }
    QTimeViewWidget* GetEntry(int row) const;
    int GetCurrentRow() const { return m_currentRow; }
    // The folder of the category shown (empty when nothing is listed).
    QString GetCurrentFolder() const { return m_currentFolder; }
    QPhotoViewListWidget* GetPhotoGrid() const { return m_grid; }

signals:
    void sigCallBackPage();
    // Every thumbnail of the current history has been made (or found unreadable).
    void sigThumbnailsLoaded();

public slots:
    void onViewSelectChange(int iItemID);
    void onOpenCurPageFolder();

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void onThumbnail(const QString& path, const QImage& image);
    void onThumbnailsDone();

private:
    struct Entry
    {
        QString saveDate;
        QString pageName;
        QString folder; // the category's folder
        QStringList pictures;
    };

    // The history file and every listed "select.js" with their times and sizes.
    QString historySignature() const;
    void loadHistoryData();
    void loadPageData(const QString& exportFolder);
    void updateWidgetData();
    void showEntry(int row);
    // Adds the shown entry's pictures to the grid as far as their thumbnails are settled.
    void fillGrid();
    bool settled(const QString& path) const;
    // Restarts the loader on the pictures still to be made, the shown entry's first.
    void startLoader();
    // Everything up to (not including) index of the running list has been delivered or skipped.
    void settleUpTo(int index);

    QLabel* m_title;
    QListWidget* m_entryList;
    QViewMakeWidget* m_makeWidget;
    QPhotoViewListWidget* m_grid;
    QList<Entry> m_entries;
    QString m_signature; // of the files the entries were read from
    QString m_currentFolder;
    int m_currentRow = 0;
    int m_shownPictures = 0; // pictures of the current entry the grid has dealt with

    QShowImageThread* m_loader;
    std::unique_ptr<CSelectImageData> m_thumbnails;
    QSet<QString> m_unreadable;
    QStringList m_loading; // the loader's running list
    QHash<QString, int> m_loadingIndex;
    int m_loadingNext = 0; // next index of m_loading expected
};
