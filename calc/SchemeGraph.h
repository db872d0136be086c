#pragma once

// Adjacency of the scheme's nodes, built once per check or calculation so
// that walks need not scan every area at every node.

#include <cstdint>
#include <span>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

// One end of an area as seen from a node: the area and the node at its
// other end. An area joining a node to itself appears twice at that node.
struct AreaEnd {
    std::int32_t Area;
    std::int32_t Other;
};

class SchemeGraph {
public:
    explicit SchemeGraph(const TPipeLine& s);

    // The areas at node p in ascending area number; for each area the entry
    // for p as its first end comes before the one for p as its second end.
    std::span<const AreaEnd> At(int p) const
    {
        return {ends_.data() + start_[p], ends_.data() + start_[p + 1]};
    }

private:
    std::vector<std::int32_t> start_;  // node p's entries: [start_[p], start_[p + 1])
    std::vector<AreaEnd> ends_;
};

// The connected part of each node (1, 2, … in the order of the parts'
// lowest node numbers), by node number; element 0 unused. Calls
// `visit(nodes)` with each part's nodes once it is complete.
template <typename Visit>
void ForEachPart(const TPipeLine& s, const SchemeGraph& graph, std::vector<std::int32_t>& partOf, Visit visit)
{
    partOf.assign(s.Nodes.size(), 0);
    std::vector<std::int32_t> part;
    std::int32_t parts = 0;
    for (int root = 1; root <= NodeCount(s); ++root) {
        if (partOf[root] != 0) continue;
        partOf[root] = ++parts;
        part.assign(1, root);
        for (std::size_t head = 0; head < part.size(); ++head)
            for (const AreaEnd& end : graph.At(part[head])) {
                if (partOf[end.Other] != 0) continue;
                partOf[end.Other] = parts;
                part.push_back(end.Other);
            }
        visit(std::span<const std::int32_t>(part));
    }
}

}  // namespace stelmar
