#pragma once

// Which nodes and areas the checks before a calculation (ValidateScheme)
// find fault with, for the element tables' filter "only with errors".
//
// The checks are those of ValidateScheme in the same order and with the
// same conditions, each marking the element its message names; a part of
// the scheme without an exit marks every node of that part, and a group
// without movement data for an area marks the area and the input. This is
// the one place the tables ask; it is to follow the checks wherever they
// change.

#include <vector>

#include "model/Scheme.h"

namespace stelmar {

struct ElementFindings {
    std::vector<bool> Nodes;  // 1-based as TPipeLine::Nodes
    std::vector<bool> Areas;  // 1-based as TPipeLine::Areas
};

ElementFindings FindElementFindings(const TPipeLine& s);

}  // namespace stelmar
