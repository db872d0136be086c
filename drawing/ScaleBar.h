#pragma once

// The scale bar of a floor with a scale: a bar of a round length (1, 2 or
// 5 times a power of ten metres) about a hundred screen pixels long,
// with its length written above it, in the bottom-left corner of the
// part of the floor in view.

#include <QRect>

#include "drawing/Canvas.h"

namespace stelmar {

// The bar's length in metres for `metresPerPixel` metres per screen pixel.
double ScaleBarMetres(double metresPerPixel);

// Draws the bar for `scale` metres per canvas pixel shown at `zoom` in the
// corner of `box` (image pixels); nothing without a scale.
void DrawScaleBar(Canvas& c, double scale, double zoom, const QRect& box, const TextFont& font);

}  // namespace stelmar
