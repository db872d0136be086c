#pragma once

// Which of the flows arriving at an area together merge on it when their
// different arrival times are taken into account.

#include <vector>

namespace stelmar {

// Flows j = 1 … n arrive at the area at `arrival[j]` and would leave it at
// `leaving[j]` if each went on alone (element 0 of both lists is unused).
// Two flows merge when one arrives no earlier and leaves no later than the
// other, i.e. when it catches up with the other on the area or they move
// together. The pairs i < j are taken with i ascending, then j ascending;
// a merging pair gives j the label of i when j still has its own, else
// gives i the label of j when i still has its own, else changes nothing.
// Every flow starts with its own number as its label. Returns the labels in
// `label` (element 0 unused), not renumbered.
//
// With many flows only the pairs that merge are looked at, so the work
// grows with the flows times the logarithm of their number, plus the
// merging pairs, rather than with the square of the flows.
void MergePairs(const std::vector<double>& arrival, const std::vector<double>& leaving, std::vector<int>& label);

}  // namespace stelmar
