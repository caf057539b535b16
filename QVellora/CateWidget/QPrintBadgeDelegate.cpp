// SPDX-License-Identifier: MIT
#include "CateWidget/QPrintBadgeDelegate.h"

#include "CateWidget/QPhotoCataListWdiget.h"

#include <QPainter>

void QPrintBadgeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const auto badge = static_cast<QPhotoCataListWdiget::Badge>(index.data(BadgeRole).toInt());
    if (badge == QPhotoCataListWdiget::Badge::None)
        return;
    // Large enough to see on a 130 pixel tile, small enough to hide little of the picture.
    const int diameter = qMax(12, option.rect.width() / 9);
    const QRect circle(option.rect.right() - diameter - 4, option.rect.top() + 4, diameter, diameter);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(Qt::white, 2));
    painter->setBrush(badge == QPhotoCataListWdiget::Badge::Poor ? QColor(220, 38, 38)
                                                                 : QColor(245, 166, 35));
    painter->drawEllipse(circle);
    painter->restore();
}
