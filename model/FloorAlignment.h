#pragma once

// "Совместить этажи": the same point picked on two floors (a stair corner,
// say) is brought to one place on the canvas, so that a stair drawn between
// the floors joins points that lie above each other. A floor is moved
// whole: its nodes, its background picture and its plan, whose offset
// records how far it has been moved in all.

#include <optional>
#include <string>

#include "model/Scheme.h"

namespace stelmar {

// A point picked on a floor, in canvas pixels.
struct FloorPoint {
    int Floor = 0;
    double X = 0;
    double Y = 0;
};

// Moves floor `moved` so that its point comes onto the point of floor
// `fixed`, by whole canvas pixels. Along an axis where that would put a
// node, the picture or the plan below zero, floor `fixed` is moved the
// other way instead. Refuses, changing nothing, when both points lie on
// one floor or a node would leave the canvas; the result is then the
// message for the user.
std::optional<std::string> AlignFloors(TPipeLine& s, const FloorPoint& fixed, const FloorPoint& moved);

}  // namespace stelmar
