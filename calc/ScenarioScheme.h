#pragma once

// The scheme a scenario calculates: the drawn scheme without the elements
// the scenario excludes. An excluded node takes its areas with it. What the
// exclusions cut off from every route goes too: an exit or a junction left
// with no area, and a junction left at the end of a dead end (with what
// lies behind it), unless the drawn scheme already had it so; inputs always
// stay, so that people left without an exit are found.
//
// The elements keep their order and so their relative numbering, and a
// node labelled by its number keeps the label of its number in the drawn
// scheme: the checks, the calculation and the report of the scenario's
// scheme read as those of the drawn one.

#include <vector>

#include "model/ElementRef.h"
#include "model/Scheme.h"

namespace stelmar {

struct ScenarioScheme {
    // Nodes, areas, floors, file name and calculation options; no results.
    TPipeLine Scheme;
    // By number in Scheme: the element's number in the drawn scheme.
    std::vector<int> NodeOrigin;
    std::vector<int> AreaOrigin;
    // By number in the drawn scheme: the number in Scheme, 0 when left out.
    std::vector<int> NodeNumber;
    std::vector<int> AreaNumber;

    // An element of Scheme as the drawn scheme numbers it.
    ElementRef Origin(const ElementRef& e) const;
};

ScenarioScheme BuildScenarioScheme(const TPipeLine& drawn, const TScenario& scenario);

}  // namespace stelmar
