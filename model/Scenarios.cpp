#include "model/Scenarios.h"

#include <algorithm>

#include "model/NumberText.h"

namespace stelmar {

namespace {

const TScenario& ImplicitScenario()
{
    static const TScenario scenario{.Name = kMainScenarioName};
    return scenario;
}

bool Contains(const std::vector<int>& sorted, int x) { return std::binary_search(sorted.begin(), sorted.end(), x); }

bool SetMember(std::vector<int>& sorted, int x, bool member)
{
    const auto at = std::lower_bound(sorted.begin(), sorted.end(), x);
    const bool present = at != sorted.end() && *at == x;
    if (present == member) return false;
    if (member) sorted.insert(at, x);
    else sorted.erase(at);
    return true;
}

// The number of x once the elements in `gone` (ascending) are deleted, or 0
// when x is one of them.
int NumberAfter(const std::vector<int>& gone, int x)
{
    const auto at = std::lower_bound(gone.begin(), gone.end(), x);
    if (at != gone.end() && *at == x) return 0;
    return x - static_cast<int>(at - gone.begin());
}

// Renumbers the ascending list, dropping the deleted members; calls
// `dropped` with each of them.
template <typename Dropped>
void Renumber(std::vector<int>& list, const std::vector<int>& gone, Dropped dropped)
{
    std::size_t to = 0;
    for (const int x : list) {
        const int n = NumberAfter(gone, x);
        if (n == 0) dropped(x);
        else list[to++] = n;
    }
    list.resize(to);
}

std::string NodeWord(const TNode& n)
{
    switch (n.Kind) {
    case kInput: return "вход";
    case kExit: return "выход";
    default: return "узел";
    }
}

}  // namespace

int ScenarioCount(const TPipeLine& s) { return std::max<int>(1, static_cast<int>(s.Scenarios.size())); }

const TScenario& ScenarioAt(const TPipeLine& s, int index)
{
    return s.Scenarios.empty() ? ImplicitScenario() : s.Scenarios[static_cast<std::size_t>(index)];
}

int ActiveScenarioIndex(const TPipeLine& s) { return std::clamp(s.ActiveScenario, 0, ScenarioCount(s) - 1); }

std::string ScenarioName(const TPipeLine& s, int index)
{
    const std::string& name = ScenarioAt(s, index).Name;
    return name.empty() ? "Сценарий " + std::to_string(index + 1) : name;
}

TScenario& EditScenario(TPipeLine& s, int index)
{
    if (s.Scenarios.empty()) s.Scenarios.push_back(ImplicitScenario());
    return s.Scenarios[static_cast<std::size_t>(index)];
}

std::optional<double> ReadScenarioTime(std::string_view text, bool blockTime, std::string& error)
{
    const std::optional<double> t = ParseReal(text);
    if (!t) {
        error = "«" + std::string(text) + "» не является числом";
        return std::nullopt;
    }
    if (blockTime ? !(*t > 0) : !(*t >= 0)) {
        error = blockTime ? "время блокирования t_бл должно быть больше нуля"
                          : "время начала эвакуации t_нэ не может быть отрицательным";
        return std::nullopt;
    }
    return t;
}

bool ExcludesNode(const TScenario& sc, int node) { return Contains(sc.ExcludedNodes, node); }
bool ExcludesArea(const TScenario& sc, int area) { return Contains(sc.ExcludedAreas, area); }

bool Excludes(const TScenario& sc, const ElementRef& element)
{
    if (element.Kind == ElementKind::Node) return ExcludesNode(sc, element.Number);
    if (element.Kind == ElementKind::Area) return ExcludesArea(sc, element.Number);
    return false;
}

bool SetExcluded(TScenario& sc, const ElementRef& element, bool excluded)
{
    if (element.Kind == ElementKind::Node) return SetMember(sc.ExcludedNodes, element.Number, excluded);
    if (element.Kind == ElementKind::Area) return SetMember(sc.ExcludedAreas, element.Number, excluded);
    return false;
}

const TNodeTimes* NodeTimesOf(const TScenario& sc, int node)
{
    const auto at = std::lower_bound(sc.NodeTimes.begin(), sc.NodeTimes.end(), node,
                                     [](const TNodeTimes& t, int n) { return t.Node < n; });
    return at != sc.NodeTimes.end() && at->Node == node ? &*at : nullptr;
}

TNodeTimes& EditNodeTimes(TScenario& sc, int node)
{
    auto at = std::lower_bound(sc.NodeTimes.begin(), sc.NodeTimes.end(), node,
                               [](const TNodeTimes& t, int n) { return t.Node < n; });
    if (at == sc.NodeTimes.end() || at->Node != node) at = sc.NodeTimes.insert(at, TNodeTimes{.Node = node});
    return *at;
}

void EraseNodeTimes(TScenario& sc, int node)
{
    std::erase_if(sc.NodeTimes, [node](const TNodeTimes& t) { return t.Node == node; });
}

void ForgetInScenarios(TPipeLine& s, const std::vector<int>& nodes, const std::vector<int>& areas)
{
    for (TScenario& sc : s.Scenarios) {
        Renumber(sc.ExcludedAreas, areas, [&](int a) {
            sc.Notes.push_back("Участок №" + AreaLabel(s, s.Areas[a]) + ", исключенный в сценарии, удален из схемы.");
        });
        Renumber(sc.ExcludedNodes, nodes, [&](int n) {
            sc.Notes.push_back("Узел №" + NodeLabel(s, n) + " (" + NodeWord(s.Nodes[n]) +
                               "), исключенный в сценарии, удален из схемы.");
        });
        std::size_t to = 0;
        for (TNodeTimes& t : sc.NodeTimes) {
            const int n = NumberAfter(nodes, t.Node);
            if (n == 0) {
                if (t.StartDelay || t.BlockTime)
                    sc.Notes.push_back("Узел №" + NodeLabel(s, t.Node) + " (" + NodeWord(s.Nodes[t.Node]) +
                                       ") с заданными в сценарии временами удален из схемы.");
                continue;
            }
            t.Node = n;
            sc.NodeTimes[to++] = t;
        }
        sc.NodeTimes.resize(to);
    }
}

void SplitInScenarios(TPipeLine& s, int area, int added)
{
    for (TScenario& sc : s.Scenarios)
        if (ExcludesArea(sc, area)) SetMember(sc.ExcludedAreas, added, true);
}

}  // namespace stelmar
