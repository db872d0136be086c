#include "calc/ScenarioChecks.h"

#include <algorithm>
#include <set>
#include <string>

#include "calc/ScenarioScheme.h"
#include "calc/SchemeGraph.h"
#include "model/Scenarios.h"

namespace stelmar {

namespace {

// Each connected part of the scheme without an exit that holds people:
// its inputs, in node order, for one finding that names them.
std::vector<std::vector<int>> InputsWithoutExit(const TPipeLine& s, std::vector<std::int32_t>& partOf)
{
    std::vector<std::vector<int>> stranded;
    ForEachPart(s, SchemeGraph(s), partOf, [&](std::span<const std::int32_t> part) {
        if (std::any_of(part.begin(), part.end(), [&](int p) { return s.Nodes[p].Kind == kExit; })) return;
        std::vector<int> inputs;
        for (const int p : part)
            if (s.Nodes[p].Kind == kInput) inputs.push_back(p);
        std::sort(inputs.begin(), inputs.end());
        if (!inputs.empty()) stranded.push_back(std::move(inputs));
    });
    return stranded;
}

std::string InputList(const TPipeLine& s, const std::vector<int>& inputs)
{
    std::string list = inputs.size() == 1 ? "входа №" : "входов №";
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (i > 0) list += ", ";
        list += NodeLabel(s, inputs[i]);
    }
    return list;
}

// The findings of one scenario in the drawn scheme's numbering, without
// its name in front.
std::vector<Finding> FindingsOf(const TPipeLine& drawn, int index)
{
    const ScenarioScheme built = BuildScenarioScheme(drawn, ScenarioAt(drawn, index));
    const TPipeLine& s = built.Scheme;
    std::vector<Finding> findings = CheckScheme(s);

    std::vector<std::int32_t> partOf;
    const std::vector<std::vector<int>> stranded = InputsWithoutExit(s, partOf);
    if (!stranded.empty()) {
        // The scheme's own finding names the first part without an exit;
        // when that part holds people, the scenario's finding says more.
        std::erase_if(findings, [&](const Finding& f) {
            if (f.Message != kPartWithoutExit || f.Element.Kind != ElementKind::Node) return false;
            const int part = partOf[f.Element.Number];
            return std::any_of(stranded.begin(), stranded.end(),
                               [&](const std::vector<int>& inputs) { return partOf[inputs[0]] == part; });
        });
        for (const std::vector<int>& inputs : stranded)
            findings.push_back({"Ошибка: в сценарии «" + ScenarioName(drawn, index) + "» у " + InputList(s, inputs) +
                                    " не остается ни одного выхода;",
                                NodeRef(s, inputs[0])});
    }
    for (Finding& f : findings) {
        f.Element = built.Origin(f.Element);
        f.Input = built.Origin(f.Input);
    }
    return findings;
}

std::string Key(const Finding& f)
{
    return f.Message + '\x1f' + std::to_string(static_cast<int>(f.Element.Kind)) + ' ' +
           std::to_string(f.Element.Number) + ' ' + std::to_string(f.Input.Number);
}

void Name(Finding& f, const TPipeLine& s, int index)
{
    f.Message = "Сценарий «" + ScenarioName(s, index) + "»: " + f.Message;
}

}  // namespace

std::vector<Finding> CheckScenario(const TPipeLine& s, int index)
{
    if (s.Scenarios.empty()) return CheckScheme(s);
    std::vector<Finding> findings = FindingsOf(s, index);
    if (ScenarioCount(s) > 1)
        for (Finding& f : findings) Name(f, s, index);
    return findings;
}

std::vector<Finding> CheckScenarios(const TPipeLine& s)
{
    if (s.Scenarios.empty()) return CheckScheme(s);
    const int count = ScenarioCount(s);
    std::vector<std::vector<Finding>> each(static_cast<std::size_t>(count));
    std::vector<std::set<std::string>> keys(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        each[i] = FindingsOf(s, i);
        for (const Finding& f : each[i]) keys[i].insert(Key(f));
    }
    const auto common = [&](const Finding& f) {
        const std::string key = Key(f);
        return std::all_of(keys.begin(), keys.end(), [&](const std::set<std::string>& k) { return k.count(key) > 0; });
    };
    std::vector<Finding> out;
    for (const Finding& f : each[0])
        if (common(f)) out.push_back(f);
    for (int i = 0; i < count; ++i)
        for (Finding& f : each[i]) {
            if (common(f)) continue;
            Name(f, s, i);
            out.push_back(std::move(f));
        }
    return out;
}

}  // namespace stelmar
