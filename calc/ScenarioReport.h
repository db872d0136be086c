#pragma once

// The report of a project's scenarios. A project without scenarios gets
// the report of its scheme alone, exactly as before there were scenarios.
// Otherwise each scenario's derivation (full or summary, as `FullReport`
// chooses) is followed by the check of the condition of safe evacuation;
// with several scenarios each has a headed section of its own, naming what
// the fire blocks, and a table of the scenarios ends the report.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "calc/ReportDocument.h"
#include "calc/ScenarioCalculation.h"
#include "model/Scheme.h"

namespace stelmar {

// `drawn` is the project's scheme; `runs` the calculations of the
// scenarios to report, in order.
void ComposeScenarioReport(const TPipeLine& drawn, const std::vector<ScenarioRun>& runs, char separator,
                           ReportSink& sink);

void BuildScenarioReport(const TPipeLine& drawn, const std::vector<ScenarioRun>& runs, char separator,
                         std::ostream& out);

// Writes it to `path` (replaced only once the document is complete);
// returns the message for the user when the file cannot be written.
std::optional<std::string> WriteScenarioReport(const TPipeLine& drawn, const std::vector<ScenarioRun>& runs,
                                               const std::string& path, char separator);

}  // namespace stelmar
