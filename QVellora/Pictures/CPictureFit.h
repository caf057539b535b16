// SPDX-License-Identifier: MIT
#pragma once

#include <QSize>

// The one fitting rule shared by the tiles and the viewer: the picture is scaled up or down until
// its longer side (relative to the area) touches the area, s = max(pw / aw, ph / ah), and each
// side is multiplied by 1 / s and truncated.
class CPictureFit
{
public:
    // Empty when the picture or the area is empty.
    static QSize FittedSize(const QSize& picture, double areaWidth, double areaHeight);
};
