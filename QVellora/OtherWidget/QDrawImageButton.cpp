// SPDX-License-Identifier: MIT
#include "OtherWidget/QDrawImageButton.h"

#include <QPainter>
#include <QPixmap>

QDrawImageButton::QDrawImageButton(QPixmap* picture, QWidget* parent)
    : QPushButton(parent), m_picture(picture)
{
    setCursor(Qt::PointingHandCursor);
    setFlat(true);
}

QDrawImageButton::QDrawImageButton(QPixmap* picture, const QString& name, QWidget* parent)
    : QDrawImageButton(picture, parent)
{
    setAccessibleName(name);
    setToolTip(name);
}

void QDrawImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_picture && !m_picture->isNull())
        painter.drawPixmap(QRectF(rect()), *m_picture, QRectF(m_picture->rect()));
    if (isDown())
        painter.fillRect(rect(), QColor(0, 0, 0, 40));
}
