// stelmar-calc built without Qt: no PDF report.

#include "cli/PdfOutput.h"

namespace stelmar {

bool PdfOutputBuilt() { return false; }

std::optional<std::string> MakePdfOutput(const TPipeLine&, const std::vector<ScenarioRun>&, const ReportTitle&, char,
                                         std::ostream&)
{
    return std::string(kNoPdfOutput);
}

}  // namespace stelmar
