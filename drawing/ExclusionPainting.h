#pragma once

// The elements that the active fire scenario excludes, crossed out in red
// over the floor: a cross on each excluded node and in the middle of each
// excluded area.

#include "drawing/Canvas.h"
#include "drawing/ViewMap.h"

namespace stelmar {

// The crosses' colour ($00BBGGRR): red.
inline constexpr TColor kExcludedColor = 0x0000E0;

void DrawExcluded(const TPipeLine& s, Canvas& c, const Visibility& vis, const ViewMap& map);

}  // namespace stelmar
