#pragma once

// The points of a plan that nodes snap to: the end points of its lines and
// arcs and the crossings of its lines, arcs and circles with each other.

#include <optional>
#include <vector>

#include "plans/PlanDrawing.h"

namespace stelmar {

// The end point or crossing on the layers shown nearest to `near` and at
// most `radius` from it (drawing units); nullopt when there is none.
std::optional<PlanPoint> SnapPoint(const PlanDrawing& d, const std::vector<bool>& shown, PlanPoint near, double radius);

}  // namespace stelmar
