#pragma once

// What the last calculation found for each area and exit, gathered from its
// steps for showing on the drawing and in tables: how the flows moved over
// each area, their figures, the time at each exit, and the path of the flow
// that gives the total time t_p.

#include <cstdint>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

// How the flows moved over an area, in rising order of trouble.
enum class Movement : std::uint8_t {
    Unused,        // no flow passed it
    Free,          // at the speed of free movement
    Slowed,        // slowed by the density of the flow
    Bottleneck,    // at the limit of the path, with a delay before it
    Accumulation,  // at the limit, people accumulating before it
};

struct AreaResult {
    Movement How = Movement::Unused;
    std::vector<int> Steps;    // numbers of the calculation steps on the area, in order
    std::int32_t People = 0;   // N of the flows leaving it, together
    double Density = 0;        // D of a first area
    double Intensity = 0;      // q, the largest of the flows
    double Speed = 0;          // v, the smallest of the flows
    double AreaTime = 0;       // t on the area, the longest
    double DelayTime = 0;      // the longest delay
    double AccumTime = 0;      // the longest accumulation
    double TotalTime = 0;      // when the last flow leaves the area
};

struct FlowResults {
    std::vector<AreaResult> Areas;  // by area number; element 0 unused
    std::vector<double> ExitTimes;  // by node number: the latest time at an exit, -1 elsewhere
    std::vector<int> CriticalAreas; // the areas of the flow giving t_p, from the exit upstream
    std::vector<int> FlowNumbers;   // by step: the number of its flow as the report prints it
    double EvacuationTime = 0;
};

// The results of the calculation last made on `s` (its Reports and flow
// states); empty lists when there is none.
FlowResults ResultsOf(const TPipeLine& s);

// One flow as the summary report's table of flows gives it, numbered as
// the report prints it: its people and f where it starts (or was formed by
// a merge), its length and its time when it leaves its last area.
struct FlowSummary {
    int Number = 0;
    std::int32_t People = 0;
    double F = 0;
    double Length = 0;
    double Time = 0;
    int Exit = 0;  // the exit it leaves by, 0 when it merges into another flow
};

std::vector<FlowSummary> FlowSummaries(const TPipeLine& s);

}  // namespace stelmar
