#pragma once

// The part of the canvas a floor's drawing takes: its nodes, the areas that
// reach it and its plan (the background picture), with a margin for the
// symbols and the labels. What is exported, printed and put in the PDF
// report of a floor.

#include <QRect>

#include "model/Scheme.h"

namespace stelmar {

// Room around the outermost nodes for their symbols and labels, canvas
// pixels.
inline constexpr int kExtentMargin = 64;

// The extent of floor `floor` within the canvas (`WSpaceG` x `WSpaceV`);
// empty when the floor has neither elements nor a plan.
QRect FloorExtent(const TPipeLine& s, int floor, int margin = kExtentMargin);

// The extent of the elements alone (nodes and the areas that reach the
// floor), without the plan and without a margin; empty when none.
QRect ElementsExtent(const TPipeLine& s, int floor);

}  // namespace stelmar
