#include "calc/SchemeGraph.h"

namespace stelmar {

SchemeGraph::SchemeGraph(const TPipeLine& s)
{
    const int nodes = NodeCount(s);
    const int areas = AreaCount(s);
    start_.assign(nodes + 2, 0);
    for (int a = 1; a <= areas; ++a) {
        ++start_[s.Areas[a].Node1 + 1];
        ++start_[s.Areas[a].Node2 + 1];
    }
    for (int p = 1; p <= nodes + 1; ++p) start_[p] += start_[p - 1];

    ends_.resize(start_[nodes + 1]);
    std::vector<std::int32_t> fill(start_.begin(), start_.end() - 1);
    for (int a = 1; a <= areas; ++a) {
        const TArea& area = s.Areas[a];
        ends_[fill[area.Node1]++] = {a, area.Node2};
        ends_[fill[area.Node2]++] = {a, area.Node1};
    }
}

}  // namespace stelmar
