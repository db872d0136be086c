#pragma once

// The fields of a calculation request, checked one by one.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/CalculationService.h"

namespace stelmar {

struct CalculationRequest {
    std::string_view Project;  // the bytes of the project file
    std::string ProjectName;   // printable file name for messages
    int Precision = 0;
    bool RazVr = false;
    bool VrSk = false;
    bool FullReport = false;
};

// The request, or nullopt with one Russian sentence per problem in
// `problems`.
std::optional<CalculationRequest> ReadRequestFields(const Upload& upload, std::vector<std::string>& problems);

// Text from a request made safe to show: bytes that are not UTF-8 and
// control characters become "?", and the text is cut after `maxChars`
// characters with "…". The result still needs HTML escaping.
std::string PrintableText(std::string_view bytes, std::size_t maxChars);

}  // namespace stelmar
