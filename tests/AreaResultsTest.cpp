#include <gtest/gtest.h>

#include "calc/AreaResults.h"
#include "calc/FlowCalculation.h"
#include "calc/Validation.h"
#include "tests/TestSchemes.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

std::vector<AreaResult> Calculated(TPipeLine& s)
{
    EXPECT_TRUE(ValidateScheme(s).empty());
    Calculate(s, ',');
    return AreaResults(s);
}

}  // namespace

TEST(AreaResults, MovementOfEachArea)
{
    // 10 people on 20 × 2 m: D = 0,025, free speed 100. 60 people on 2 m:
    // D = 0,15, slowed to 70. Then a 0,6 m doorway that cannot pass them.
    TPipeLine s;
    s.Precision = 2;
    const int j = AddJunction(s);
    const int e = AddExit(s);
    const int free = Join(s, AddInput(s, 10), j, 20, 2);
    const int slowed = Join(s, AddInput(s, 60), j, 20, 2);
    const int door = Join(s, j, e, 0, 0.6, kDoorway);
    std::vector<AreaResult> r = Calculated(s);
    // An area drawn after the calculation has no results yet.
    const int unused = Join(s, AddJunction(s), AddJunction(s), 5, 1);
    r = AreaResults(s);
    ASSERT_EQ(r.size(), 5u);

    EXPECT_EQ(r[free].Movement, AreaMovement::Free);
    EXPECT_DOUBLE_EQ(r[free].Speed, 100);
    EXPECT_DOUBLE_EQ(r[free].Density, 0.02) << "D = 10·0,1/40 = 0,025 rounded to 2 decimals, ties to even";
    EXPECT_EQ(r[slowed].Movement, AreaMovement::Slowed);
    EXPECT_DOUBLE_EQ(r[slowed].Speed, 70);
    EXPECT_EQ(r[door].Movement, AreaMovement::Bottleneck);
    EXPECT_GT(r[door].DelayTime, 0);
    EXPECT_EQ(r[door].AccumTime, 0);
    EXPECT_EQ(r[door].People, 70);
    EXPECT_DOUBLE_EQ(r[door].TotalTime, s.EvacuationTime);
    EXPECT_DOUBLE_EQ(r[door].Density, 0) << "no density on a continuation";
    EXPECT_EQ(r[unused].Movement, AreaMovement::Unused);
    EXPECT_EQ(r[unused].Steps, 0);

    s.VrSk = true;
    Calculate(s, ',');
    EXPECT_EQ(AreaResults(s)[door].Movement, AreaMovement::Accumulation);
}

TEST(AreaResults, SeveralFlowsOnOneAreaGiveTheMostHinderedAndTheirSum)
{
    TPipeLine s = GroupMergeAtDoorway(false);
    const std::vector<AreaResult> r = Calculated(s);
    // Both groups' flows pass the doorway, each delayed.
    EXPECT_EQ(r[3].Steps, 2);
    EXPECT_EQ(r[3].People, 75);
    EXPECT_EQ(r[3].Movement, AreaMovement::Bottleneck);
    EXPECT_DOUBLE_EQ(r[3].DelayTime, 1);
    EXPECT_DOUBLE_EQ(r[3].TotalTime, s.EvacuationTime);
    // q and v of the flow that decides: the one delayed longest ends last.
    EXPECT_DOUBLE_EQ(r[3].Intensity, 6.25);
    EXPECT_DOUBLE_EQ(r[3].Speed, 15);
    // М2 moves at its own free speed of 30 at D = 0,1.
    EXPECT_EQ(r[2].Movement, AreaMovement::Free);
    EXPECT_EQ(r[1].Movement, AreaMovement::Slowed);
    // The group without restriction leaves last, but its time comes from
    // the М2 flow it waits for in the stream (0,33 + 1,07 = 1,4).
    EXPECT_TRUE(r[3].Critical);
    EXPECT_TRUE(r[2].Critical);
    EXPECT_FALSE(r[1].Critical);
}

TEST(AreaResults, CriticalPathFollowsTheLatestFlowBackToItsInput)
{
    // Two branches of different length merge at junction j: the long one
    // arrives last and so lies on the way that gives t_p; a third area
    // leads from another input straight to a second exit, quickly.
    TPipeLine s;
    s.Precision = 2;
    const int j = AddJunction(s);
    const int k = AddJunction(s);
    const int e = AddExit(s);
    const int shortBranch = Join(s, AddInput(s, 20), j, 5, 2);
    const int longFirst = Join(s, AddInput(s, 20), k, 40, 2);
    const int longSecond = Join(s, k, j, 40, 2);
    const int last = Join(s, j, e, 10, 2);
    const int elsewhere = Join(s, AddInput(s, 5), AddExit(s), 2, 2);
    const std::vector<AreaResult> r = Calculated(s);
    EXPECT_TRUE(r[last].Critical);
    EXPECT_TRUE(r[longSecond].Critical);
    EXPECT_TRUE(r[longFirst].Critical);
    EXPECT_FALSE(r[shortBranch].Critical);
    EXPECT_FALSE(r[elsewhere].Critical);
}

TEST(AreaResults, WithoutResultsEveryAreaIsUnused)
{
    TPipeLine s = Corridor();
    const std::vector<AreaResult> r = AreaResults(s);
    ASSERT_EQ(r.size(), 3u);
    for (const AreaResult& a : r) EXPECT_EQ(a.Movement, AreaMovement::Unused);
    // Records naming no area of the scheme are passed over.
    TReport stray;
    stray.Area = 7;
    stray.People = 3;
    s.Reports = {TReport{}, stray};
    EXPECT_EQ(AreaResults(s)[1].Steps, 0);
    EXPECT_EQ(MovementName(AreaMovement::Bottleneck), "Узкое место (задержка)");
}
