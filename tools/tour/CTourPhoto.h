// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSize>

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
    static void paintBeach(QImage& image, int seed);
    static void paintParty(QImage& image, int seed);
    static void paintMountains(QImage& image, int seed);
    static void paintGarden(QImage& image, int seed);
};
