#pragma once

// Schemes for the tests, built with the scheme builder.

#include <random>

#include "model/SchemeBuilder.h"

namespace stelmar::test {

inline int AddTestNode(TPipeLine& s, std::uint8_t kind, int people = 0, double f = 0.1, std::uint8_t mobility = 0)
{
    return SchemeBuilder(s).Node(kind, {.People = people, .F = f, .Mobility = mobility});
}

inline int AddInput(TPipeLine& s, int people, double f = 0.1, std::uint8_t mobility = 0)
{
    return AddTestNode(s, kInput, people, f, mobility);
}
inline int AddExit(TPipeLine& s) { return AddTestNode(s, kExit); }
inline int AddJunction(TPipeLine& s) { return AddTestNode(s, kJunction); }

inline int Join(TPipeLine& s, int from, int to, double length, double width, std::uint8_t kind = kHorizontal)
{
    return SchemeBuilder(s).Area(from, to, length, width, kind);
}

// Input 1 (at 40, 60) -> junction 2 (140, 60) -> exit 3 "Выход" (240, 120):
// a horizontal path of `firstLength` × 1.5 m, then a doorway 1.2 m wide.
inline TPipeLine Corridor(double firstLength = 12.5, int people = 40)
{
    TPipeLine s;
    SchemeBuilder b(s);
    const int input = b.Input({.X = 40, .Y = 60, .People = people});
    const int junction = b.Junction({.X = 140, .Y = 60});
    const int exit = b.Exit({.X = 240, .Y = 120, .Name = "Выход"});
    b.Area(input, junction, firstLength, 1.5);
    b.Area(junction, exit, 0, 1.2, kDoorway);
    return s;
}

// Mobility groups merging at a narrow doorway: 50 people without
// restriction (input 1) and 25 of group M2 (input 2), f = 0,1 each, come
// over horizontal paths 10 × 2,5 m to junction 3 and leave together through
// a doorway 1 m wide and 1 m long to exit 4. Precision 2, arrival times not
// considered.
inline TPipeLine GroupMergeAtDoorway(bool vrSk)
{
    TPipeLine s;
    s.Precision = 2;
    s.VrSk = vrSk;
    SchemeBuilder b(s);
    const int a = b.Input({.X = 60, .Y = 60, .Name = "А", .People = 50});
    const int m2 = b.Input({.X = 60, .Y = 220, .Name = "Б", .People = 25, .Mobility = 1});
    const int junction = b.Junction({.X = 260, .Y = 140, .Name = "В"});
    const int exit = b.Exit({.X = 400, .Y = 140, .Name = "Выход"});
    b.Area(a, junction, 10, 2.5);
    b.Area(m2, junction, 10, 2.5);
    b.Area(junction, exit, 1, 1, kDoorway);
    return s;
}

// A random valid tree: one exit, junctions inside, inputs at the leaves,
// every area horizontal at the inputs and of any kind elsewhere.
inline TPipeLine RandomTree(unsigned seed, int junctions, int inputs, std::uint8_t maxMobility = 0)
{
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    TPipeLine s;
    const int exit = AddExit(s);
    std::vector<int> inner{exit};
    for (int j = 0; j < junctions; ++j) {
        const int parent = inner[pick(0, static_cast<int>(inner.size()) - 1)];
        const int node = AddJunction(s);
        const auto kind = static_cast<std::uint8_t>(pick(1, 6));
        if (pick(0, 1)) Join(s, node, parent, kind == kDoorway ? 0 : real(1, 40), real(0.6, 3), kind);
        else Join(s, parent, node, kind == kDoorway ? 0 : real(1, 40), real(0.6, 3), kind);
        inner.push_back(node);
    }
    // Every junction needs an upstream input to be more than a dead end.
    std::vector<int> leaves(inner.begin() + 1, inner.end());
    for (int i = 0; i < inputs || !leaves.empty(); ++i) {
        int parent;
        if (!leaves.empty()) {
            parent = leaves.back();
            leaves.pop_back();
        } else {
            parent = inner[pick(0, static_cast<int>(inner.size()) - 1)];
        }
        const auto mobility = static_cast<std::uint8_t>(maxMobility ? pick(0, maxMobility) : 0);
        const int input = AddInput(s, pick(1, 200), real(0.05, 0.3), mobility);
        Join(s, input, parent, real(1, 60), real(0.8, 4));
    }
    return s;
}

}  // namespace stelmar::test
