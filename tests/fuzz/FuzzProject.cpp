// libFuzzer target: any bytes as a project file, then validation, and for a
// scheme that passes, the calculation and both reports.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string_view>

#include "calc/FlowCalculation.h"
#include "calc/ReportWriter.h"
#include "calc/Validation.h"
#include "model/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace stelmar;
    ProjectReadResult read = ParseProject(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.stm");
    if (!read.Scheme) return 0;
    TPipeLine& s = *read.Scheme;
    s.Precision = static_cast<std::uint8_t>(1 + size % 9);
    if (!ValidateScheme(s).empty()) return 0;
    Calculate(s, size % 2 ? ',' : '.');
    std::ostringstream full;
    std::ostringstream summary;
    BuildFullReport(s, ',', full);
    BuildSummaryReport(s, '.', summary);
    return 0;
}
