#include "cli/PdfOutput.h"

#include <QBuffer>

#include "pdf/HeadlessGui.h"
#include "pdf/PdfReport.h"

namespace stelmar {

bool PdfOutputBuilt() { return true; }

std::optional<std::string> MakePdfOutput(const TPipeLine& s, const std::vector<ScenarioRun>& runs,
                                         const ReportTitle& title, char separator, std::string& pdf)
{
    static char name[] = "stelmar-calc";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    const auto app = StartHeadlessGui(argc, argv);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (auto failure = BuildPdfReport(s, title, separator, buffer, {}, &runs)) return failure;
    pdf.assign(buffer.data().constData(), static_cast<std::size_t>(buffer.data().size()));
    return std::nullopt;
}

}  // namespace stelmar
