// SPDX-License-Identifier: MIT
#include "CateWidget/QCateColorWidget.h"

#include <QPainter>

QCateColorWidget::QCateColorWidget(QWidget* parent) : QPushButton(parent), m_color(255, 0, 255, 255)
{
    resize(20, 20);
}

void QCateColorWidget::SetColor(const QColor& color)
{
    m_color = color;
    repaint();
}

void QCateColorWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setBrush(QBrush(m_color, Qt::SolidPattern));
    painter.drawRect(QRect(0, 0, 20, 20));
}
