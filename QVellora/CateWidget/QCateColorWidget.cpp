// SPDX-License-Identifier: MIT
#include "CateWidget/QCateColorWidget.h"

#include <QPainter>

QCateColorWidget::QCateColorWidget(std::function<QColor()> color, QWidget* parent)
    : QPushButton(parent), m_color(std::move(color))
{
    resize(20, 20);
}

void QCateColorWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setBrush(QBrush(m_color(), Qt::SolidPattern));
    painter.drawRect(QRect(0, 0, 20, 20));
}
