#pragma once

// The report's section "Проверка условия безопасной эвакуации" of one
// scenario: the condition written out with the numbers of every input and
// check point (in the full report) or as a table (in both), then the
// scenario's verdict. It gives every figure that the probability of
// evacuation needs: t_р, t_нэ, t_бл and t_ск of every input.

#include "calc/ReportDocument.h"
#include "calc/ScenarioCalculation.h"
#include "model/Scheme.h"

namespace stelmar {

// `drawn` is the project's scheme, `run` the scenario's calculation;
// `full` chooses the derivation with its equations before the table.
void ComposeSafetySection(const TPipeLine& drawn, const ScenarioRun& run, bool full, char separator,
                          ReportSink& sink);

// "участок №3-5, выход №9" for the elements the scenario excludes, in the
// drawn scheme's labels; empty when it excludes nothing.
std::string ExcludedText(const TPipeLine& drawn, const TScenario& scenario);

}  // namespace stelmar
