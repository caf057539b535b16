// SPDX-License-Identifier: MIT
#include "PaintedScenes.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>

namespace PaintedScenes {

QImage paint(quint32 seed, const QSize& size)
{
    QRandomGenerator random(seed);
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv(random.bounded(360), 120, 240));
    sky.setColorAt(1, QColor::fromHsv(random.bounded(360), 200, 60));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 14; ++i) {
        painter.setBrush(
            QColor::fromHsv(random.bounded(360), 150 + random.bounded(100), random.bounded(256)));
        const QRect shape(random.bounded(size.width()) - 100, random.bounded(size.height()) - 100,
                          80 + random.bounded(size.width() / 3), 80 + random.bounded(size.height() / 3));
        if (i % 2)
            painter.drawEllipse(shape);
        else
            painter.drawRect(shape);
    }
    return image;
}

} // namespace PaintedScenes
