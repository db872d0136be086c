#pragma once

// The checks before a calculation, scenario by scenario. A project without
// scenarios is checked exactly as its drawn scheme. Otherwise every
// scenario's scheme (ScenarioScheme.h) must pass the checks on its own:
// a finding that every scenario has is given once, as the scheme's; the
// others name their scenario. A scenario that leaves people without an
// exit gets a finding that names it and the inputs left so.

#include <vector>

#include "calc/Validation.h"
#include "model/Scheme.h"

namespace stelmar {

// The findings of every scenario, in the drawn scheme's numbering; the
// scenarios may be calculated only when the list is empty.
std::vector<Finding> CheckScenarios(const TPipeLine& s);

// The findings of scenario `index` alone, each naming it when the project
// has scenarios.
std::vector<Finding> CheckScenario(const TPipeLine& s, int index);

}  // namespace stelmar
