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

}  // namespace stelmar
