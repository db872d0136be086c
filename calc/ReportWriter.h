#pragma once

// The calculation report as an RTF document in Windows-1251: the full report
// derives every step with its formulas, the summary report gives tables.
// Both read the results that Calculate left in the scheme (Reports,
// ExitTimes, EvacuationTime, FlowCounter) and never change them.

#include <optional>
#include <ostream>
#include <string>

#include "calc/ReportDocument.h"
#include "model/Scheme.h"

namespace stelmar {

// The reports as blocks of the report document; the PDF report sets the
// same blocks.
void ComposeFullReport(const TPipeLine& s, char separator, ReportSink& sink);
void ComposeSummaryReport(const TPipeLine& s, char separator, ReportSink& sink);
// The one the scheme's `FullReport` option chooses.
void ComposeReport(const TPipeLine& s, char separator, ReportSink& sink);

void BuildFullReport(const TPipeLine& s, char separator, std::ostream& out);
void BuildSummaryReport(const TPipeLine& s, char separator, std::ostream& out);

// The report the scheme's `FullReport` option chooses: the full or the
// summary one. Every face of the program writes its report with these.
void BuildReport(const TPipeLine& s, char separator, std::ostream& out);
// Writes it to `path` (replaced only once the document is complete);
// returns the message for the user when the file cannot be written.
std::optional<std::string> WriteReport(const TPipeLine& s, const std::string& path, char separator);

}  // namespace stelmar
