#pragma once

// The scenarios of a scheme: the list as every face of the program sees it
// (a project without scenarios has the one scenario "Основной"), changes of
// a scenario, and how the scenarios follow the elements they name when
// elements are deleted or split.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/ElementRef.h"
#include "model/Scheme.h"

namespace stelmar {

// Upper bound of the number of scenarios, in files and in the panel.
inline constexpr int kMaxScenarios = 1000;

// At least 1: a project without scenarios has the implicit "Основной".
int ScenarioCount(const TPipeLine& s);
// Scenario 0 … ScenarioCount − 1.
const TScenario& ScenarioAt(const TPipeLine& s, int index);
// The active scenario's index, brought into range.
int ActiveScenarioIndex(const TPipeLine& s);
// The scenario's name, or "Сценарий N" (N = index + 1) when it has none.
std::string ScenarioName(const TPipeLine& s, int index);
// The scenario to change; a project without scenarios first gets the
// implicit one as its first scenario, so that it keeps being calculated.
TScenario& EditScenario(TPipeLine& s, int index);

// A time typed or read for a scenario, in minutes: t_нэ (`blockTime`
// false) must not be negative, t_бл must be above 0. Nullopt with `error`
// set (in Russian, what is wrong) otherwise.
std::optional<double> ReadScenarioTime(std::string_view text, bool blockTime, std::string& error);

bool ExcludesNode(const TScenario& sc, int node);
bool ExcludesArea(const TScenario& sc, int area);
bool Excludes(const TScenario& sc, const ElementRef& element);
// Excludes (true) or includes the element; false when it already was so.
bool SetExcluded(TScenario& sc, const ElementRef& element, bool excluded);

// The scenario's times for the node, or null when it gives none.
const TNodeTimes* NodeTimesOf(const TScenario& sc, int node);
// The entry for the node, made (empty) when there is none.
TNodeTimes& EditNodeTimes(TScenario& sc, int node);
void EraseNodeTimes(TScenario& sc, int node);

// Before nodes and areas are deleted: every scenario forgets them (an
// excluded element or a node with its own times leaves a note naming it)
// and renumbers what it names behind them. `nodes` and `areas` are the
// numbers about to go, ascending, the areas attached to deleted nodes
// included.
void ForgetInScenarios(TPipeLine& s, const std::vector<int>& nodes, const std::vector<int>& areas);

// Area `area` was split and goes on as the new area `added`: a scenario
// that excludes the one excludes the other.
void SplitInScenarios(TPipeLine& s, int area, int added);

}  // namespace stelmar
