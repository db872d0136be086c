#pragma once

// What the last calculation found on each area, for showing the results on
// the drawing: how the flows moved there, the time at the area's end and
// the flows' parameters, read from the steps that Calculate left in
// `Reports`.

#include <cstdint>
#include <string_view>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

// How the flows moved on an area, from the least to the most hindered.
enum class AreaMovement : std::uint8_t {
    Unused,        // no flow passed the area
    Free,          // at the speed of an unhindered flow
    Slowed,        // slower than that because of the flow's density
    Bottleneck,    // more people arrived than the area lets through: a delay
    Accumulation,  // a delay with the people's accumulation in front of the area (its time computed)
};
inline constexpr int kMovementCount = 5;

struct AreaResult {
    // The most hindered movement of the flows over the area.
    AreaMovement Movement = AreaMovement::Unused;
    int Steps = 0;                // flows calculated over the area
    std::int32_t People = 0;      // N: people over the area, all flows together
    double TotalTime = 0;         // min from the start until the last flow leaves the area
    // q, v and D of the flow that decides the movement (D only on the first
    // area of a flow, else 0).
    double Intensity = 0;
    double Speed = 0;
    double Density = 0;
    double DelayTime = 0;         // the largest delay, min
    double AccumTime = 0;         // the largest accumulation time, min
    // On the way of the flow that reaches the exit last, at t_p.
    bool Critical = false;
};

// One entry per area of the scheme, by area number (element 0 unused).
// Areas that no step names stay Unused; a scheme without results gives
// all Unused.
std::vector<AreaResult> AreaResults(const TPipeLine& s);

// The legend's text for a movement.
std::string_view MovementName(AreaMovement movement);

}  // namespace stelmar
