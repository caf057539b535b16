// SPDX-License-Identifier: MIT
#pragma once

#include <QStyledItemDelegate>

class QColor;
class QPixmap;

// Paints every tile of the photo grid from its model row (CPictureListModel's roles): the
// thumbnail fitted into the square, or the file name while it loads; a folder's picture with its
// first thumbnail in front; the name strip under the square, elided in the middle; the colour
// marks of the categories holding it, with a grey veil; the "相似 N" badge; the "最清晰" mark of
// the sharpest of a look-alike group; the tick; and the keyboard's current frame. Nothing is
// cached per tile.
class QTileItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit QTileItemDelegate(QObject* parent = nullptr);

    // The side of the square; the cell is taller by the name strip.
    void setTileSize(int side) { m_side = side; }
    int tileSize() const { return m_side; }
    // The row framed as the keyboard's current tile (-1: none).
    void setCurrentRow(int row) { m_currentRow = row; }
    // The height of the strip under the square that holds the name.
    static int nameStripHeight(const QFontMetrics& metrics) { return metrics.height() + 6; }
    // Where a picture of this size is painted in a square of this side: fitted, centred.
    static QRect imageRect(const QSize& picture, int side);
    // The folder picture painted under every folder tile; not owned (null: none).
    static void setFolderPicture(QPixmap* picture);
    // The colour of the "最清晰" mark's box, and where it is painted for a tile's square.
    static QColor sharpestColor();
    static QRect sharpestRect(const QRect& square, const QFontMetrics& metrics);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    void paintBadge(QPainter* painter, const QRect& square, int count, const QFontMetrics& metrics) const;
    void paintSharpest(QPainter* painter, const QRect& square, const QFontMetrics& metrics) const;

    int m_side = 180;
    int m_currentRow = -1;
};
