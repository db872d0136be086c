#pragma once

// The upload form of the calculation service: the page the embedded browser
// shows, with the project file field and the calculation options of the
// scheme as hidden fields.

#include <string>

#include "model/Scheme.h"

namespace stelmar {

inline constexpr const char* kServiceScript = "/obe/StelmarCalc_3000.php";

// The page in Windows-1251, posting to `baseAddress` (scheme and host, a
// trailing "/" is dropped) + kServiceScript.
std::string BuildSubmitPage(const TPipeLine& s, const std::string& baseAddress);

}  // namespace stelmar
