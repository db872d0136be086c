#pragma once

// The plan files of the example drawn over plans, painted with Qt: floor
// 1's PDF page (QPdfWriter) and both plans as the pictures that readers
// without plans show under the elements. Needs a QGuiApplication.

#include "examples/ExamplePlans.h"

namespace stelmar::examples {

ExamplePlanFiles MakeExamplePlanFiles();

}  // namespace stelmar::examples
