// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

// How sharp a picture is, from a copy of about 512 to 1000 pixels (what the thumbnail workers
// decode anyway): the steepness of its edges against their height. Scan lines across the picture,
// horizontal and vertical, are walked; at every clear edge the steepest step between neighbours is
// divided by the edge's height within three pixels on either side. A crisp edge climbs in one or two
// pixels (ratio near 0.5), a blurred one over many (lower). The ratio ignores exposure and contrast,
// and noise only makes it smaller: it steepens steps a little but widens the height more. Of each
// direction the steeper half of its edges count (the subject in focus, not the background behind
// it), and the two directions are averaged, so that a shake along one of them shows.
//
// A score is 0..100; it is worth comparing only between shots of one scene. A picture too small or
// too flat to have enough clear edges has none.
class CSharpness
{
public:
    static constexpr qreal none = -1;

    // The score of image (any size; large ones are averaged down first), or none.
    static qreal score(const QImage& image);
};
