#pragma once

// The drawing of the active floor on any paint device, as vector shapes and
// text: the printed page gets the same picture as the screen canvas, sharp
// at any scale.

#include <QPainter>
#include <QSize>

#include "model/Scheme.h"
#include "drawing/SchemeOverlay.h"

namespace stelmar {

// Paints the whole active floor, as Draw does in export mode on a canvas of
// `canvasSize`, through `painter` in its current transformation: one unit
// is one canvas pixel, fonts keep their pixel sizes in those units, and
// nothing is painted outside the canvas rectangle. The painter's state is
// restored afterwards. Returns false (and paints nothing) when no project
// is open.
bool DrawOnDevice(TPipeLine& s, QPainter& painter, const QSize& canvasSize, const SchemeOverlay* overlay = nullptr);

}  // namespace stelmar
