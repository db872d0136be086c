#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

// Machine-readable result of a run: validation findings and, when the
// scheme passed, the calculation's steps as it numbered them.
void WriteResultJson(std::ostream& out, const TPipeLine& s, const std::vector<std::string>& messages,
                     const std::string& resultLine);

}  // namespace stelmar
