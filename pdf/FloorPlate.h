#pragma once

// The drawing of one floor in the PDF report: the scheme as the screen and
// the printout show it, with the calculation's results over it: every area
// in the colour of how the flows moved on it, the path of the flow that
// gives t_p outlined, and the time at the end of each area where there is
// room for it.

#include <QColor>
#include <QPainter>
#include <QRect>
#include <vector>

#include "calc/AreaResults.h"
#include "model/Scheme.h"

namespace stelmar {

QColor MovementColor(AreaMovement movement);

// The part of the canvas the floor's nodes and areas take, with a margin
// for labels; empty when the floor has no nodes.
QRect FloorBounds(const TPipeLine& s, int floor);

// Paints floor `floor` of `view` (a copy of the scheme: painting moves
// nodes that lie outside the canvas back inside it) scaled into `target`,
// keeping its proportions. `labelSize` is the size of the time labels in
// the target's units.
void PaintFloorResults(TPipeLine& view, int floor, const std::vector<AreaResult>& results, char separator,
                       QPainter& painter, const QRectF& target, double labelSize);

}  // namespace stelmar
