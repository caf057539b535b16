// SPDX-License-Identifier: MIT
#include "PhotoView/QPhotoItem.h"

#include "OtherWidget/CSharedPixmap.h"

#include <QEvent>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>

#include <utility>

static constexpr int kPaintedMarks = 5;

QPhotoItem::QPhotoItem(int width, int height, QWidget* parent)
    : QWidget(parent), m_contentRect(QPoint(0, 0), QPoint(width - 2, height - 2)), m_contentWidth(width - 2),
      m_contentHeight(height - 2)
{
    for (int i = 0; i < 6; ++i)
        m_markRects.append(QRect(5 + 20 * i, 5, 15, 15));
    CheckPicture();
    resize(width, height);
}

void QPhotoItem::AddItemColor(const QColor& color)
{
    if (!m_colors.contains(color))
        m_colors.append(color);
}

void QPhotoItem::SubItemColor(const QColor& color)
{
    m_colors.removeOne(color);
}

void QPhotoItem::SetLookalikeCount(int count)
{
    if (count == m_lookalikeCount)
        return;
    m_lookalikeCount = count;
    m_badgeText = count >= 2 ? tr("相似 %1").arg(count) : QString();
    if (!m_badgeText.isEmpty()) {
        const QSize text = fontMetrics().size(Qt::TextSingleLine, m_badgeText);
        const QSize box(text.width() + 10, text.height() + 4);
        m_badgeRect = QRect(QPoint(m_contentRect.right() - 4 - box.width(), 5), box);
    }
    update();
}

void QPhotoItem::SetChecked(bool checked)
{
    m_checked = checked;
    update();
}

void QPhotoItem::ToggleChecked()
{
    SetChecked(!m_checked);
}

void QPhotoItem::mousePressEvent(QMouseEvent* event)
{
    event->ignore();
}

void QPhotoItem::mouseMoveEvent(QMouseEvent* event)
{
    event->ignore();
}

void QPhotoItem::mouseDoubleClickEvent(QMouseEvent* event)
{
    emit doublePhotoItem(m_path);
    QWidget::mouseDoubleClickEvent(event);
}

void QPhotoItem::PaintColorMarks(QPainter& painter) const
{
    for (int i = 0; i < m_colors.size() && i < kPaintedMarks; ++i) {
        painter.setBrush(QBrush(m_colors.at(i), Qt::SolidPattern));
        painter.drawRects(&m_markRects.at(i), 1);
    }
}

void QPhotoItem::PaintLookalikeBadge(QPainter& painter) const
{
    if (m_badgeText.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 90, 160));
    painter.drawRoundedRect(m_badgeRect, 4, 4);
    painter.setPen(Qt::white);
    painter.drawText(m_badgeRect, Qt::AlignCenter, m_badgeText);
    painter.restore();
}

QString QPhotoItem::ShownName() const
{
    if (!m_shownNameKnown) {
        m_shownName = fontMetrics().elidedText(QFileInfo(m_path).fileName(), Qt::ElideMiddle,
                                               m_contentRect.width() - 8);
        m_shownNameKnown = true;
    }
    return m_shownName;
}

void QPhotoItem::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        m_shownNameKnown = false;
        // The badge is measured again in the new font.
        SetLookalikeCount(std::exchange(m_lookalikeCount, 0));
    }
    QWidget::changeEvent(event);
}

void QPhotoItem::PaintShownName(QPainter& painter) const
{
    const QRect strip(4, m_contentRect.bottom() + 2, m_contentRect.width() - 8,
                      height() - m_contentRect.bottom() - 2);
    if (strip.height() < fontMetrics().height())
        return;
    painter.save();
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(strip, Qt::AlignHCenter | Qt::AlignVCenter, ShownName());
    painter.restore();
}

QPixmap* QPhotoItem::CheckPicture()
{
    return CSharedPixmap::get(QStringLiteral(":/image/view_dlg_icon/check_03.png"));
}
