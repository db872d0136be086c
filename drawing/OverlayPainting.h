#pragma once

// Painting the overlay of SchemeOverlay with a floor: what lies under the
// areas (the path of t_p, the outlines of areas with findings), the rings
// of nodes with findings, the figures and exit times, and the legend.

#include <QRect>

#include "drawing/Canvas.h"
#include "drawing/SchemeOverlay.h"
#include "drawing/ViewMap.h"

namespace stelmar {

// The colour an area is drawn in: the overlay's (faded when the results are
// old) or `normal`.
TColor OverlayAreaColor(const SchemeOverlay* overlay, int area, TColor normal);

// Wide lines under the areas of the active floor: the path of t_p in light
// blue, areas with findings in red.
void DrawOverlayUnderlays(const TPipeLine& s, Canvas& c, const Visibility& vis, const ViewMap& map,
                          const SchemeOverlay& overlay);

// Red rings around nodes with findings.
void DrawOverlayNodeMarks(const TPipeLine& s, Canvas& c, const Visibility& vis, const ViewMap& map,
                          const SchemeOverlay& overlay);

// The figure of each area beside its middle and the time of each exit
// under it, in `font`.
void DrawOverlayLabels(const TPipeLine& s, Canvas& c, const Visibility& vis, const ViewMap& map,
                       const SchemeOverlay& overlay, const TextFont& font);

// The legend in the top-left corner of `box` (image pixels).
void DrawOverlayLegend(Canvas& c, const QRect& box, const SchemeOverlay& overlay, const TextFont& font);

}  // namespace stelmar
