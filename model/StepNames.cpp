#include "model/StepNames.h"

namespace stelmar {

std::string CountGenitive(int count, std::string_view one, std::string_view many)
{
    const bool single = count % 10 == 1 && count % 100 != 11;
    return std::to_string(count) + " " + std::string(single ? one : many);
}

std::string NodeGenitive(const TPipeLine& s, int node) { return "узла " + NodeLabel(s, node); }

std::string AreaGenitive(const TPipeLine& s, int area)
{
    return "участка " + AreaLabel(s, s.Areas[std::size_t(area)]);
}

namespace {

// The one selected element named, or else the count of the elements.
std::string Named(const TPipeLine& s, std::string_view action, int node, int area, int count)
{
    std::string name(action);
    name += ' ';
    if (count == 1 && node > 0) return name + NodeGenitive(s, node);
    if (count == 1 && area > 0) return name + AreaGenitive(s, area);
    return name + CountGenitive(count, "элемента", "элементов");
}

}  // namespace

std::string SelectionStepName(const TPipeLine& s, std::string_view action, int extra)
{
    int count = extra;
    int node = 0;
    int area = 0;
    for (int i = 1; i <= NodeCount(s); ++i)
        if (s.Nodes[std::size_t(i)].Selected) ++count, node = i;
    for (int i = 1; i <= AreaCount(s); ++i)
        if (s.Areas[std::size_t(i)].Selected) ++count, area = i;
    return Named(s, action, node, area, count);
}

std::string DeletionStepName(const TPipeLine& s, std::string_view action)
{
    int extra = 0;
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[std::size_t(i)];
        if (!a.Selected && (s.Nodes[std::size_t(a.Node1)].Selected || s.Nodes[std::size_t(a.Node2)].Selected))
            ++extra;
    }
    return SelectionStepName(s, action, extra);
}

}  // namespace stelmar
