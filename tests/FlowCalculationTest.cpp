#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "calc/FlowCalculation.h"
#include "calc/MergePairs.h"
#include "calc/Validation.h"
#include "model/NumberText.h"
#include "tests/TestSchemes.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

TPipeLine Scheme(int precision, bool razVr = false, bool vrSk = false)
{
    TPipeLine s;
    s.Precision = static_cast<std::uint8_t>(precision);
    s.RazVr = razVr;
    s.VrSk = vrSk;
    return s;
}

// Inputs of 40 people (f = 0.1) on horizontal areas 20 m × 2 m to one
// junction, then a horizontal area of `lastLength` × 2 m to the exit.
TPipeLine MergeScheme(int inputs, double lastLength, bool razVr = false, bool vrSk = false)
{
    TPipeLine s = Scheme(2, razVr, vrSk);
    const int j = AddJunction(s);
    const int e = AddExit(s);
    for (int i = 0; i < inputs; ++i) Join(s, AddInput(s, 40), j, 20, 2);
    Join(s, j, e, lastLength, 2);
    return s;
}

}  // namespace

TEST(FlowCalculation, SingleFirstArea)
{
    TPipeLine s = Scheme(2);
    const int in = AddInput(s, 60);
    Join(s, in, AddExit(s), 20, 2);
    ASSERT_TRUE(ValidateScheme(s).empty());

    EXPECT_EQ(Calculate(s, ','), "Итак, общее расчетное время эвакуации = 0,29 мин.");
    ASSERT_EQ(ReportCount(s), 1);
    const TReport& r = s.Reports[1];
    EXPECT_TRUE(r.StartsFlow);
    EXPECT_TRUE(r.FirstArea);
    EXPECT_EQ(r.GroupCode, 1);
    EXPECT_EQ(r.Upstream, 1);
    EXPECT_EQ(r.Downstream, 2);
    EXPECT_TRUE(r.Merged.empty());
    EXPECT_DOUBLE_EQ(r.Density, 0.15);
    EXPECT_DOUBLE_EQ(r.Intensity, 10);
    EXPECT_DOUBLE_EQ(r.Speed, 70);
    EXPECT_DOUBLE_EQ(r.AreaTime, 0.29);
    EXPECT_DOUBLE_EQ(r.TotalTime, 0.29);
    EXPECT_EQ(r.FlowNo, 1);
    EXPECT_EQ(s.FlowCounter, 1);
    ASSERT_EQ(s.ExitTimes.size(), 2u);
    EXPECT_DOUBLE_EQ(s.ExitTimes[1], 0.29);

    s.Nodes[in].People = 40;
    EXPECT_EQ(Calculate(s, '.'), "Итак, общее расчетное время эвакуации = 0.25 мин.");
    EXPECT_DOUBLE_EQ(s.Reports[1].Intensity, 8);
    EXPECT_DOUBLE_EQ(s.Reports[1].Speed, 80);
    EXPECT_EQ(ReportCount(s), 1) << "a new calculation replaces the old results";
}

TEST(FlowCalculation, TwoFlowsMergeIntoANewFlow)
{
    TPipeLine s = MergeScheme(2, 10);
    Calculate(s, ',');
    ASSERT_EQ(ReportCount(s), 3);
    const TReport& last = s.Reports[3];
    EXPECT_TRUE(last.StartsFlow);
    EXPECT_FALSE(last.FirstArea);
    EXPECT_DOUBLE_EQ(last.RawIntensity, 16);
    EXPECT_DOUBLE_EQ(last.Intensity, 16);
    EXPECT_DOUBLE_EQ(last.Speed, 40);
    EXPECT_DOUBLE_EQ(last.AreaTime, 0.25);
    EXPECT_DOUBLE_EQ(last.TotalTime, 0.5);
    EXPECT_EQ(last.People, 80);
    EXPECT_DOUBLE_EQ(last.ProjArea, 0.1);
    EXPECT_EQ(last.ArrivingCount, 2);
    // Exit walk is flow 1, the two branches 2 and 3, the merge 4; the branch
    // with the higher area number is processed first.
    EXPECT_EQ(s.Reports[1].FlowNo, 3);
    EXPECT_EQ(s.Reports[2].FlowNo, 2);
    EXPECT_EQ(last.FlowNo, 4);
    EXPECT_EQ(last.Merged, (std::vector<TMergedFlow>{{3, 8, 2}, {2, 8, 2}}));
    EXPECT_EQ(s.FlowCounter, 4);
    EXPECT_DOUBLE_EQ(s.EvacuationTime, 0.5);
}

TEST(FlowCalculation, IntensityAboveThePeakIsLimitedWithDelay)
{
    for (bool vrSk : {false, true}) {
        TPipeLine s = MergeScheme(3, 10, false, vrSk);
        Calculate(s, ',');
        const TReport& last = s.Reports[ReportCount(s)];
        EXPECT_DOUBLE_EQ(last.RawIntensity, 24);
        EXPECT_DOUBLE_EQ(last.Intensity, 13.5);
        EXPECT_DOUBLE_EQ(last.Speed, 15);
        EXPECT_DOUBLE_EQ(last.DelayTime, 0.19);
        EXPECT_DOUBLE_EQ(last.AreaTime, 0.86);
        EXPECT_DOUBLE_EQ(last.AccumTime, vrSk ? 0.44 : 0);
        EXPECT_DOUBLE_EQ(last.TotalTime, 1.11);
        EXPECT_DOUBLE_EQ(s.EvacuationTime, 1.11);
    }
}

TEST(FlowCalculation, DifferentArrivalTimes)
{
    auto build = [](bool razVr) {
        TPipeLine s = Scheme(2, razVr);
        const int j = AddJunction(s);
        const int e = AddExit(s);
        Join(s, AddInput(s, 40), j, 20, 2);
        Join(s, AddInput(s, 40), j, 40, 2);
        Join(s, j, e, 8, 2);
        return s;
    };
    TPipeLine apart = build(true);
    Calculate(apart, ',');
    ASSERT_EQ(ReportCount(apart), 4);
    for (int i : {3, 4}) {
        EXPECT_FALSE(apart.Reports[i].StartsFlow);
        EXPECT_EQ(apart.Reports[i].People, 40);
    }
    EXPECT_DOUBLE_EQ(apart.Reports[3].TotalTime, 0.48);  // the 40 m branch comes first
    EXPECT_DOUBLE_EQ(apart.Reports[4].TotalTime, 0.35);
    EXPECT_EQ(apart.Reports[3].FlowNo, apart.Reports[1].FlowNo);
    EXPECT_DOUBLE_EQ(apart.EvacuationTime, 0.48);
    EXPECT_EQ(apart.ExitTimes.size(), 3u);

    TPipeLine merged = build(false);
    Calculate(merged, ',');
    const TReport& last = merged.Reports[3];
    EXPECT_TRUE(last.StartsFlow);
    EXPECT_DOUBLE_EQ(last.Intensity, 13);
    EXPECT_DOUBLE_EQ(last.Speed, 53.81);
    EXPECT_DOUBLE_EQ(last.AreaTime, 0.15);
    EXPECT_DOUBLE_EQ(last.TotalTime, 0.55);
}

// The arrival-time rule at its boundaries, worked by hand (precision 2,
// group 0, horizontal paths 2 m wide, so q passes unchanged from area to
// area).
TEST(FlowCalculation, ArrivalTimesAtTheBoundaries)
{
    // Equal arrival times always merge: two inputs of 40 people (f = 0.1)
    // on 20 m: D = 0.1, q = 8, v = 80, both at 0.25; on 10 m S = 32,
    // q = 16, v = 40, t = 0.25, leaving at 0.5, as without the rule.
    TPipeLine equal = MergeScheme(2, 10, true);
    Calculate(equal, ',');
    ASSERT_EQ(ReportCount(equal), 3);
    EXPECT_TRUE(equal.Reports[3].StartsFlow);
    EXPECT_EQ(equal.Reports[3].People, 80);
    EXPECT_DOUBLE_EQ(equal.Reports[3].TotalTime, 0.5);
    EXPECT_EQ(equal.ExitTimes.size(), 2u);

    // A: 100 people on 10 m: D = 0.5, q = 16.5, v = 33, t = R(0.30303) = 0.3.
    // B: `late` people on `late` m: D = 0.05, q = 5, v = 100, t = late/100.
    // On the last 20 m alone A takes R(20/33) = 0.61 and leaves at 0.91;
    // B takes 0.2.
    auto build = [](int late) {
        TPipeLine s = Scheme(2, true);
        const int j = AddJunction(s);
        const int e = AddExit(s);
        Join(s, AddInput(s, 100), j, 10, 2);
        Join(s, AddInput(s, late), j, late, 2);
        Join(s, j, e, 20, 2);
        return s;
    };
    // B, 0.41 later, leaves at R(0.71 + 0.2) = 0.91 too: it catches up, and
    // they merge. S = 33 + 10 = 43, q = 21.5 above the peak: q = 13.5,
    // v = 15; N = 171, f = 0.1, delay = R(17.1 (1/27 - 1/43)) = R(0.23566)
    // = 0.24; t = R(20/15 + 0.24) = R(1.57333) = 1.57; it leaves at
    // R(0.71 + 1.57) = 2.28.
    TPipeLine caught = build(71);
    Calculate(caught, ',');
    ASSERT_EQ(ReportCount(caught), 3);
    const TReport& merged = caught.Reports[3];
    EXPECT_TRUE(merged.StartsFlow);
    EXPECT_EQ(merged.People, 171);
    EXPECT_DOUBLE_EQ(merged.RawIntensity, 21.5);
    EXPECT_DOUBLE_EQ(merged.DelayTime, 0.24);
    EXPECT_DOUBLE_EQ(merged.AreaTime, 1.57);
    EXPECT_DOUBLE_EQ(caught.EvacuationTime, 2.28);

    // One metre more and B leaves at 0.92, after A: they go on apart, each
    // leaving at its own time, rounded (0.3 + 0.61 alone would be a hair
    // below 0.91).
    TPipeLine apart = build(72);
    Calculate(apart, ',');
    ASSERT_EQ(ReportCount(apart), 4);
    std::vector<double> leaving;
    for (int i : {3, 4}) {
        EXPECT_FALSE(apart.Reports[i].StartsFlow);
        leaving.push_back(apart.Reports[i].TotalTime);
    }
    std::sort(leaving.begin(), leaving.end());
    EXPECT_EQ(leaving, (std::vector<double>{0.91, 0.92}));
    EXPECT_EQ(apart.EvacuationTime, 0.92);
}

// Every rounding step on its own, worked by hand.
TEST(FlowCalculation, RoundingStepsWorkedByHand)
{
    // A tie goes to the even neighbour: precision 1, 40 people (f = 0.1) on
    // 20 × 2 m: D = 0.1, q = 8, v = 80, t = 0.25 -> 0.2 (not 0.3).
    TPipeLine tie = Scheme(1);
    Join(tie, AddInput(tie, 40), AddExit(tie), 20, 2);
    EXPECT_EQ(Calculate(tie, ','), "Итак, общее расчетное время эвакуации = 0,2 мин.");
    EXPECT_DOUBLE_EQ(tie.Reports[1].AreaTime, 0.2);

    // Three such flows (at 0.2) merge onto 9.8 × 2 m, precision 1: S = 48,
    // q = 24 above the peak, so q = 13.5 and v = 15. The delay is rounded
    // on its own: R(12 (1/27 - 1/48)) = R(0.19444) = 0.2; then the time on
    // the area R(9.8/15 + 0.2) = R(0.85333) = 0.9 (an unrounded delay
    // would give R(0.84778) = 0.8, an unrounded time 0.85333); it leaves
    // at R(0.2 + 0.9) = 1.1.
    TPipeLine merge = MergeScheme(3, 9.8);
    merge.Precision = 1;
    Calculate(merge, ',');
    const TReport& last = merge.Reports[ReportCount(merge)];
    EXPECT_DOUBLE_EQ(last.DelayTime, 0.2);
    EXPECT_DOUBLE_EQ(last.AreaTime, 0.9);
    EXPECT_DOUBLE_EQ(last.TotalTime, 1.1);
    EXPECT_DOUBLE_EQ(merge.EvacuationTime, 1.1);

    // The total time is rounded after the sum: precision 2, 100 people on
    // 10 × 2 m leave it at R(10/33) = 0.3, then 20 m more take R(20/33) =
    // 0.61; 0.3 + 0.61 is one step of the last digit below 0.91.
    TPipeLine chain = Scheme(2);
    const int j = AddJunction(chain);
    Join(chain, AddInput(chain, 100), j, 10, 2);
    Join(chain, j, AddExit(chain), 20, 2);
    Calculate(chain, ',');
    EXPECT_EQ(chain.Reports[2].AreaTime, 0.61);
    EXPECT_EQ(chain.Reports[2].TotalTime, 0.91);
}

TEST(FlowCalculation, SingleUpstreamKeepsFlowAndNarrowDoorLimits)
{
    TPipeLine s = Scheme(2);
    const int j = AddJunction(s);
    Join(s, AddInput(s, 100), j, 20, 2);
    Join(s, j, AddExit(s), 0, 1.2, kDoorway);
    ASSERT_TRUE(ValidateScheme(s).empty());
    Calculate(s, ',');
    const TReport& door = s.Reports[2];
    EXPECT_FALSE(door.StartsFlow);
    EXPECT_EQ(door.FlowNo, s.Reports[1].FlowNo);
    EXPECT_GT(door.RawIntensity, 19.6);
    EXPECT_DOUBLE_EQ(door.Intensity, 7.0);  // 2.5 + 3.75 · 1.2
    EXPECT_GT(door.DelayTime, 0);
    EXPECT_DOUBLE_EQ(door.AccumTime, 0);
    EXPECT_DOUBLE_EQ(door.AreaTime, door.DelayTime);  // length 0
}

TEST(FlowCalculation, ExitWithTwoAreasWalksEach)
{
    TPipeLine s = Scheme(2);
    const int e = AddExit(s);
    Join(s, AddInput(s, 60), e, 20, 2);
    Join(s, AddInput(s, 40), e, 20, 2);
    Calculate(s, ',');
    EXPECT_EQ(s.FlowCounter, 2);
    EXPECT_EQ(s.Reports[1].FlowNo, 1);
    EXPECT_EQ(s.Reports[2].FlowNo, 2);
    EXPECT_DOUBLE_EQ(s.EvacuationTime, 0.29);
}

TEST(FlowCalculation, MobilityGroupsStaySeparateFlowsInOneStream)
{
    TPipeLine s = Scheme(2);
    const int j = AddJunction(s);
    Join(s, AddInput(s, 40, 0.1, 1), j, 20, 2);  // М2
    Join(s, AddInput(s, 40, 0.1, 0), j, 20, 2);
    Join(s, j, AddExit(s), 10, 2);
    ASSERT_TRUE(ValidateScheme(s).empty());
    Calculate(s, ',');
    ASSERT_EQ(ReportCount(s), 4);
    EXPECT_EQ(s.Reports[1].GroupCode, 1);  // area 2 (group 0) is processed first
    EXPECT_EQ(s.Reports[2].GroupCode, 2);
    EXPECT_DOUBLE_EQ(s.Reports[2].Intensity, 3);  // М2 at D = 0.1
    // The merged stream carries both groups; each group continues as its own flow.
    for (int i : {3, 4}) {
        EXPECT_FALSE(s.Reports[i].StartsFlow);
        EXPECT_EQ(s.Reports[i].People, 40);
        EXPECT_DOUBLE_EQ(s.Reports[i].RawIntensity, 11);  // (8·2 + 3·2) / 2
    }
    EXPECT_EQ(s.Reports[3].GroupCode, 1);
    EXPECT_EQ(s.Reports[4].GroupCode, 2);
    // Both list the whole stream; the other group's flow is not a member.
    EXPECT_EQ(s.Reports[3].Merged, (std::vector<TMergedFlow>{{3, 8, 2}, {0, 3, 2}}));
    EXPECT_EQ(s.Reports[4].Merged, (std::vector<TMergedFlow>{{0, 8, 2}, {2, 3, 2}}));
}

// Worked by hand: А arrives with q = 12 (D = 0,2), Б (М2) with q = 3
// (D = 0,1), both on 2,5 m; the doorway gets S = 12·2,5 + 3·2,5 = 37,5, more
// than either group can pass, so each group's flow is limited and delayed
// by the whole stream of 75 people with f = 0,1:
//   М2: q_пред = 9,84, τз = 7,5 · (1/9,84 − 1/37,5) = 0,56, τск = 7,5/9,84 = 0,76
//   group 0: q_пред = 2,5 + 3,75·1 = 6,25, τз = 7,5 · (1/6,25 − 1/37,5) = 1, τск = 7,5/6,25 = 1,2
TEST(FlowCalculation, MergingGroupsAreDelayedByTheWholeStream)
{
    TPipeLine s = GroupMergeAtDoorway(true);
    ASSERT_TRUE(ValidateScheme(s).empty());
    Calculate(s, ',');
    ASSERT_EQ(ReportCount(s), 4);
    const TReport& m2 = s.Reports[3];
    const TReport& free = s.Reports[4];
    EXPECT_EQ(m2.GroupCode, 2);
    EXPECT_EQ(free.GroupCode, 1);
    for (const TReport* r : {&m2, &free}) {
        EXPECT_EQ(r->Area, 3);
        EXPECT_EQ(r->StreamPeople, 75);
        EXPECT_DOUBLE_EQ(r->StreamProjArea, 0.1);
        EXPECT_DOUBLE_EQ(r->RawIntensity, 37.5);
    }
    EXPECT_EQ(m2.People, 25);
    EXPECT_EQ(free.People, 50);
    EXPECT_DOUBLE_EQ(m2.DelayTime, 0.56);
    EXPECT_DOUBLE_EQ(m2.AccumTime, 0.76);
    EXPECT_DOUBLE_EQ(free.DelayTime, 1);
    EXPECT_DOUBLE_EQ(free.AccumTime, 1.2);
    // The first areas name their own areas.
    EXPECT_EQ(s.Reports[1].Area, 2);
    EXPECT_EQ(s.Reports[2].Area, 1);
}

TEST(FlowCalculation, ResultsDoNotDependOnYieldingDuringLongRuns)
{
    TPipeLine s = RandomTree(7, 3000, 3000);
    ASSERT_GT(AreaCount(s), 5307);
    ASSERT_TRUE(ValidateScheme(s).empty());
    TPipeLine copy = s;
    int calls = 0;
    Calculate(s, ',', [&] { ++calls; });
    Calculate(copy, ',');
    EXPECT_EQ(calls, AreaCount(s) - 5307);
    EXPECT_EQ(s.EvacuationTime, copy.EvacuationTime);
    EXPECT_EQ(ReportCount(s), ReportCount(copy));
}

// Many flows meeting at one area are grouped without comparing every pair;
// the labels must be those that taking every pair in order gives, ties,
// infinite and undefined times included.
TEST(FlowCalculation, MergingPairsOfManyFlowsAsEveryPairInOrder)
{
    const auto everyPair = [](const std::vector<double>& a, const std::vector<double>& b) {
        std::vector<int> label(a.size());
        for (std::size_t j = 0; j < a.size(); ++j) label[j] = static_cast<int>(j);
        for (std::size_t i = 1; i < a.size(); ++i)
            for (std::size_t j = i + 1; j < a.size(); ++j) {
                if (!((a[i] >= a[j] && b[i] <= b[j]) || (a[j] >= a[i] && b[j] <= b[i]))) continue;
                if (label[j] == static_cast<int>(j)) label[j] = label[i];
                else if (label[i] == static_cast<int>(i)) label[i] = label[j];
            }
        return label;
    };
    std::mt19937 rng(11);
    const double inf = std::numeric_limits<double>::infinity();
    for (int round = 0; round < 300; ++round) {
        // Both ways of finding the pairs: every pair, and the index beyond 512.
        const int n = 2 + static_cast<int>(rng() % 900);
        // Few distinct times make ties common; some rounds spread them out.
        const unsigned spread = round % 3 == 0 ? 1000 : 8;
        std::vector<double> arrival(n + 1), leaving(n + 1);
        for (int j = 1; j <= n; ++j) {
            arrival[j] = rng() % spread;
            leaving[j] = arrival[j] + rng() % spread;
            if (rng() % 50 == 0) leaving[j] = inf;
            if (rng() % 80 == 0) arrival[j] = std::nan("");
        }
        std::vector<int> label;
        MergePairs(arrival, leaving, label);
        ASSERT_EQ(label, everyPair(arrival, leaving)) << "round " << round << ", " << n << " flows";
    }
}

TEST(FlowCalculation, PropertiesOfRandomValidSchemes)
{
    int calculated = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        const int precision = 1 + seed % 9;
        TPipeLine s = RandomTree(seed, static_cast<int>(seed % 25), 1 + seed % 7, seed % 3 == 0 ? 9 : 0);
        s.Precision = static_cast<std::uint8_t>(precision);
        s.RazVr = seed % 2 == 0;
        s.VrSk = seed % 4 < 2;
        if (!ValidateScheme(s).empty()) continue;
        ++calculated;
        Calculate(s, '.');

        double largest = 0;
        for (std::size_t i = 1; i < s.ExitTimes.size(); ++i) largest = std::max(largest, s.ExitTimes[i]);
        EXPECT_DOUBLE_EQ(s.EvacuationTime, std::nearbyint(largest * std::pow(10, precision)) / std::pow(10, precision));

        auto decimals = [](double x) {
            const std::string t = FormatReal(x, '.');
            const auto dot = t.find('.');
            return dot == std::string::npos ? 0 : static_cast<int>(t.size() - dot - 1);
        };
        bool groups = false;
        for (const TNode& n : s.Nodes) groups |= n.Kind == kInput && n.Mobility != 0;
        for (int i = 1; i <= ReportCount(s); ++i) {
            const TReport& r = s.Reports[i];
            EXPECT_GT(r.FlowNo, 0);
            EXPECT_LE(r.FlowNo, s.FlowCounter);
            EXPECT_LE(decimals(r.AreaTime), precision) << "seed " << seed;
            EXPECT_LE(decimals(r.DelayTime), precision);
            EXPECT_LE(decimals(r.AccumTime), precision);
            EXPECT_LE(decimals(r.Density), precision);
            EXPECT_LE(decimals(r.RawIntensity), precision);
            if (!groups) {
                EXPECT_LE(decimals(r.TotalTime), precision);
            }
        }
    }
    EXPECT_GT(calculated, 30);
}

TEST(FlowCalculation, MillionAreaChainNeedsNoDeepStack)
{
    TPipeLine s = Scheme(3);
    const int chain = 1'000'000;
    s.Nodes.reserve(chain + 2);
    s.Areas.reserve(chain + 1);
    int previous = AddInput(s, 50);
    for (int i = 1; i < chain; ++i) {
        const int next = AddJunction(s);
        Join(s, previous, next, 1, 2);
        previous = next;
    }
    Join(s, previous, AddExit(s), 1, 2);
    ASSERT_TRUE(ValidateScheme(s).empty());
    Calculate(s, '.');
    EXPECT_EQ(ReportCount(s), chain);
    EXPECT_GT(s.EvacuationTime, 0);
}
