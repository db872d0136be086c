#pragma once

// The line of an area with its direction arrowhead.

#include "model/Scheme.h"
#include "drawing/Canvas.h"

namespace stelmar {

// Draws the line from (x1, y1) to (x2, y2) in the current pen, then sets the
// pen width to 1. When `StrV` is on and the line is at least `DlStr` + 5
// pixels long in x or y, adds an arrowhead of length `DlStr` and half-angle
// `AngleStr` pointing towards (x2, y2), centred on the middle of the line and
// filled with the current brush.
void DrawArrowLine(const TPipeLine& s, Canvas& canvas, int x1, int y1, int x2, int y2);

// The arrowhead of that line alone, in the current pen and brush.
void DrawArrowHead(const TPipeLine& s, Canvas& canvas, int x1, int y1, int x2, int y2);

}  // namespace stelmar
