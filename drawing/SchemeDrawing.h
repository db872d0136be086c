#pragma once

// Painting the active floor of the scheme onto the canvas image: background
// picture, areas with their arrows, nodes with symbols and labels, the
// highlight and selection marks, the area being drawn and the selection
// band.

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include "model/Scheme.h"
#include "drawing/SchemeOverlay.h"

namespace stelmar {

class PlanPicture;

// The part of the canvas the user sees: the scroll positions and the size
// of the visible box in screen pixels, and the zoom (screen pixels per
// canvas pixel). Positions, lines and the background scale with the zoom;
// node symbols, line widths, arrowheads and label fonts keep their size in
// screen pixels.
struct CanvasView {
    int HorzPos = 0;
    int VertPos = 0;
    int BoxWidth = 0;
    int BoxHeight = 0;
    double Zoom = 1;
    // The image holds only the box, its top-left pixel showing (HorzPos,
    // VertPos) of the zoomed canvas; otherwise the image is the whole canvas
    // at zoom 1 and only the box's part of it is painted.
    bool BoxOnly = false;
    // A printout (a sheet, a page of the PDF report, an exported picture):
    // the box is its frame, labels are written at any zoom, node labels
    // too are left out where they would cover another, and nothing of
    // the editing (the area being drawn, the band) is painted.
    bool Printout = false;
    // A printout's vector plan, drawn for the device's own resolution in
    // place of the floor's picture.
    const PlanPicture* Plan = nullptr;
};

class PlanTiles;

// What the screen keeps between redraws for the floors' backgrounds: scaled
// copies of the floor pictures for a zoom below 1, made once for a picture
// and a zoom rather than at every redraw, and the renders of the active
// floor's vector plan, when it has one, which are painted in place of its
// picture (the picture then being that plan at 100 %).
class BackgroundCache {
public:
    // `picture` (shared with the scheme) smoothly reduced to `zoom`.
    const QImage& Reduced(const BitmapRef& picture, double zoom);

    // The active floor's plan renders, or null to paint its picture.
    void SetPlan(PlanTiles* plan) { plan_ = plan; }
    PlanTiles* Plan() const { return plan_; }

private:
    PlanTiles* plan_ = nullptr;
    BitmapRef source_;
    double zoom_ = 0;
    QImage reduced_;
};

// Texts of the status bar counters written by Draw.
struct DrawCounters {
    QString Nodes;   // "Узлов " + NodeCount
    QString Areas;   // "Участков " + AreaCount
    QString Floors;  // "Этажей " + EtagCount
};

// Paints the visible part (or, in export mode, the whole canvas at zoom 1).
// Widens a whole-canvas image to the box when the box is larger than the
// canvas; a box-only image is made the size of the box. Pulls node
// positions back inside the canvas (CanvasExtent) and, while an area is
// being drawn with snapping, snaps the pointer. Returns false (and paints
// nothing) when no project is open. The image is kept in
// QImage::Format_RGB32 (background pictures are copied into it pixel for
// pixel); a null whole-canvas image becomes `WSpaceG` x `WSpaceV`. Reduced
// backgrounds come from `cache` when given.
// With `overlay`, the results and findings are painted with the scheme.
bool Draw(TPipeLine& s, QImage& canvas, const CanvasView& view, bool exportMode, DrawCounters* counters = nullptr,
          BackgroundCache* cache = nullptr, const SchemeOverlay* overlay = nullptr);

// The canvas in canvas pixels: `WSpaceG` x `WSpaceV`, widened to a box of
// `boxWidth` x `boxHeight` screen pixels that is larger, whatever the zoom.
QSize CanvasExtent(const TPipeLine& s, int boxWidth, int boxHeight);

// Colour ($00BBGGRR) of an area of the given path kind.
TColor KindColor(const TPipeLine& s, int kind);

// The font of node labels at its pixel height.
QFont LabelFont(const TFontSpec& f);

// The font of the results' figures and legend: the label font at 11
// pixels, plain.
QFont OverlayFont(const TFontSpec& f);

// QColor of a $00BBGGRR value.
QColor ToQColor(TColor c);

}  // namespace stelmar
