// The fire scenarios in the main window: elements excluded from the active
// scenario and check points, from the canvas pop-up menu and the element
// tables, and the choice of the active scenario.

#include "editor/MainWindow.h"
#include "editor/SchemeEdit.h"
#include "model/Scenarios.h"
#include "model/StepNames.h"

namespace stelmar {

std::string TF::ActiveScenarioGenitive() const
{
    return "сценария «" + ScenarioName(scheme_, ActiveScenarioIndex(scheme_)) + "»";
}

void TF::SetExcluded(const std::vector<ElementRef>& elements, bool excluded)
{
    if (!scheme_.Opened || elements.empty()) return;
    std::string what;
    if (elements.size() > 1)
        what = CountGenitive(static_cast<int>(elements.size()), "элемента", "элементов");
    else if (elements[0].Kind == ElementKind::Node)
        what = NodeGenitive(scheme_, elements[0].Number);
    else
        what = AreaGenitive(scheme_, elements[0].Number);
    const std::string name = "«" + ScenarioName(scheme_, ActiveScenarioIndex(scheme_)) + "»";
    const SchemeEdit edit(*this, excluded ? "исключение " + what + " из сценария " + name
                                          : "возврат " + what + " в сценарий " + name);
    TScenario& sc = EditScenario(scheme_, ActiveScenarioIndex(scheme_));
    for (const ElementRef& e : elements) stelmar::SetExcluded(sc, e, excluded);
}

void TF::SetCheckPoint(int node, bool point)
{
    if (!scheme_.Opened || node < 1 || node > NodeCount(scheme_)) return;
    const SchemeEdit edit(*this, (point ? "контрольная точка в узле " : "отмена контрольной точки в узле ") +
                                     NodeLabel(scheme_, node));
    TScenario& sc = EditScenario(scheme_, ActiveScenarioIndex(scheme_));
    if (point)
        EditNodeTimes(sc, node).BlockTime = sc.BlockTime;
    else
        EraseNodeTimes(sc, node);
}

void TF::SetActiveScenario(int index)
{
    if (index == ActiveScenarioIndex(scheme_) && index == scheme_.ActiveScenario) return;
    scheme_.ActiveScenario = index;
    const int run = scenarioRuns_ ? RunOf(*scenarioRuns_, ActiveScenarioIndex(scheme_)) : -1;
    if (RunsCurrent() && run >= 0) {
        ShowScenarioResults(scheme_, (*scenarioRuns_)[static_cast<std::size_t>(run)]);
        ShowResults();
    } else if (results_.HasResults()) {
        // The results shown are another scenario's.
        results_.Clear();
        ShowResultState();
        emit ResultsChanged();
    }
    Draw();
    emit ActiveScenarioChanged();
}

}  // namespace stelmar
