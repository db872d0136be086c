#pragma once

// The plan files of the example drawn over plans: floor 1's PDF page,
// painted with QPdfWriter, and the floors' pictures that readers without
// plans show, rendered from the plans by the program's own renderers.
// Needs a QGuiApplication.

#include "examples/ExamplePlans.h"

namespace stelmar::examples {

ExamplePlanFiles MakeExamplePlanFiles();

}  // namespace stelmar::examples
