#pragma once

// The condition of safe evacuation, checked on a calculated scenario:
//
//     t_р + t_нэ ≤ 0,8 · t_бл  and  t_ск ≤ 6 мин
//
// for the people of every input: t_р is the time at which the flow that
// carries them leaves through its exit, t_нэ the time from the start of
// the fire to the start of the evacuation, t_бл the time in which the fire
// blocks the route, t_ск the longest accumulation on the route. A junction
// or an exit with a t_бл of its own is a check point: every flow passing
// it must have passed it (the time its last person did, plus the largest
// t_нэ of the people in it) within 0,8 of that t_бл.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calc/ScenarioScheme.h"
#include "model/Scheme.h"

namespace stelmar {

// The longest accumulation the condition allows, min.
inline constexpr double kMaxAccumulationTime = 6;

enum class Verdict : std::uint8_t {
    NotChecked,  // no t_бл given
    Met,
    Failed,
};

struct InputCheck {
    int Node = 0;  // in the drawn scheme
    std::string Label;
    std::int32_t People = 0;
    double EvacuationTime = 0;        // t_р
    double StartDelay = 0;            // t_нэ
    std::optional<double> BlockTime;  // t_бл
    double Allowed = 0;               // 0,8·t_бл
    double Total = 0;                 // t_р + t_нэ
    double AccumTime = 0;             // t_ск
    bool TimeMet = true;              // t_р + t_нэ ≤ 0,8·t_бл
    bool AccumulationMet = true;      // t_ск ≤ 6 мин
    Verdict Result = Verdict::NotChecked;
};

struct PointCheck {
    int Node = 0;  // in the drawn scheme
    std::string Label;
    int Flow = 0;  // as the report numbers flows
    std::int32_t People = 0;
    double PassTime = 0;    // when the flow's last person passed the node
    double StartDelay = 0;  // the largest t_нэ of the people in the flow
    double BlockTime = 0;
    double Allowed = 0;
    double Total = 0;
    Verdict Result = Verdict::Met;
};

struct SafetyCheck {
    std::vector<InputCheck> Inputs;  // in node order
    std::vector<PointCheck> Points;  // by node, then by step
    // Failed when a row failed; otherwise NotChecked when an input has no
    // t_бл; otherwise Met.
    Verdict Result = Verdict::NotChecked;
    // The largest share of an allowed time used by a checked row:
    // (t_р + t_нэ) / (0,8·t_бл), or t_ск / 6 мин. Above 1 when failed.
    double Load = 0;
};

// `built` must hold the results of a calculation that computed the
// accumulation times (VrSk on).
SafetyCheck CheckSafeEvacuation(const ScenarioScheme& built, const TScenario& scenario);

// "t_р + t_нэ = 5,2 мин > 0,8·t_бл = 4,8 мин; t_ск = 0 мин ≤ 6 мин" and
// the like; for a row without t_бл, why it was not checked.
std::string ReasonText(const InputCheck& c, char separator);
std::string ReasonText(const PointCheck& c, char separator);
// "выполняется", "не выполняется", "не проверяется".
const char* VerdictText(Verdict v);

}  // namespace stelmar
