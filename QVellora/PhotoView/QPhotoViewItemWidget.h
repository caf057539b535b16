// SPDX-License-Identifier: MIT
#pragma once

#include "PhotoView/QPhotoItem.h"

// The photo tile: one thumbnail fitted into the tile and centred. The thumbnail is not owned; it
// lives in the page's thumbnail cache for at least as long as the tile. Without one (the file
// could not be read) the tile shows the file's name.
class QPhotoViewItemWidget : public QPhotoItem
{
    Q_OBJECT
public:
    QPhotoViewItemWidget(int width, int height, QPixmap* picture, const QString& path,
                         QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintName(QPainter& painter) const;
};
