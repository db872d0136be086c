#pragma once

// What the canvas shows over the scheme besides it: the results of a
// calculation (areas in the colour of how the flows moved, a figure on
// each area, the times of the exits, the path of the flow that gives t_p,
// a legend) and the elements the checks found fault with.

#include <QString>
#include <optional>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

// Under the areas of the path of the flow that gives t_p: light blue
// ($00BBGGRR).
inline constexpr TColor kCriticalPathColor = 0xFFC080;

struct LegendEntry {
    TColor Color = 0;
    QString Caption;
    Qt::PenStyle Style = Qt::SolidLine;
    int Width = 5;  // of the line shown, screen pixels
};

struct AreaOverlay {
    TColor Color = 0;       // in place of the colour of the path kind
    bool Critical = false;  // on the path of the flow that gives t_p
    QString Label;          // the figure shown beside the area
    // Told apart from the other movements in black and white as well.
    Qt::PenStyle Style = Qt::SolidLine;
    bool Bottleneck = false;  // its figure is placed before the others but those of the path
};

struct SchemeOverlay {
    // By area number; an area without a value is drawn as usual.
    std::vector<std::optional<AreaOverlay>> Areas;
    // By node number: the text beside an exit (its time).
    std::vector<QString> NodeLabels;
    // The results no longer match the scheme: drawn faded.
    bool Faded = false;
    std::vector<LegendEntry> Legend;
    QString LegendNote;  // under the legend's entries, e.g. "Результаты устарели"
    bool ShowLegend = true;

    // Marked with a red outline on every floor, by number.
    std::vector<char> MarkedNodes;
    std::vector<char> MarkedAreas;

    bool ShowsResults() const { return !Areas.empty(); }
};

}  // namespace stelmar
