#pragma once

// A node or an area of the scheme named by its number, and the floor it
// is seen on: what a finding of the checks is about, what the drawing
// marks.

#include <cstdint>

#include "model/Scheme.h"

namespace stelmar {

enum class ElementKind : std::uint8_t { None, Node, Area };

struct ElementRef {
    ElementKind Kind = ElementKind::None;
    int Number = 0;
    int Floor = 0;  // a node's floor; an area's is the floor of its first end
    bool operator==(const ElementRef&) const = default;
};

inline ElementRef NodeRef(const TPipeLine& s, int node) { return {ElementKind::Node, node, s.Nodes[node].Etag}; }

inline ElementRef AreaRef(const TPipeLine& s, int area)
{
    return {ElementKind::Area, area, s.Nodes[s.Areas[area].Node1].Etag};
}

}  // namespace stelmar
