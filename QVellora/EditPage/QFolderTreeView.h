// SPDX-License-Identifier: MIT
#pragma once

#include <QPersistentModelIndex>
#include <QTreeView>

// The edit page's folder tree over a QFileSystemModel: it can show a folder the page opened by
// other means (a search, the folder list, a folder tile, a restored session), expanded down to
// it and selected.
class QFolderTreeView : public QTreeView
{
    Q_OBJECT
public:
    using QTreeView::QTreeView;

    void setModel(QAbstractItemModel* model) override;
    // Expands the tree down to the folder, makes it current and scrolls to it. The model reads
    // folders in the background: while the folder has no index yet this waits for the reads,
    // and while the folders above it are still being read it scrolls again after each one.
    void RevealFolder(const QString& path);

private:
    void onDirectoryLoaded(const QString& directory);
    // Reveals the waiting folder if the model knows it; returns whether it did.
    bool RevealPending();

    QString m_pending;
    QPersistentModelIndex m_revealed;
};
