// How the flows moved over each area, the exits' times and the path of the
// flow that gives t_p, from worked examples of the calculation.

#include <gtest/gtest.h>

#include <algorithm>

#include "calc/FlowCalculation.h"
#include "calc/FlowResults.h"
#include "tests/TestSchemes.h"

namespace stelmar {
namespace {

using test::AddExit;
using test::AddInput;
using test::AddJunction;
using test::Join;

// Three inputs of 40 people (f 0.1) over 20 m x 2 m to a junction, then
// 10 m x 2 m to the exit: q = 24 on the last area is above the peak 16.5,
// so it moves at the limit with a delay of 0.19 min.
TPipeLine ThreeInputsMerge(bool accumulation)
{
    TPipeLine s;
    s.Precision = 2;
    s.VrSk = accumulation;
    const int j = AddJunction(s);
    for (int i = 0; i < 3; ++i) Join(s, AddInput(s, 40), j, 20, 2);
    Join(s, j, AddExit(s), 10, 2);
    Calculate(s, ',');
    return s;
}

TEST(FlowResults, ABottleneckAfterAMerge)
{
    const TPipeLine s = ThreeInputsMerge(false);
    const FlowResults r = ResultsOf(s);
    ASSERT_EQ(r.Areas.size(), 5u);
    for (int a = 1; a <= 3; ++a) {
        EXPECT_EQ(r.Areas[a].How, Movement::Slowed) << a;  // D 0.1: v 80 of 100
        EXPECT_EQ(r.Areas[a].Speed, 80);
        EXPECT_EQ(r.Areas[a].Density, 0.1);
        EXPECT_EQ(r.Areas[a].People, 40);
        EXPECT_EQ(r.Areas[a].TotalTime, 0.25);
        EXPECT_EQ(r.Areas[a].Steps.size(), 1u);
    }
    const AreaResult& last = r.Areas[4];
    EXPECT_EQ(last.How, Movement::Bottleneck);
    EXPECT_EQ(last.Intensity, 13.5);
    EXPECT_EQ(last.Speed, 15);
    EXPECT_EQ(last.DelayTime, 0.19);
    EXPECT_EQ(last.AccumTime, 0);
    EXPECT_EQ(last.AreaTime, 0.86);
    EXPECT_EQ(last.TotalTime, 1.11);
    EXPECT_EQ(last.People, 120);
    EXPECT_EQ(r.ExitTimes[5], 1.11);
    EXPECT_EQ(r.ExitTimes[1], -1);
    EXPECT_EQ(r.EvacuationTime, 1.11);
    // The flow of t_p is the merged one: the exit area and all three inputs'.
    std::vector<int> path = r.CriticalAreas;
    std::sort(path.begin(), path.end());
    EXPECT_EQ(path, (std::vector<int>{1, 2, 3, 4}));

    EXPECT_EQ(ResultsOf(ThreeInputsMerge(true)).Areas[4].How, Movement::Accumulation);

    // The three flows of the inputs end in the merge; the merged one leaves
    // by the exit, 80 + 40 people after 30 m.
    const std::vector<FlowSummary> flows = FlowSummaries(s);
    ASSERT_EQ(flows.size(), 4u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(flows[k].People, 40);
        EXPECT_EQ(flows[k].Exit, 0);
        EXPECT_EQ(flows[k].Time, 0.25);
    }
    EXPECT_EQ(flows[3].Number, 4);
    EXPECT_EQ(flows[3].People, 120);
    EXPECT_EQ(flows[3].Length, 10);
    EXPECT_EQ(flows[3].Time, 1.11);
    EXPECT_EQ(flows[3].Exit, 5);
}

TEST(FlowResults, FreeMovementUnusedAreasAndTheSlowerBranch)
{
    TPipeLine s;
    s.Precision = 2;
    s.RazVr = true;
    const int j = AddJunction(s);
    Join(s, AddInput(s, 20), j, 20, 2);   // D 0.05: free movement, at 0.2
    Join(s, AddInput(s, 60), j, 40, 2);   // D 0.075: slowed, arrives later
    const int e = AddExit(s);
    Join(s, j, e, 8, 2);
    const int lone = AddJunction(s);
    Join(s, lone, AddJunction(s), 5, 1);  // no flow reaches it
    Calculate(s, ',');
    const FlowResults r = ResultsOf(s);
    EXPECT_EQ(r.Areas[1].How, Movement::Free);
    EXPECT_EQ(r.Areas[2].How, Movement::Slowed);
    EXPECT_EQ(r.Areas[4].How, Movement::Unused);
    EXPECT_TRUE(r.Areas[4].Steps.empty());
    EXPECT_EQ(r.ExitTimes[e], s.EvacuationTime);
    // The later flow gives t_p: its own input area and the exit area only
    // (the flows do not merge when the later one does not catch up).
    ASSERT_EQ(r.Areas[3].Steps.size(), 2u);
    std::vector<int> path = r.CriticalAreas;
    std::sort(path.begin(), path.end());
    EXPECT_EQ(path, (std::vector<int>{2, 3}));
}

// Flows of two mobility groups pass one doorway: its result holds both,
// the most hindered movement and the sum of the people.
TEST(FlowResults, FlowsOfTwoGroupsOnOneDoorway)
{
    TPipeLine s = test::GroupMergeAtDoorway(false);
    Calculate(s, ',');
    const FlowResults r = ResultsOf(s);
    EXPECT_EQ(r.Areas[3].Steps.size(), 2u);
    EXPECT_EQ(r.Areas[3].People, 75);
    EXPECT_EQ(r.Areas[3].How, Movement::Bottleneck);
    EXPECT_EQ(r.Areas[3].DelayTime, 1);
    EXPECT_EQ(r.Areas[3].TotalTime, s.EvacuationTime);
    EXPECT_EQ(r.Areas[3].Density, 0) << "no density on a continuation";
    // М2 moves at its own free speed of 30 at D = 0,1.
    EXPECT_EQ(r.Areas[2].How, Movement::Free);
    EXPECT_EQ(r.Areas[1].How, Movement::Slowed);
}

TEST(FlowResults, NothingBeforeACalculation)
{
    TPipeLine s;
    Join(s, AddInput(s, 5), AddExit(s), 3, 1);
    FlowResults r = ResultsOf(s);
    EXPECT_TRUE(r.Areas.empty());
    EXPECT_TRUE(r.CriticalAreas.empty());
    // Steps naming no area of the scheme are passed over.
    TReport stray;
    stray.Area = 7;
    stray.People = 3;
    s.Reports = {TReport{}, stray};
    r = ResultsOf(s);
    ASSERT_EQ(r.Areas.size(), 2u);
    EXPECT_TRUE(r.Areas[1].Steps.empty());
}

}  // namespace
}  // namespace stelmar
