#pragma once

// Painting the active floor of the scheme onto the canvas image: background
// picture, areas with their arrows, nodes with symbols and labels, the
// highlight and selection marks, the area being drawn and the selection
// band.

#include <QImage>
#include <QRect>
#include <QString>

#include "model/Scheme.h"

namespace stelmar {

// The part of the canvas the user sees: the scroll positions and the size
// of the visible box.
struct CanvasView {
    int HorzPos = 0;
    int VertPos = 0;
    int BoxWidth = 0;
    int BoxHeight = 0;
};

// Texts of the status bar counters written by Draw.
struct DrawCounters {
    QString Nodes;   // "Узлов " + NodeCount
    QString Areas;   // "Участков " + AreaCount
    QString Floors;  // "Этажей " + EtagCount
};

// Paints the visible part (or, in export mode, the whole canvas). Widens
// `canvas` to the box when the box is larger than the canvas. Pulls node
// positions back inside the canvas and, while an area is being drawn with
// snapping, snaps the pointer. Returns false (and paints nothing) when no
// project is open. The canvas is kept in QImage::Format_RGB32 (background
// pictures are copied into it pixel for pixel); a null canvas becomes
// `WSpaceG` x `WSpaceV`.
bool Draw(TPipeLine& s, QImage& canvas, const CanvasView& view, bool exportMode, DrawCounters* counters = nullptr);

// Colour ($00BBGGRR) of an area of the given path kind.
TColor KindColor(const TPipeLine& s, int kind);

// QColor of a $00BBGGRR value.
QColor ToQColor(TColor c);

}  // namespace stelmar
