#pragma once

// The painting steps of Draw, on any canvas: what Draw paints on the screen
// image and DrawOnDevice paints on a printer page.

#include <QPaintDevice>
#include <QSize>

#include "model/Scheme.h"
#include "model/drawing/Canvas.h"
#include "model/drawing/SchemeDrawing.h"

namespace stelmar {

// Paints the active floor in canvas coordinates: the background of the
// visible part (of the whole canvas in export mode), then areas, the area
// being drawn, nodes, selection marks and the band. Nodes are pulled back
// inside `canvasSize`. Label fonts are measured for `device` (the screen
// when null).
void PaintFloor(TPipeLine& s, Canvas& c, const QPaintDevice* device, const QSize& canvasSize, const CanvasView& view,
                bool exportMode);

}  // namespace stelmar
