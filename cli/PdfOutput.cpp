#include "cli/PdfOutput.h"

#include "pdf/HeadlessGui.h"
#include "pdf/PdfReport.h"
#include "pdf/StreamDevice.h"

namespace stelmar {

bool PdfOutputBuilt() { return true; }

std::optional<std::string> MakePdfOutput(const TPipeLine& s, const std::vector<ScenarioRun>& runs,
                                         const ReportTitle& title, char separator, std::ostream& out)
{
    static char name[] = "stelmar-calc";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    const auto app = StartHeadlessGui(argc, argv);
    StreamDevice device(out);
    return BuildPdfReport(s, title, separator, device, {}, &runs);
}

}  // namespace stelmar
