// SPDX-License-Identifier: MIT
#pragma once

#include <QStyledItemDelegate>

// Paints a category tile as usual and, when the tile's print grade asks for it, a small round
// badge in the picture's top right corner: amber for a picture that prints acceptably at the
// category's size, red for one that prints poorly. The grade is read from BadgeRole.
class QPrintBadgeDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    // Holds a QPhotoCataListWdiget::Badge as an int; none when unset.
    static constexpr int BadgeRole = Qt::UserRole + 1;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
