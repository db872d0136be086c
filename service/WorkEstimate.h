#pragma once

// An upper bound of what the flow calculation of a scheme will allocate and
// compare, computed from the structure alone, so that a request can be
// refused before a calculation that would run out of memory or time.

#include <cstdint>

#include "model/Scheme.h"

namespace stelmar {

// For a scheme that passed ValidateScheme (every connected part a tree with
// one exit). Counts the entries of the merged-flow lists of all steps plus
// the pairs of arriving flows compared when different arrival times are
// taken into account. Without them the bound grows with the number of
// areas; with them a node may hold one flow per input upstream, and the
// bound grows with the square of that number.
std::int64_t EstimateCalculationWork(const TPipeLine& s);

}  // namespace stelmar
