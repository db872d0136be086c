#pragma once

// Calculating the scenarios of a project: each scenario's scheme
// (ScenarioScheme.h) is calculated as any scheme is, and the condition of
// safe evacuation is checked on it. A project without scenarios is its one
// scenario "Основной", whose scheme is the drawn one: it calculates exactly
// as the drawn scheme does.

#include <functional>
#include <string>
#include <vector>

#include "calc/SafetyCheck.h"
#include "calc/ScenarioScheme.h"
#include "model/Scheme.h"

namespace stelmar {

struct ScenarioRun {
    int Index = 0;  // as ScenarioAt counts
    std::string Name;
    ScenarioScheme Built;    // with the results of its calculation
    std::string ResultLine{};  // "Итак, общее расчетное время эвакуации = … мин."
    SafetyCheck Check{};
};

// Calculates scenario `index`, whose scheme must have passed CheckScenario.
// The accumulation times the check needs are computed whatever VrSk says;
// the results keep them only when VrSk is on, so that everything else
// reads as a calculation with the scheme's own options.
ScenarioRun CalculateScenario(const TPipeLine& s, int index, char separator,
                              const std::function<void()>& processEvents = {});

// The same for a project without scenarios, whose one implicit scenario
// leaves the drawn scheme whole: the run takes the scheme itself instead of
// a copy (Built.Scheme is `s` with the results, the numbers are its own).
// For a caller that no longer needs the scheme apart from the run. Without
// scenarios the condition of safe evacuation shows only among the machine-
// readable results: `check` false leaves Check empty.
ScenarioRun CalculateWholeScheme(TPipeLine&& s, char separator, bool check);

// Every scenario of the project, in order.
std::vector<ScenarioRun> CalculateScenarios(const TPipeLine& s, char separator,
                                            const std::function<void()>& processEvents = {});

// The scenario that comes closest to failing the condition or fails it
// most: the highest Load among the checked ones. -1 when none was checked.
int WorstScenario(const std::vector<ScenarioRun>& runs);

// Gives the drawn scheme the results of `run` as if it had been calculated
// itself: steps and flow states by its own numbers, its exit times, t_p
// and flow count.
void ShowScenarioResults(TPipeLine& drawn, const ScenarioRun& run);

// The line that tells the result of `run`: its ResultLine for a project
// without scenarios; otherwise "Сценарий «…»: " + ResultLine + " Условие
// безопасной эвакуации выполняется." (or "не выполняется", "не
// проверяется").
std::string ScenarioResultLine(const TPipeLine& s, const ScenarioRun& run);

// The index among `runs` of the run of scenario `index`, -1 when none.
int RunOf(const std::vector<ScenarioRun>& runs, int index);

}  // namespace stelmar
