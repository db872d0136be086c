#pragma once

// The check of lengths against the drawing: on a floor with a scale, an
// area of a kind that takes its length from the drawing whose length
// differs from its drawn length by more than a tenth. It catches a typed
// 12 where 1.2 was meant. Its findings are warnings: the scheme may be
// calculated all the same.

#include <vector>

#include "calc/Validation.h"

namespace stelmar {

// One warning per such area, in area order; `separator` is the decimal
// separator of the lengths in the messages.
std::vector<Finding> CheckDrawnLengths(const TPipeLine& s, char separator);

}  // namespace stelmar
