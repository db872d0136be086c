#pragma once

// The drawing of a floor on any paint device, as vector shapes and text:
// printed sheets, the pages of the PDF report, exported SVG and PDF files
// get the same picture as the screen canvas, sharp at any scale.

#include <QPainter>
#include <QRect>
#include <QSize>

#include "model/Scheme.h"
#include "drawing/FloorPainting.h"
#include "drawing/PlanPicture.h"
#include "drawing/SchemeOverlay.h"

namespace stelmar {

// Paints the whole active floor, as Draw does in export mode on a canvas of
// `canvasSize`, through `painter` in its current transformation: one unit
// is one canvas pixel, fonts keep their pixel sizes in those units, and
// nothing is painted outside the canvas rectangle. The painter's state is
// restored afterwards. Returns false (and paints nothing) when no project
// is open.
bool DrawOnDevice(TPipeLine& s, QPainter& painter, const QSize& canvasSize, const SchemeOverlay* overlay = nullptr);

// A copy of the scheme to print from: an open project with nothing
// selected or highlighted, no area being drawn and no band.
TPipeLine PrintoutCopy(const TPipeLine& s);

// A printout of `window` (canvas pixels) of floor `floor` of `s` (a
// printout copy: painting pulls nodes inside the canvas): its top-left at
// the painter's origin, `zoom` painter units per canvas pixel. Symbols,
// line widths and label fonts keep their sizes in painter units, as they
// keep screen pixels on the screen; labels are placed clear of one another
// inside the window and left out where there is no room. Nothing is painted
// outside the window. Returns the count of labels placed and left out.
// With `plan`, the floor's vector plan is drawn for the device's own
// resolution in place of its picture.
LabelTally DrawPrintout(TPipeLine& s, int floor, QPainter& painter, const QRect& window, double zoom,
                        const SchemeOverlay* overlay = nullptr, const PlanPicture* plan = nullptr);

}  // namespace stelmar
