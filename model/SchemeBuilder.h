#pragma once

// Building a scheme in code, element by element, the way the editor would
// leave it: the example projects, the tests and the benchmarks make their
// schemes with it.

#include <cstdint>
#include <string>

#include "model/Scheme.h"

namespace stelmar {

// A node's own values; the kind and the floor come from the builder.
struct NodeSpec {
    int X = 0;
    int Y = 0;
    std::string Name = kDefaultNodeName;
    std::int32_t People = 0;
    double F = 0.1;
    std::uint8_t Mobility = 0;
};

class SchemeBuilder {
public:
    // Appends to `s`, which must outlive the builder; elements go on floor 1
    // until OnFloor says otherwise. The number of floors is the caller's.
    explicit SchemeBuilder(TPipeLine& s) : s_(s) {}

    SchemeBuilder& OnFloor(int floor);

    // Each returns the number of the new element. A node's saved position
    // (the start of the next drag) is where it is placed.
    int Node(std::uint8_t kind, const NodeSpec& values = {});
    int Input(const NodeSpec& values) { return Node(kInput, values); }
    int Exit(const NodeSpec& values = {}) { return Node(kExit, values); }
    int Junction(const NodeSpec& values = {}) { return Node(kJunction, values); }
    int Area(int from, int to, double length, double width, std::uint8_t kind = kHorizontal);

private:
    TPipeLine& s_;
    std::uint8_t floor_ = 1;
};

}  // namespace stelmar
