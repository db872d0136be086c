#include "service/WorkEstimate.h"

#include <algorithm>
#include <vector>

#include "calc/SchemeGraph.h"

namespace stelmar {

namespace {

// Flows of different mobility groups stay apart when they merge: an area
// carries at most one flow per group (groups 0 … 9).
constexpr std::int64_t kGroupCount = 10;

// Saturating sum: the bound only has to be compared with a limit.
std::int64_t Add(std::int64_t a, std::int64_t b)
{
    constexpr std::int64_t kCap = INT64_MAX / 4;
    return std::min(kCap, a + std::min(kCap, b));
}

std::int64_t Mul(std::int64_t a, std::int64_t b)
{
    constexpr std::int64_t kRoot = 1'000'000'000;  // a, b below this keep the product in range
    return std::min(a, kRoot) * std::min(b, kRoot);
}

}  // namespace

std::int64_t EstimateCalculationWork(const TPipeLine& s)
{
    const int nodes = NodeCount(s);
    const SchemeGraph graph(s);
    bool groups = false;
    for (int i = 1; i <= nodes && !groups; ++i) groups = s.Nodes[i].Kind == kInput && s.Nodes[i].Mobility != 0;

    // Breadth first from every exit: the area by which each node drains.
    std::vector<std::int32_t> downArea(nodes + 1, 0);
    std::vector<std::uint8_t> seen(nodes + 1, 0);
    std::vector<std::int32_t> order;
    order.reserve(nodes);
    for (int e = 1; e <= nodes; ++e) {
        if (s.Nodes[e].Kind != kExit || seen[e]) continue;
        seen[e] = 1;
        order.push_back(e);
        for (std::size_t head = order.size() - 1; head < order.size(); ++head) {
            const int p = order[head];
            for (const AreaEnd& a : graph.At(p)) {
                if (seen[a.Other]) continue;
                seen[a.Other] = 1;
                downArea[a.Other] = a.Area;
                order.push_back(a.Other);
            }
        }
    }

    // From the inputs towards the exits: flows[p] bounds the flow states
    // that arrive at p, every area passes on at most what arrives at its
    // upstream end, and each step lists all arriving states.
    std::vector<std::int64_t> flows(nodes + 1, 0);
    std::int64_t work = 0;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const int u = *it;
        if (downArea[u] == 0) continue;
        const TArea& a = s.Areas[downArea[u]];
        const int d = a.Node1 == u ? a.Node2 : a.Node1;
        const std::int64_t arriving = flows[u];
        std::int64_t leaving = 0;
        if (s.Nodes[u].Kind == kInput || s.Nodes[d].Kind == kInput) leaving = 1;
        else if (s.RazVr) leaving = arriving;
        else leaving = std::min(arriving, groups ? kGroupCount : 1);
        work = Add(work, Mul(std::max<std::int64_t>(leaving, 1), arriving + 1));
        if (s.RazVr) work = Add(work, Mul(arriving, arriving) / 2);
        flows[d] = Add(flows[d], leaving);
    }
    return work;
}

}  // namespace stelmar
