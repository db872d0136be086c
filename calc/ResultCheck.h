#pragma once

// The check after a calculation: numbers so large or so small that the
// movement formulas overflow (a length or f of 1e308, a width of 1e-320)
// give infinite or undefined values, which must not reach a report as a
// result.

#include <optional>
#include <string>

#include "model/Scheme.h"

namespace stelmar {

// Looks at every value a report prints (the steps, the exit times and t_p) and returns a message in the style of the
// validation findings, naming the first area whose step is not finite, or
// nullopt when every value is a finite number.
std::optional<std::string> CheckResults(const TPipeLine& s);

}  // namespace stelmar
