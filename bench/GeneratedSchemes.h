#pragma once

// Tree-shaped schemes of a chosen size for the benchmarks: one exit at the
// root, junctions inside, an input at every leaf.

#include <random>
#include <string>

#include "model/ProjectFile.h"
#include "model/SchemeBuilder.h"

namespace stelmar::bench {

// `floors` above 1 spreads the nodes over that many floors at random.
inline TPipeLine GeneratedTree(int areas, unsigned seed = 1, int floors = 1)
{
    std::mt19937 rng(seed);
    TPipeLine s;
    s.EtagCount = static_cast<std::uint8_t>(floors);
    s.Nodes.reserve(areas + 2);
    s.Areas.reserve(areas + 1);
    SchemeBuilder b(s);
    auto node = [&](std::uint8_t kind, int people) {
        const int x = static_cast<int>(rng() % 2000);
        const int y = static_cast<int>(rng() % 2000);
        if (floors > 1) b.OnFloor(1 + static_cast<int>(rng() % static_cast<unsigned>(floors)));
        return b.Node(kind, {.X = x, .Y = y, .People = people});
    };
    auto area = [&](int from, int to, std::uint8_t kind) {
        const double length = kind == kDoorway ? 0 : 2 + rng() % 30;
        const double width = 1 + (rng() % 20) / 10.0;
        b.Area(from, to, length, width, kind);
    };
    static constexpr std::uint8_t kInner[] = {kHorizontal, kHorizontal, kDoorway, kStairsDown, kRampDown};

    std::vector<int> junctions{node(kExit, 0)};
    std::vector<char> hasChild{0};
    const int inner = areas / 2;
    for (int j = 0; j < inner; ++j) {
        const std::size_t parent = rng() % junctions.size();
        const int child = node(kJunction, 0);
        area(child, junctions[parent], kInner[rng() % 5]);
        hasChild[parent] = 1;
        junctions.push_back(child);
        hasChild.push_back(0);
    }
    int inputs = areas - inner;
    for (std::size_t j = 1; j < junctions.size() && inputs > 0; ++j)
        if (!hasChild[j]) {
            area(node(kInput, 1 + static_cast<int>(rng() % 60)), junctions[j], kHorizontal);
            --inputs;
        }
    for (; inputs > 0; --inputs)
        area(node(kInput, 1 + static_cast<int>(rng() % 60)), junctions[rng() % junctions.size()], kHorizontal);
    return s;
}

// Writes the generated scheme to a project file under /tmp once per size.
inline std::string GeneratedProjectFile(int areas)
{
    const std::string path = "/tmp/stelmar-bench-" + std::to_string(areas) + ".stm";
    static std::vector<std::string> written;
    for (const std::string& p : written)
        if (p == path) return path;
    if (SaveProjectFile(GeneratedTree(areas), path, ',')) return {};
    written.push_back(path);
    return path;
}

}  // namespace stelmar::bench
