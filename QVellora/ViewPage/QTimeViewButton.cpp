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

int QTimeViewButton::heightForWidth(int width) const
{
    QFont bold = TextFont();
    bold.setWeight(QFont::Bold);
    const QRect text =
        QFontMetrics(bold).boundingRect(QRect(0, 0, qMax(1, width), 100000), TextFlags, m_text);
    return qMax(25, text.height() + 5);
}

void QTimeViewButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QColor(0, 0, 255));
    painter.setFont(TextFont());
    painter.drawText(QRect(0, 5, qMax(50, width()), qMax(20, height() - 5)), TextFlags, m_text);
}
