#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "calc/ScenarioCalculation.h"
#include "calc/Validation.h"
#include "model/Scheme.h"

namespace stelmar {

// Machine-readable result of a run: the findings of the checks (their
// messages alone in "messages", and in "findings" each message with the
// element it is about: {"kind": "node"|"area", "number": N, "floor": F}, or
// null), the warnings of the length check in "warnings" the same way (an
// empty list when there are none) and, when the scheme passed, the
// calculation's steps as it numbered them.
//
// "scenarios" lists the calculated scenarios of the project `Drawn` (none
// when the scheme did not pass): each with its "name", whether it is the
// "active" one, the elements it "excluded" (in the form of the findings),
// "tp", its "result_line", "ok" (the condition of safe evacuation met:
// true, not met: false, not checked for want of t_бл: null), whether it is
// the "worst" one, and the figures and verdict of each of its "inputs" and
// check "points"; reasons are written with `Separator`.
struct ScenarioJson {
    const TPipeLine& Drawn;
    const std::vector<ScenarioRun>& Runs;
    char Separator;
};

void WriteResultJson(std::ostream& out, const TPipeLine& s, const std::vector<Finding>& findings,
                     const std::vector<Finding>& warnings, const std::string& resultLine,
                     const ScenarioJson* scenarios = nullptr);

}  // namespace stelmar
