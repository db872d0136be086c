#pragma once

// The painting steps of Draw, on any canvas: what Draw paints on the screen
// image and DrawOnDevice paints on a printer page.

#include <QPaintDevice>
#include <QSize>

#include "model/Scheme.h"
#include "drawing/Canvas.h"
#include "drawing/SchemeDrawing.h"

namespace stelmar {

// Labels a painting placed and left out for want of room.
struct LabelTally {
    int Placed = 0;
    int LeftOut = 0;
};

// Paints the active floor, in the view's zoom, shifted for a box-only
// image: the background of the visible part (of the whole canvas at zoom 1
// in export mode), then areas, the area being drawn, nodes, selection marks
// and the band. Nodes are pulled back inside `canvasSize` (canvas pixels).
// Label fonts are measured for `device` (the screen when null). Counts the
// labels in `tally` when given.
void PaintFloor(TPipeLine& s, Canvas& c, const QPaintDevice* device, const QSize& canvasSize, const CanvasView& view,
                bool exportMode, BackgroundCache* cache = nullptr, const SchemeOverlay* overlay = nullptr,
                LabelTally* tally = nullptr);

}  // namespace stelmar
