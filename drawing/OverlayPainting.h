#pragma once

// Painting the overlay of SchemeOverlay with a floor: what lies under the
// areas (the path of t_p, the outlines of areas with findings), the rings
// of nodes with findings, the figures and exit times, and the legend.

#include <QRect>

#include "drawing/Canvas.h"
#include "drawing/LabelPlacement.h"
#include "drawing/SchemeOverlay.h"
#include "drawing/ViewMap.h"

namespace stelmar {

// The colour an area is drawn in: the overlay's (faded when the results are
// old) or `normal`.
TColor OverlayAreaColor(const SchemeOverlay* overlay, int area, TColor normal);
// The line style of an area: its movement's, or solid.
Qt::PenStyle OverlayAreaStyle(const SchemeOverlay* overlay, int area);

// Wide lines under the areas of the active floor: the path of t_p in light
// blue, areas with findings in red.
void DrawOverlayUnderlays(const TPipeLine& s, Canvas& c, const Visibility& vis, const ViewMap& map,
                          const SchemeOverlay& overlay);

// Red rings around nodes with findings.
void DrawOverlayNodeMarks(const TPipeLine& s, Canvas& c, const Visibility& vis, const ViewMap& map,
                          const SchemeOverlay& overlay);

// The time of each exit beside it, then the figure of each area beside
// it (those on the path of t_p first, then the bottlenecks), each where
// `placer` finds room for it and left out where it finds none; only of the
// elements `near` holds.
void DrawOverlayLabels(const TPipeLine& s, Canvas& c, const Visibility& near, const ViewMap& map,
                       const SchemeOverlay& overlay, const TextFont& font, LabelPlacer& placer);

// The legend's frame for `overlay` in `font`, at the origin.
QRect LegendFrame(const SchemeOverlay& overlay, const TextFont& font);

// The legend in a corner of `box` (image pixels): the first corner, from
// the top left clockwise, where it covers nothing of `drawing`, else the
// one where it covers least.
void DrawOverlayLegend(Canvas& c, const QRect& box, const QRect& drawing, const SchemeOverlay& overlay,
                       const TextFont& font);

}  // namespace stelmar
