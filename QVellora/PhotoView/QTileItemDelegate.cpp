// SPDX-License-Identifier: MIT
#include "PhotoView/QTileItemDelegate.h"

#include "OtherWidget/CSharedPixmap.h"
#include "Pictures/CPictureFit.h"
#include "Pictures/CPictureListModel.h"

#include <QColor>
#include <QImage>
#include <QPainter>

namespace {

constexpr int kPaintedMarks = 5;

QPixmap*& folderPicture()
{
    static QPixmap* picture = nullptr;
    return picture;
}

} // namespace

QTileItemDelegate::QTileItemDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void QTileItemDelegate::setFolderPicture(QPixmap* picture)
{
    folderPicture() = picture;
}

QRect QTileItemDelegate::imageRect(const QSize& picture, int side)
{
    const double inner = side - 2;
    const QSize fitted = CPictureFit::FittedSize(picture, inner, inner);
    if (fitted.isEmpty())
        return QRect();
    return QRect(((side - 1) - fitted.width()) / 2, ((side - 1) - fitted.height()) / 2, fitted.width(),
                 fitted.height());
}

QSize QTileItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return QSize(m_side, m_side + nameStripHeight(option.fontMetrics));
}

void QTileItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    const QPoint origin = option.rect.topLeft();
    const QRect square(origin, QSize(m_side - 1, m_side - 1));
    const QFontMetrics& metrics = option.fontMetrics;
    const QString name = index.data(Qt::DisplayRole).toString();
    const QImage thumbnail = index.data(CPictureListModel::ThumbnailRole).value<QImage>();
    const bool folder = index.data(CPictureListModel::IsFolderRole).toBool();

    // The name strip under the square.
    const QRect strip(origin.x() + 4, square.bottom() + 2, m_side - 8, nameStripHeight(metrics) - 2);
    painter->setPen(option.palette.color(QPalette::WindowText));
    painter->drawText(strip, Qt::AlignHCenter | Qt::AlignVCenter,
                      metrics.elidedText(name, Qt::ElideMiddle, strip.width()));

    if (folder) {
        if (QPixmap* art = folderPicture())
            painter->drawPixmap(square, *art);
        if (!thumbnail.isNull()) {
            const QRect front(origin.x() + int(square.width() * 0.14388),
                              origin.y() + int(square.height() * 0.2446), int(square.width() * 0.46763),
                              int(square.height() * 0.46763));
            const QRect fitted = imageRect(thumbnail.size(), front.width());
            painter->drawImage(fitted.translated(front.topLeft()), thumbnail);
        }
    } else if (!thumbnail.isNull()) {
        painter->drawImage(imageRect(thumbnail.size(), m_side).translated(origin), thumbnail);
    } else {
        // Still loading: the file name stands in for the picture.
        painter->fillRect(square.adjusted(1, 1, 0, 0), QColor(235, 235, 235));
        painter->setPen(QColor(50, 50, 50));
        const QRect text = square.adjusted(8, 0, -8, 0);
        painter->drawText(text, Qt::AlignCenter, metrics.elidedText(name, Qt::ElideMiddle, text.width()));
    }
    painter->setPen(QColor(50, 50, 50));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(square);

    const QList<QColor> marks = index.data(CPictureListModel::MarksRole).value<QList<QColor>>();
    if (!marks.isEmpty()) {
        // A grey veil marks a picture that a category already holds; a folder that holds some
        // gets it twice.
        painter->setBrush(QColor(100, 100, 100, 100));
        painter->drawRect(square);
        if (folder)
            painter->drawRect(square);
        for (int i = 0; i < marks.size() && i < kPaintedMarks; ++i) {
            painter->setBrush(marks.at(i));
            painter->drawRect(QRect(origin + QPoint(5 + 20 * i, 5), QSize(15, 15)));
        }
    }

    const int lookalikes = index.data(CPictureListModel::LookalikeCountRole).toInt();
    if (lookalikes >= 2)
        paintBadge(painter, square, lookalikes, metrics);

    if (index.data(CPictureListModel::TickedRole).toBool()) {
        // The light blue veil, outlined with the black pen of the tick box.
        const QRect mark(origin + QPoint(5, 5), QSize(15, 15));
        painter->setPen(Qt::black);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(mark);
        painter->setBrush(QColor(192, 222, 252, 150));
        painter->drawRect(square);
        if (QPixmap* check = CSharedPixmap::get(QStringLiteral(":/image/view_dlg_icon/check_03.png")))
            painter->drawPixmap(mark, *check);
    }

    // Over the tick's veil: a ticked pick still says why it was picked.
    if (index.data(CPictureListModel::SharpestRole).toBool())
        paintSharpest(painter, square, metrics);

    if (index.row() == m_currentRow) {
        painter->setPen(QPen(QColor(61, 174, 233), 3));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(square.adjusted(1, 1, -1, -1));
    }
    painter->restore();
}

void QTileItemDelegate::paintBadge(QPainter* painter, const QRect& square, int count,
                                   const QFontMetrics& metrics) const
{
    const QString text = tr("相似 %1").arg(count);
    const QSize size = metrics.size(Qt::TextSingleLine, text);
    const QSize box(size.width() + 10, size.height() + 4);
    const QRect badge(QPoint(square.right() - 4 - box.width(), square.top() + 5), box);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(20, 90, 160));
    painter->drawRoundedRect(badge, 4, 4);
    painter->setPen(Qt::white);
    painter->drawText(badge, Qt::AlignCenter, text);
    painter->setRenderHint(QPainter::Antialiasing, false);
}

QColor QTileItemDelegate::sharpestColor()
{
    return QColor(214, 120, 0);
}

QRect QTileItemDelegate::sharpestRect(const QRect& square, const QFontMetrics& metrics)
{
    const QSize size = metrics.size(Qt::TextSingleLine, tr("最清晰"));
    const QSize box(size.width() + 10, size.height() + 4);
    return QRect(QPoint(square.left() + 5, square.bottom() - 4 - box.height()), box);
}

void QTileItemDelegate::paintSharpest(QPainter* painter, const QRect& square,
                                      const QFontMetrics& metrics) const
{
    // Bottom left, clear of the colour marks, the tick and the badge along the top; amber on a
    // white rim so that it reads on dark and light pictures alike, down to the smallest tile.
    const QRect mark = sharpestRect(square, metrics);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(Qt::white, 1.5));
    painter->setBrush(sharpestColor());
    painter->drawRoundedRect(QRectF(mark).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    painter->setPen(Qt::white);
    painter->drawText(mark, Qt::AlignCenter, tr("最清晰"));
    painter->setRenderHint(QPainter::Antialiasing, false);
}
