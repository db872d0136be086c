#include "calc/ElementFindings.h"

#include <algorithm>
#include <cstdint>

#include "calc/ScenarioChecks.h"
#include "calc/SchemeGraph.h"
#include "calc/Validation.h"

namespace stelmar {
namespace {

void Mark(const ElementRef& element, ElementFindings& out)
{
    if (element.Kind == ElementKind::Node) out.Nodes[element.Number] = true;
    if (element.Kind == ElementKind::Area) out.Areas[element.Number] = true;
}

// The message names only the first part without an exit; the table marks
// the nodes of every such part.
void MarkPartsWithoutExit(const TPipeLine& s, ElementFindings& out)
{
    std::vector<std::int32_t> partOf;
    ForEachPart(s, SchemeGraph(s), partOf, [&](std::span<const std::int32_t> part) {
        if (std::none_of(part.begin(), part.end(), [&](int p) { return s.Nodes[p].Kind == kExit; }))
            for (int p : part) out.Nodes[p] = true;
    });
}

}  // namespace

ElementFindings FindElementFindings(const TPipeLine& s)
{
    ElementFindings out{std::vector<bool>(s.Nodes.size(), false), std::vector<bool>(s.Areas.size(), false)};
    bool withoutExit = false;
    for (const Finding& f : CheckScenarios(s)) {
        Mark(f.Element, out);
        Mark(f.Input, out);
        withoutExit |= f.Message.ends_with(kPartWithoutExit);
    }
    if (withoutExit) MarkPartsWithoutExit(s, out);
    return out;
}

}  // namespace stelmar
