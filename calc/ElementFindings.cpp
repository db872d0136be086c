#include "calc/ElementFindings.h"

#include <cstdint>

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
    const SchemeGraph graph(s);
    std::vector<std::uint8_t> seen(s.Nodes.size(), 0);
    std::vector<std::int32_t> part;
    for (int root = 1; root <= NodeCount(s); ++root) {
        if (seen[root]) continue;
        seen[root] = 1;
        part.assign(1, root);
        bool exit = false;
        for (std::size_t head = 0; head < part.size(); ++head) {
            const int p = part[head];
            exit |= s.Nodes[p].Kind == kExit;
            for (const AreaEnd& end : graph.At(p)) {
                if (seen[end.Other]) continue;
                seen[end.Other] = 1;
                part.push_back(end.Other);
            }
        }
        if (!exit)
            for (int p : part) out.Nodes[p] = true;
    }
}

}  // namespace

ElementFindings FindElementFindings(const TPipeLine& s)
{
    ElementFindings out{std::vector<bool>(s.Nodes.size(), false), std::vector<bool>(s.Areas.size(), false)};
    bool withoutExit = false;
    for (const Finding& f : CheckScheme(s)) {
        Mark(f.Element, out);
        Mark(f.Input, out);
        withoutExit |= f.Message == kPartWithoutExit;
    }
    if (withoutExit) MarkPartsWithoutExit(s, out);
    return out;
}

}  // namespace stelmar
