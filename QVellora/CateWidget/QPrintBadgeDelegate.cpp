// SPDX-License-Identifier: MIT
#include "CateWidget/QPrintBadgeDelegate.h"

#include "Selection/CCategoryPictures.h"

#include <QPainter>

QPrintBadgeDelegate::QPrintBadgeDelegate(int tileSize, QObject* parent)
    : QStyledItemDelegate(parent), m_tileSize(tileSize)
{
}

QSize QPrintBadgeDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return QSize(m_tileSize, m_tileSize);
}

void QPrintBadgeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    using Badge = CCategoryPictures::Badge;
    const auto badge = static_cast<Badge>(index.data(CCategoryPictures::BadgeRole).toInt());
    if (badge == Badge::None)
        return;
    // Large enough to see on a 130 pixel tile, small enough to hide little of the picture.
    const int diameter = qMax(12, option.rect.width() / 9);
    const QRect circle(option.rect.right() - diameter - 4, option.rect.top() + 4, diameter, diameter);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(Qt::white, 2));
    painter->setBrush(badge == Badge::Poor ? QColor(220, 38, 38) : QColor(245, 166, 35));
    painter->drawEllipse(circle);
    painter->restore();
}
