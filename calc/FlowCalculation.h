#pragma once

// The evacuation time of a validated scheme by the simplified analytical
// model of people-flow movement.

#include <functional>
#include <string>

#include "model/Scheme.h"

namespace stelmar {

// Runs the whole calculation and leaves its results in the scheme: flow
// states in the nodes, one TReport per step in Reports, ExitTimes,
// EvacuationTime and FlowCounter. Returns the result line
// "Итак, общее расчетное время эвакуации = " + t_p + " мин.".
// `processEvents`, when given, is called before each area numbered above
// 5307 so that a window system can stay responsive.
// The scheme must have passed ValidateScheme.
std::string Calculate(TPipeLine& s, char separator, const std::function<void()>& processEvents = {});

}  // namespace stelmar
