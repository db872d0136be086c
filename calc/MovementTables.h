#pragma once

// Fixed data of the people-flow movement model: speed v and intensity q
// (m/min) by density D (m²/m²) for six path kinds and ten mobility groups,
// the limiting values, and the names the report prints.

#include <string>

#include "model/MobilityGroups.h"

namespace stelmar {

// v on a horizontal path at density D (forward lookup, column 1).
double SpeedByDensity(int group, double density);
// q on a horizontal path at density D (forward lookup, column 2).
double IntensityByDensity(int group, double density);
// v by inverse lookup in the kind's q column; 0 when q is above what the
// path kind can carry (or the kind is not tabulated for the group).
double SpeedByIntensity(int kind, int group, double intensity);
// q_пред for the kind; group 0 doorways narrower than 1.6 m: 2.5 + 3.75·δ.
// −1 where the group has no data for the kind.
double LimitIntensity(int kind, int group, double width);
// v_пред for the kind; −1 where the group has no data for the kind.
double LimitSpeed(int kind, int group);
// v of an unhindered flow on the path kind (the speed at the lowest
// tabulated density); −1 where the group has no data for the kind.
double FreeSpeed(int kind, int group);
// True when the group's table holds any value for the path kind.
bool GroupCoversPathKind(int group, int kind);

// Name of path kind 1..6 (with a no-break space between the words); any
// other code leaves `name` unchanged.
void PathKindName(int kind, std::string& name);
// Name of mobility group 0..9 as the report prints it; empty for another
// number.
std::string GroupName(int group);

}  // namespace stelmar
