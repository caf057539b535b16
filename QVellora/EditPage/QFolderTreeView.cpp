// SPDX-License-Identifier: MIT
#include "EditPage/QFolderTreeView.h"

#include <QDir>
#include <QFileSystemModel>

void QFolderTreeView::setModel(QAbstractItemModel* model)
{
    if (auto* previous = qobject_cast<QFileSystemModel*>(this->model()))
        disconnect(previous, &QFileSystemModel::directoryLoaded, this, nullptr);
    QTreeView::setModel(model);
    if (auto* folders = qobject_cast<QFileSystemModel*>(model))
        connect(folders, &QFileSystemModel::directoryLoaded, this, &QFolderTreeView::onDirectoryLoaded);
}

void QFolderTreeView::RevealFolder(const QString& path)
{
    if (path.isEmpty())
        return;
    m_pending = QDir::cleanPath(QDir(path).absolutePath());
    m_revealed = QPersistentModelIndex();
    RevealPending();
}

bool QFolderTreeView::RevealPending()
{
    auto* folders = qobject_cast<QFileSystemModel*>(model());
    if (m_pending.isEmpty() || !folders)
        return false;
    const QModelIndex folder = folders->index(m_pending);
    if (!folder.isValid())
        return false;
    setCurrentIndex(folder);
    // Expands the folders above it as well.
    scrollTo(folder);
    m_revealed = folder;
    m_pending.clear();
    return true;
}

void QFolderTreeView::onDirectoryLoaded(const QString& directory)
{
    if (RevealPending() || !m_revealed.isValid() || currentIndex() != m_revealed)
        return;
    // A folder above the revealed one was read and sorted: its rows may have moved.
    auto* folders = qobject_cast<QFileSystemModel*>(model());
    const QString revealed = folders->filePath(m_revealed);
    const QString loaded = QDir::cleanPath(directory);
    if (!revealed.startsWith(loaded.endsWith(QLatin1Char('/')) ? loaded : loaded + QLatin1Char('/')))
        return;
    scrollTo(m_revealed);
    // Once the folder's own parent is read its row stays put: the watch ends.
    if (loaded == folders->filePath(m_revealed.parent()))
        m_revealed = QPersistentModelIndex();
}
