// SPDX-License-Identifier: MIT
#include "Pictures/CPictureFit.h"

#include <algorithm>

QSize CPictureFit::FittedSize(const QSize& picture, double areaWidth, double areaHeight)
{
    if (picture.isEmpty() || areaWidth <= 0 || areaHeight <= 0)
        return {};
    const double pw = picture.width();
    const double ph = picture.height();
    const double s = std::max(pw / areaWidth, ph / areaHeight);
    return QSize(int(pw * (1 / s)), int(ph * (1 / s)));
}
