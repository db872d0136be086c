#pragma once

// The drawing of one floor in the PDF report: the scheme with the
// calculation's results over it exactly as the screen shows them (every
// area in the colour of how the flows moved on it with the time at its end,
// the exits' times, the path of the flow that gives t_p), scaled to the
// page.

#include <QPainter>
#include <QRect>

#include "model/Scheme.h"
#include "drawing/SchemeOverlay.h"

namespace stelmar {

// The part of the canvas the floor's nodes and areas take, with a margin
// for labels; empty when the floor has no nodes.
QRect FloorBounds(const TPipeLine& s, int floor);

// Paints floor `floor` of `view` (a copy of the scheme: painting moves
// nodes that lie outside the canvas back inside it) with `overlay` scaled
// into `target`, keeping its proportions.
void PaintFloorResults(TPipeLine& view, int floor, const SchemeOverlay& overlay, QPainter& painter,
                       const QRectF& target);

}  // namespace stelmar
