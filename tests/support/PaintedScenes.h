// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSize>
#include <QtGlobal>

// Pictures with a photo's coarse structure, for the look-alike tests: a sky-to-ground gradient
// and a few large shapes. The same seed paints the same scene; different seeds hash far apart.
namespace PaintedScenes {

QImage paint(quint32 seed, const QSize& size = QSize(1200, 900));

} // namespace PaintedScenes
