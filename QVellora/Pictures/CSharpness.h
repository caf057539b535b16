// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

// How sharp a picture is, from a copy of about 512 pixels (what the thumbnail workers decode
// anyway, averaged down by a whole factor, which also averages grain away). On scan rows spread
// over the picture, read across and down, the energy of the second differences (the Laplacian's:
// the fine detail that defocus and shake take away first) is measured. The grain's share is taken
// out twice over (estimated from the quietest quarter of the differences, where a photograph is
// flat and only grain is left), so that of two shots alike but for noise the clean one scores
// higher. What is left is divided by the spread of the grey values, so exposure and contrast
// changes, which scale both alike, do not count.
//
// A score is 0..100 (sharp photographs about 40 to 80); it is worth comparing only between shots
// of one scene. A picture too small (under 48 pixels on its short side) or too flat (no contrast,
// or no detail beyond 8-bit steps) has none.
class CSharpness
{
public:
    static constexpr qreal none = -1;

    // The score of image (any size; large ones are averaged down first), or none.
    static qreal score(const QImage& image);
};
