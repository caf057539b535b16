// SPDX-License-Identifier: MIT
#include "CTourPhoto.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>

namespace {

void fillSky(QPainter& painter, const QRectF& rect, const QColor& top, const QColor& bottom)
{
    QLinearGradient sky(rect.topLeft(), rect.bottomLeft());
    sky.setColorAt(0, top);
    sky.setColorAt(1, bottom);
    painter.fillRect(rect, sky);
}

void paintSun(QPainter& painter, const QPointF& centre, qreal radius, const QColor& colour)
{
    QRadialGradient glow(centre, radius * 3);
    glow.setColorAt(0, colour);
    glow.setColorAt(0.3, QColor(colour.red(), colour.green(), colour.blue(), 120));
    glow.setColorAt(1, Qt::transparent);
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, radius * 3, radius * 3);
    painter.setBrush(colour.lighter(130));
    painter.drawEllipse(centre, radius, radius);
}

// A ridge line across the picture, rising and falling around baseline.
QPolygonF ridge(QRandomGenerator& random, qreal width, qreal height, qreal baseline, qreal rise)
{
    QPolygonF points;
    points << QPointF(0, height);
    const int steps = 9;
    for (int i = 0; i <= steps; ++i) {
        const qreal x = width * i / steps;
        points << QPointF(x, baseline - random.bounded(rise));
    }
    points << QPointF(width, height);
    return points;
}

} // namespace

QImage CTourPhoto::paint(Scene scene, int seed, const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QRandomGenerator random(quint32(seed) * 7919u + quint32(scene));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (scene) {
    case Beach:
        paintBeach(painter, random, size, seed);
        break;
    case Party:
        paintParty(painter, random, size, seed);
        break;
    case Mountains:
        paintMountains(painter, random, size, seed);
        break;
    case Garden:
        paintGarden(painter, random, size, seed);
        break;
    }
    painter.end();
    return image;
}

void CTourPhoto::paintBeach(QPainter& painter, QRandomGenerator& random, const QSizeF& size, int seed)
{
    const qreal w = size.width();
    const qreal h = size.height();
    const qreal horizon = h * (0.38 + random.bounded(0.15));
    const bool evening = seed % 3 == 2;

    fillSky(painter, QRectF(0, 0, w, horizon), evening ? QColor(70, 60, 140) : QColor(40, 120, 210),
            evening ? QColor(250, 160, 110) : QColor(180, 220, 250));
    paintSun(painter, QPointF(w * (0.2 + random.bounded(0.6)), horizon * (0.3 + random.bounded(0.4))),
             h * 0.05, evening ? QColor(255, 170, 80) : QColor(255, 240, 190));
    // A few clouds.
    painter.setBrush(QColor(255, 255, 255, 170));
    for (int i = 0; i < 3; ++i) {
        const QPointF at(random.bounded(w), random.bounded(horizon * 0.6));
        for (int puff = 0; puff < 4; ++puff)
            painter.drawEllipse(at + QPointF(puff * w * 0.03, (puff % 2) * h * 0.015), w * 0.04, h * 0.03);
    }

    const qreal shore = horizon + (h - horizon) * (0.45 + random.bounded(0.2));
    QLinearGradient sea(0, horizon, 0, shore);
    sea.setColorAt(0, evening ? QColor(60, 70, 130) : QColor(20, 90, 160));
    sea.setColorAt(1, QColor(60, 190, 200));
    painter.fillRect(QRectF(0, horizon, w, shore - horizon), sea);
    painter.setPen(QPen(QColor(255, 255, 255, 150), h * 0.006, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 6; ++i) {
        const qreal y = horizon + (shore - horizon) * (0.2 + 0.13 * i);
        const qreal x = random.bounded(w * 0.7);
        painter.drawLine(QPointF(x, y), QPointF(x + w * (0.1 + random.bounded(0.2)), y));
    }

    QPainterPath sand;
    sand.moveTo(0, shore);
    sand.cubicTo(w * 0.3, shore - h * 0.04, w * 0.6, shore + h * 0.05, w, shore - h * 0.02);
    sand.lineTo(w, h);
    sand.lineTo(0, h);
    QLinearGradient sandColour(0, shore, 0, h);
    sandColour.setColorAt(0, QColor(240, 220, 170));
    sandColour.setColorAt(1, QColor(210, 180, 120));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sandColour);
    painter.drawPath(sand);

    // A parasol on the sand.
    const QPointF foot(w * (0.15 + random.bounded(0.7)), h * 0.95);
    const qreal span = w * 0.12;
    painter.setPen(QPen(QColor(90, 70, 50), w * 0.006));
    painter.drawLine(foot, foot - QPointF(0, h * 0.22));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv(random.bounded(360), 200, 240));
    painter.drawPie(QRectF(foot.x() - span, foot.y() - h * 0.28, span * 2, h * 0.14), 0, 180 * 16);
}

void CTourPhoto::paintParty(QPainter& painter, QRandomGenerator& random, const QSizeF& size, int seed)
{
    const qreal w = size.width();
    const qreal h = size.height();

    QRadialGradient room(QPointF(w * 0.5, h * 0.4), w * 0.8);
    const int hue = (seed * 47) % 360;
    room.setColorAt(0, QColor::fromHsv(hue, 120, 120));
    room.setColorAt(1, QColor::fromHsv(hue, 160, 25));
    painter.fillRect(QRectF(QPointF(), size), room);

    // Out-of-focus lights.
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 28; ++i) {
        const QColor light = QColor::fromHsv(random.bounded(360), 140, 255, 70);
        const qreal r = h * (0.02 + random.bounded(0.05));
        painter.setBrush(light);
        painter.drawEllipse(QPointF(random.bounded(w), random.bounded(h * 0.6)), r, r);
    }

    // Bunting across the top.
    const qreal sag = h * 0.08;
    for (int i = 0; i < 12; ++i) {
        const qreal x = w * i / 12.0;
        const qreal y = h * 0.05 + sag * std::sin(M_PI * i / 12.0);
        painter.setBrush(QColor::fromHsv((i * 53 + hue) % 360, 200, 240));
        painter.drawPolygon(
            QPolygonF({QPointF(x, y), QPointF(x + w / 12.0, y), QPointF(x + w / 24.0, y + h * 0.09)}));
    }

    // Balloons on strings.
    for (int i = 0; i < 5; ++i) {
        const QPointF centre(w * (0.1 + random.bounded(0.8)), h * (0.3 + random.bounded(0.25)));
        const qreal rx = w * 0.05;
        const qreal ry = h * 0.085;
        painter.setPen(QPen(QColor(230, 230, 230, 180), 2));
        painter.drawLine(centre + QPointF(0, ry), QPointF(centre.x() + random.bounded(w * 0.1), h));
        QRadialGradient shine(centre - QPointF(rx * 0.4, ry * 0.4), rx * 1.6);
        const QColor colour = QColor::fromHsv(random.bounded(360), 210, 235);
        shine.setColorAt(0, colour.lighter(160));
        shine.setColorAt(1, colour.darker(130));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shine);
        painter.drawEllipse(centre, rx, ry);
    }

    // A table with a cake.
    painter.setBrush(QColor(245, 240, 230));
    painter.drawRect(QRectF(0, h * 0.8, w, h * 0.2));
    const QRectF cake(w * (0.35 + random.bounded(0.2)), h * 0.68, w * 0.2, h * 0.14);
    painter.setBrush(QColor(250, 200, 210));
    painter.drawRoundedRect(cake, 8, 8);
    painter.setBrush(QColor(150, 80, 60));
    painter.drawRect(QRectF(cake.left(), cake.center().y(), cake.width(), h * 0.02));
    for (int i = 1; i < 5; ++i) {
        const qreal x = cake.left() + cake.width() * i / 5;
        painter.setBrush(QColor::fromHsv((i * 80) % 360, 150, 250));
        painter.drawRect(QRectF(x - 4, cake.top() - h * 0.05, 8, h * 0.05));
        painter.setBrush(QColor(255, 220, 120));
        painter.drawEllipse(QPointF(x, cake.top() - h * 0.06), 6, 10);
    }
}

void CTourPhoto::paintMountains(QPainter& painter, QRandomGenerator& random, const QSizeF& size, int seed)
{
    const qreal w = size.width();
    const qreal h = size.height();

    const bool dawn = seed % 2 == 0;
    fillSky(painter, QRectF(QPointF(), size), dawn ? QColor(250, 140, 120) : QColor(90, 150, 220),
            dawn ? QColor(255, 220, 160) : QColor(220, 235, 245));
    paintSun(painter, QPointF(w * (0.2 + random.bounded(0.6)), h * 0.25), h * 0.045,
             dawn ? QColor(255, 200, 120) : QColor(255, 250, 220));

    // Ranges from far (pale) to near (dark).
    painter.setPen(Qt::NoPen);
    const int ranges = 4;
    for (int i = 0; i < ranges; ++i) {
        const qreal baseline = h * (0.45 + 0.1 * i);
        const int value = 190 - i * 45;
        painter.setBrush(QColor::fromHsv(dawn ? 260 - i * 20 : 150 - i * 10, 60 + i * 30, value));
        painter.drawPolygon(ridge(random, w, h, baseline, h * (0.25 - i * 0.04)));
    }

    // Pines in front.
    for (int i = 0; i < 14; ++i) {
        const qreal x = random.bounded(w);
        const qreal base = h * (0.88 + random.bounded(0.12));
        const qreal tall = h * (0.12 + random.bounded(0.12));
        painter.setBrush(QColor(20, 60 + random.bounded(40), 40));
        painter.drawPolygon(QPolygonF(
            {QPointF(x, base - tall), QPointF(x - tall * 0.25, base), QPointF(x + tall * 0.25, base)}));
    }
}

void CTourPhoto::paintGarden(QPainter& painter, QRandomGenerator& random, const QSizeF& size, int seed)
{
    const qreal w = size.width();
    const qreal h = size.height();

    fillSky(painter, QRectF(0, 0, w, h * 0.4), QColor(120, 180, 240), QColor(210, 235, 250));
    QLinearGradient grass(0, h * 0.4, 0, h);
    grass.setColorAt(0, QColor(120, 180, 80));
    grass.setColorAt(1, QColor(40, 110, 40));
    painter.fillRect(QRectF(0, h * 0.4, w, h * 0.6), grass);

    painter.setPen(Qt::NoPen);
    const int hue = (seed * 71) % 360;
    for (int i = 0; i < 22; ++i) {
        const qreal depth = 0.45 + random.bounded(0.55);
        const QPointF centre(random.bounded(w), h * depth);
        const qreal r = h * 0.035 * (depth + 0.3);
        painter.setPen(QPen(QColor(40, 100, 30), r * 0.2));
        painter.drawLine(centre, centre + QPointF(0, r * 3));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromHsv((hue + random.bounded(60)) % 360, 170, 245));
        for (int petal = 0; petal < 6; ++petal) {
            const qreal angle = petal * M_PI / 3;
            painter.drawEllipse(centre + QPointF(std::cos(angle), std::sin(angle)) * r, r * 0.7, r * 0.7);
        }
        painter.setBrush(QColor(250, 210, 60));
        painter.drawEllipse(centre, r * 0.6, r * 0.6);
    }
}
