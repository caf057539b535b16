// SPDX-License-Identifier: MIT
#pragma once

#include "PhotoView/QPhotoItem.h"

#include <QPixmap>
#include <QStringList>

// The folder tile: the shared folder picture with small thumbnails of the folder's first two
// pictures laid over it. Up to four thumbnails are made at construction, decoded at reduced size.
class QFolderItemWidget : public QPhotoItem
{
    Q_OBJECT
public:
    QFolderItemWidget(int width, int height, const QStringList& picturePaths, const QString& folderPath,
                      QWidget* parent = nullptr);

    // The folder picture painted under every folder tile; not owned. Until it is set, folder
    // tiles paint no folder picture.
    static void SetFolderPicture(QPixmap* picture);

    QList<QPixmap> GetThumbnails() const { return m_thumbnails; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void LoadThumbnails();

    static QPixmap*& FolderPicture();

    QStringList m_picturePaths;
    QList<QPixmap> m_thumbnails;
    QRect m_frontRect;
    QRect m_backRect;
};
