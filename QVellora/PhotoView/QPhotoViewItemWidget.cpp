// SPDX-License-Identifier: MIT
#include "PhotoView/QPhotoViewItemWidget.h"

#include "Pictures/CPictureFit.h"

#include <QFileInfo>
#include <QPainter>
#include <QPixmap>

QPhotoViewItemWidget::QPhotoViewItemWidget(int width, int height, QPixmap* picture, const QString& path,
                                           QWidget* parent)
    : QPhotoItem(width, height, parent)
{
    m_picture = picture;
    m_path = path;
    if (!m_picture)
        return;
    const QSize fitted = CPictureFit::FittedSize(m_picture->size(), m_contentWidth, m_contentHeight);
    if (fitted.isEmpty())
        return;
    m_imageRect = QRect(((width - 1) - fitted.width()) / 2, ((height - 1) - fitted.height()) / 2,
                        fitted.width(), fitted.height());
}

void QPhotoViewItemWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintShownName(painter);
    if (m_picture && !m_imageRect.isEmpty())
        painter.drawPixmap(QRectF(m_imageRect), *m_picture, QRectF(m_picture->rect()));
    else
        PaintName(painter);

    painter.setPen(QColor(50, 50, 50, 255));
    painter.drawRects(&m_contentRect, 1);

    if (!m_colors.isEmpty()) {
        // A grey veil marks a picture that a category already holds.
        painter.setBrush(QBrush(QColor(100, 100, 100, 100), Qt::SolidPattern));
        painter.drawRects(&m_contentRect, 1);
        PaintColorMarks(painter);
    }

    PaintLookalikeBadge(painter);

    if (m_checked) {
        const QRect mark = CheckMarkRect();
        painter.setPen(QColor(0, 0, 0, 255));
        painter.drawRects(&mark, 1);
        painter.setBrush(QBrush(QColor(192, 222, 252, 150), Qt::SolidPattern));
        painter.drawRects(&m_contentRect, 1);
        painter.drawPixmap(QRectF(mark), *CheckPicture(), QRectF(CheckPicture()->rect()));
    }
}

void QPhotoViewItemWidget::PaintName(QPainter& painter) const
{
    // A picture nothing could read still shows which file it is.
    const QRect text = m_contentRect.adjusted(8, 0, -8, 0);
    const QString name =
        fontMetrics().elidedText(QFileInfo(m_path).fileName(), Qt::ElideMiddle, text.width());
    painter.setPen(QColor(50, 50, 50, 255));
    painter.drawText(text, Qt::AlignCenter, name);
}
