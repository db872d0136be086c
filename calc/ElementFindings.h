#pragma once

// Which nodes and areas the checks before a calculation find fault with,
// for the element tables' filter "only with errors": the elements the
// findings of every scenario's checks name (ScenarioChecks.h), the input
// of a group without movement data, and every node of a part of the scheme
// without an exit.

#include <vector>

#include "model/Scheme.h"

namespace stelmar {

struct ElementFindings {
    std::vector<bool> Nodes;  // 1-based as TPipeLine::Nodes
    std::vector<bool> Areas;  // 1-based as TPipeLine::Areas
};

ElementFindings FindElementFindings(const TPipeLine& s);

}  // namespace stelmar
