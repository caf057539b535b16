// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSize>

class QPainter;
class QRandomGenerator;

// Photo-like pictures painted with QPainter for the README's screenshots: a few kinds of scene,
// varied by a seed. The same seed always paints the same picture, so renewed screenshots change
// only where the interface changed.
class CTourPhoto
{
public:
    enum Scene
    {
        Beach,
        Party,
        Mountains,
        Garden
    };

    static QImage paint(Scene scene, int seed, const QSize& size = QSize(1200, 900));

private:
    static void paintBeach(QPainter& painter, QRandomGenerator& random, const QSizeF& size, int seed);
    static void paintParty(QPainter& painter, QRandomGenerator& random, const QSizeF& size, int seed);
    static void paintMountains(QPainter& painter, QRandomGenerator& random, const QSizeF& size, int seed);
    static void paintGarden(QPainter& painter, QRandomGenerator& random, const QSizeF& size, int seed);
};
