#pragma once

// Fire scenarios: named variants of the one drawn scheme. A scenario is the
// drawn scheme minus the elements it excludes (those the fire blocks), with
// the time the evacuation starts after the fire starts (t_нэ) and the time
// the fire blocks the escape routes (t_бл), which single nodes may give
// otherwise. A scenario holds no copy of the scheme: only the numbers of
// the elements it concerns, kept in step with every renumbering.

#include <optional>
#include <string>
#include <vector>

namespace stelmar {

// The scenario of a project that defines none.
inline constexpr const char* kMainScenarioName = "Основной";

// What a scenario says of one node: for an input, its own t_нэ and t_бл in
// place of the scenario's; for a junction or an exit, the t_бл of the route
// through it (a check point), with no t_нэ of its own.
struct TNodeTimes {
    int Node = 0;
    std::optional<double> StartDelay{};  // t_нэ, min
    std::optional<double> BlockTime{};   // t_бл, min

    bool operator==(const TNodeTimes&) const = default;
};

struct TScenario {
    std::string Name{};  // empty: shown as "Сценарий N"
    double StartDelay = 0;            // t_нэ, min
    std::optional<double> BlockTime{};  // t_бл, min; none: the condition is not checked
    std::vector<int> ExcludedNodes{};   // ascending node numbers
    std::vector<int> ExcludedAreas{};   // ascending area numbers
    std::vector<TNodeTimes> NodeTimes{};  // ascending by node; check points have no t_нэ
    // What edits of the scheme did to the scenario (an excluded element
    // deleted), for the panel; kept through undo, never written to a file.
    std::vector<std::string> Notes{};

    bool operator==(const TScenario&) const = default;
};

}  // namespace stelmar
