#include "cli/PdfOutput.h"

#include "pdf/HeadlessGui.h"
#include "pdf/PdfReport.h"

namespace stelmar {

bool PdfOutputBuilt() { return true; }

std::optional<std::string> WritePdfOutput(const TPipeLine& s, const ReportTitle& title, char separator,
                                          const std::string& path)
{
    static char name[] = "stelmar-calc";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    const auto app = StartHeadlessGui(argc, argv);
    return WritePdfReport(s, title, separator, path);
}

}  // namespace stelmar
