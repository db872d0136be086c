// The service built without Qt offers no PDF report.

#include "service/ServicePdf.h"

namespace stelmar {

struct PdfSupport::Impl {};

PdfSupport::PdfSupport(int&, char**) {}

PdfSupport::~PdfSupport() = default;

bool ServicePdfAvailable() { return false; }

std::optional<std::string> ServicePdfDocument(const TPipeLine&, const std::vector<ScenarioRun>&, const ReportTitle&, char)
{
    return std::nullopt;
}

}  // namespace stelmar
