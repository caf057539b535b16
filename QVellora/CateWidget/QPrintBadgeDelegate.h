// SPDX-License-Identifier: MIT
#pragma once

#include <QStyledItemDelegate>

// Paints a category tile as usual and, when the tile's print grade asks for it, a small round
// badge in the picture's top right corner: amber for a picture that prints acceptably at the
// category's size, red for one that prints poorly. The grade is read from the model's
// CCategoryPictures::BadgeRole at paint time.
class QPrintBadgeDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    // Every tile is tileSize square, as the rows' heights reckon.
    QPrintBadgeDelegate(int tileSize, QObject* parent = nullptr);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    int m_tileSize;
};
