#pragma once

// Tree-shaped schemes of a chosen size for the benchmarks: one exit at the
// root, junctions inside, an input at every leaf.

#include <algorithm>
#include <cmath>
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

// A building of five floors in sections of its own staircase and exit:
// on every floor two corridors run to the staircase, each room leaves
// through its door into the corridor, the staircase takes the corridors of
// its floor and the flights from above, and the ground floor's landing
// leads to the section's exit. The rooms' people belong to mobility groups
// (most without restriction, some M2, M3, elderly or hospital patients, and
// M4 on the ground floor, where no stairs are taken), so that streams of
// different groups merge in the corridors and on the stairs.
inline TPipeLine GeneratedBuilding(int areas, unsigned seed = 1)
{
    constexpr int kFloors = 5;
    constexpr int kCorridorJunctions = 10;
    constexpr int kRoomsPerJunction = 2;
    // Areas of one section: per floor two corridors of rooms (room and door
    // each), corridor segments and the corridor's door to the landing, a
    // flight down from every floor but the first, and the way out.
    constexpr int kSectionAreas =
        kFloors * 2 * (kCorridorJunctions * (2 * kRoomsPerJunction + 1)) + (kFloors - 1) + 1;
    std::mt19937 rng(seed);
    const auto uniform = [&](int low, int high) { return low + static_cast<int>(rng() % (high - low + 1)); };
    TPipeLine s;
    s.EtagCount = kFloors;
    s.Nodes.reserve(areas + 2);
    s.Areas.reserve(areas + 1);
    SchemeBuilder b(s);
    static constexpr double kProjection[] = {0.1, 0.113, 0.125};
    static constexpr std::uint8_t kUpperGroups[] = {0, 0, 0, 0, 0, 0, 0, 1, 2, 6, 7};
    static constexpr std::uint8_t kGroundGroups[] = {0, 0, 0, 0, 0, 0, 1, 2, 3, 6, 7};

    const int sections = std::max(1, (areas + kSectionAreas / 2) / kSectionAreas);
    const int columns = static_cast<int>(std::ceil(std::sqrt(sections)));
    for (int section = 0; section < sections; ++section) {
        // Sections on a grid of 1,200 × 400 pixels each; the canvas grows to
        // hold them.
        const int x0 = 100 + (section % columns) * 1200;
        const int y0 = 100 + (section / columns) * 400;
        s.WSpaceG = std::max(s.WSpaceG, x0 + 1300);
        s.WSpaceV = std::max(s.WSpaceV, y0 + 500);
        int landingAbove = 0;
        for (int floor = kFloors; floor >= 1; --floor) {
            b.OnFloor(floor);
            const int landing = b.Junction({.X = x0 + 600, .Y = y0 + 200});
            if (landingAbove != 0) b.Area(landingAbove, landing, 7 + uniform(0, 4) / 2.0, 1.2 + uniform(0, 2) / 10.0, kStairsDown);
            for (int side : {-1, 1}) {
                int next = landing;  // the corridor junction nearer the staircase
                for (int j = 0; j < kCorridorJunctions; ++j) {
                    const int x = x0 + 600 + side * (60 + 50 * j);
                    const int corridor = b.Junction({.X = x, .Y = y0 + 200});
                    if (next == landing)
                        b.Area(corridor, landing, 0, 1.2, kDoorway);
                    else
                        b.Area(corridor, next, 3 + uniform(0, 6) / 2.0, 1.8 + uniform(0, 6) / 10.0);
                    for (int r = 0; r < kRoomsPerJunction; ++r) {
                        const int y = y0 + (r == 0 ? 80 : 320);
                        const std::uint8_t group =
                            floor == 1 ? kGroundGroups[rng() % std::size(kGroundGroups)]
                                       : kUpperGroups[rng() % std::size(kUpperGroups)];
                        std::string name = kDefaultNodeName;
                        if (rng() % 2 == 0)
                            name = "Пом. " + std::to_string(floor) + std::to_string(section) + "-" +
                                   std::to_string(2 * j + r + (side > 0 ? 20 : 0));
                        const int room = b.Input({.X = x, .Y = y,
                                                  .Name = std::move(name),
                                                  .People = uniform(1, 30),
                                                  .F = kProjection[rng() % 3],
                                                  .Mobility = group});
                        const int door = b.Junction({.X = x, .Y = r == 0 ? y0 + 150 : y0 + 250});
                        b.Area(room, door, 3 + uniform(0, 10) / 2.0, 2 + uniform(0, 10) / 5.0);
                        b.Area(door, corridor, 0, 0.9 + uniform(0, 3) / 10.0, kDoorway);
                    }
                    next = corridor;
                }
            }
            landingAbove = landing;
        }
        const int exit = b.OnFloor(1).Exit({.X = x0 + 600, .Y = y0 + 360});
        b.Area(landingAbove, exit, 4 + uniform(0, 4), 1.5 + uniform(0, 5) / 10.0);
    }
    return s;
}

// The two kinds of generated schemes.
enum class Generated { Tree, Building };

inline TPipeLine GeneratedScheme(Generated kind, int areas)
{
    return kind == Generated::Tree ? GeneratedTree(areas) : GeneratedBuilding(areas);
}

// Writes the generated scheme to a project file under /tmp once per kind
// and size.
inline std::string GeneratedProjectFile(int areas, Generated kind = Generated::Tree)
{
    const std::string path = std::string("/tmp/stelmar-bench-") + (kind == Generated::Building ? "building-" : "") +
                             std::to_string(areas) + ".stm";
    static std::vector<std::string> written;
    for (const std::string& p : written)
        if (p == path) return path;
    if (SaveProjectFile(GeneratedScheme(kind, areas), path, ',')) return {};
    written.push_back(path);
    return path;
}

}  // namespace stelmar::bench
