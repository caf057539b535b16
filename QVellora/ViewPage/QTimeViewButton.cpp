// SPDX-License-Identifier: MIT
#include "ViewPage/QTimeViewButton.h"

#include <QFontMetrics>
#include <QPainter>

QTimeViewButton::QTimeViewButton(QWidget* parent) : QPushButton(parent)
{
    resize(50, 20);
}

void QTimeViewButton::SetText(const QString& text)
{
    m_text = text;
    // Long names get the room they need instead of being cut at 50 pixels.
    setMinimumWidth(sizeHint().width());
    updateGeometry();
    update();
}

void QTimeViewButton::SetSelected(bool selected)
{
    m_selected = selected;
    update();
}

QFont QTimeViewButton::TextFont() const
{
    QFont font(QStringLiteral("Helvetica [Cronyx]"), 12);
    font.setWeight(m_selected ? QFont::Bold : QFont::Thin);
    font.setUnderline(m_selected);
    return font;
}

QSize QTimeViewButton::sizeHint() const
{
    QFont bold = TextFont();
    bold.setWeight(QFont::Bold);
    return QSize(qMax(50, QFontMetrics(bold).horizontalAdvance(m_text) + 4), 25);
}

void QTimeViewButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QColor(0, 0, 255));
    painter.setFont(TextFont());
    painter.drawText(QRect(0, 5, qMax(50, width()), 20), Qt::AlignLeft | Qt::AlignVCenter, m_text);
}
