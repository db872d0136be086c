#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "calc/Validation.h"
#include "model/Scheme.h"

namespace stelmar {

// Machine-readable result of a run: the findings of the checks (their
// messages alone in "messages", and in "findings" each message with the
// element it is about: {"kind": "node"|"area", "number": N, "floor": F}, or
// null) and, when the scheme passed, the calculation's steps as it
// numbered them.
void WriteResultJson(std::ostream& out, const TPipeLine& s, const std::vector<Finding>& findings,
                     const std::string& resultLine);

}  // namespace stelmar
