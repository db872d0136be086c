// Lengths from a drawing scale: drawn lengths, the scale, filters and
// refusals.

#include <gtest/gtest.h>

#include "model/ScaleLengths.h"
#include "model/SchemeBuilder.h"

namespace stelmar {
namespace {

int Put(TPipeLine& s, int x, int y, const std::string& name = kDefaultNodeName)
{
    return SchemeBuilder(s).Junction({.X = x, .Y = y, .Name = name, .F = 0});
}

void Join(TPipeLine& s, int a, int b, double length, std::uint8_t kind = kHorizontal, int floor = 1)
{
    SchemeBuilder(s).OnFloor(floor).Area(a, b, length, 1.5, kind);
}

TEST(ScaleLengths, WorkedExamples)
{
    TPipeLine s;
    Put(s, 0, 0);
    Put(s, 30, 40);
    Put(s, 60, 80);
    Put(s, 10, 10);
    Join(s, 1, 2, 10);
    Join(s, 1, 3, 0);
    Join(s, 1, 4, 0, kDoorway);
    EXPECT_EQ(DrawnLength(s, s.Areas[1]), 500000);
    EXPECT_EQ(DrawnLength(s, s.Areas[3]), 141421);

    EXPECT_FALSE(ApplyScaleLengths(s, ScaleRequest{}));
    EXPECT_EQ(s.Areas[2].Length, 20.0);
    EXPECT_EQ(s.Areas[3].Length, 2.828);

    s.Areas[1].Length = 7;
    EXPECT_FALSE(ApplyScaleLengths(s, ScaleRequest{}));
    EXPECT_EQ(s.Areas[3].Length, 1.98);
    EXPECT_EQ(s.Areas[3].Width, 1.5);

    // "№" may name the scale area itself, whose length is then only rounded.
    s.Areas[1].Length = 7.00049;
    EXPECT_FALSE(ApplyScaleLengths(s, ScaleRequest{1, LengthTargets::One, 1}));
    EXPECT_EQ(s.Areas[1].Length, 7.0);
}

TEST(ScaleLengths, FiltersOfKindZeroLengthAndFloor)
{
    TPipeLine s;
    s.EtagCount = 2;
    const int origin = Put(s, 0, 0);
    Join(s, origin, Put(s, 50, 0), 10);  // the scale: 0.2 m per pixel
    const std::uint8_t kinds[] = {kHorizontal, kStairsDown, kStairsUp, kDoorway, kRampDown, kRampUp};
    for (std::uint8_t kind : kinds) Join(s, origin, Put(s, 0, 100), 5, kind);
    Join(s, origin, Put(s, 0, 100), 0);
    Join(s, origin, Put(s, 0, 100), 5, kHorizontal, 2);
    auto lengths = [&s] {
        std::vector<double> l;
        for (int i = 2; i <= AreaCount(s); ++i) l.push_back(s.Areas[i].Length);
        return l;
    };

    ScaleRequest all;
    EXPECT_FALSE(ApplyScaleLengths(s, all));
    EXPECT_EQ(lengths(), (std::vector<double>{20, 20, 20, 20, 5, 5, 20, 5}));

    s.Areas[2].Length = 5;
    s.Areas[3].Length = 5;
    s.Areas[8].Length = 0;
    ScaleRequest zeroOnly{.Targets = LengthTargets::AllZero, .ActiveFloorOnly = false};
    EXPECT_FALSE(ApplyScaleLengths(s, zeroOnly));
    EXPECT_EQ(lengths(), (std::vector<double>{5, 5, 20, 20, 5, 5, 20, 5}));

    ScaleRequest stairs{.Horizontal = false, .Doorways = false, .ActiveFloorOnly = false};
    s.Areas[9].Length = 1;
    EXPECT_FALSE(ApplyScaleLengths(s, stairs));
    EXPECT_EQ(lengths(), (std::vector<double>{5, 20, 20, 20, 5, 5, 20, 1}));
}

// The 9 m of a stair between floors stays: the distance between its ends on
// the drawing means nothing, by "Все" as by "№". Every area left out is
// counted by why; the lengths that change carry their old values.
TEST(ScaleLengths, StairsBetweenFloorsAreNeverMeasured)
{
    TPipeLine s;
    s.EtagCount = 2;
    const int a = Put(s, 0, 0);
    const int b = Put(s, 50, 0);
    Join(s, a, b, 10);  // the scale: 0.2 m per pixel
    const int upstairs = SchemeBuilder(s).OnFloor(2).Junction({.X = 4, .Y = 0, .F = 0});
    Join(s, a, upstairs, 9, kStairsUp);     // 2: drawn 4 px, between the floors
    Join(s, b, Put(s, 50, 5), 0, kDoorway);  // 3: 1 m
    Join(s, b, Put(s, 55, 0), 1, kRampUp);   // 4
    Join(s, b, Put(s, 50, 10), 2);           // 5: already 2 m
    Join(s, b, Put(s, 50, 20), 0, kHorizontal, 2);  // 6: drawn on floor 2

    ScaleResult all = MeasureScaleLengths(s, ScaleRequest{});
    ASSERT_FALSE(all.Refusal);
    ASSERT_EQ(all.Lengths.size(), 1u);
    EXPECT_EQ(all.Lengths[0].Area, 3);
    EXPECT_EQ(all.Lengths[0].Length, 1);
    EXPECT_EQ(all.Lengths[0].OldLength, 0);
    EXPECT_EQ(all.LeftOut.AcrossFloors, 1);
    EXPECT_EQ(all.LeftOut.Ramps, 1);
    EXPECT_EQ(all.LeftOut.OtherFloor, 1);
    EXPECT_EQ(all.LeftOut.Unchanged, 1);
    EXPECT_EQ(all.LeftOut.Total(), 4);

    ScaleRequest doorsOff{.Doorways = false, .ActiveFloorOnly = false};
    ScaleResult some = MeasureScaleLengths(s, doorsOff);
    EXPECT_EQ(some.LeftOut.KindNotTicked, 1);
    ASSERT_EQ(some.Lengths.size(), 1u);
    EXPECT_EQ(some.Lengths[0].Area, 6);
    EXPECT_EQ(some.Lengths[0].Length, 4);

    ScaleResult one = MeasureScaleLengths(s, ScaleRequest{.Targets = LengthTargets::One, .Area = 2});
    EXPECT_TRUE(one.Lengths.empty());
    EXPECT_EQ(one.LeftOut.AcrossFloors, 1);
    EXPECT_FALSE(ApplyScaleLengths(s, ScaleRequest{.Targets = LengthTargets::One, .Area = 2}));
    EXPECT_EQ(s.Areas[2].Length, 9);

    // The stair cannot be the scale either.
    const std::optional<std::string> refusal = ApplyScaleLengths(s, ScaleRequest{.ScaleArea = 2});
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find("соединяет разные этажи"), std::string::npos) << *refusal;
    EXPECT_EQ(s.Areas[3].Length, 0);
}

TEST(ScaleLengths, RefusalsChangeNothing)
{
    TPipeLine empty;
    EXPECT_EQ(ApplyScaleLengths(empty, ScaleRequest{}), std::string(kNoAreasToMeasure));

    TPipeLine s;
    Put(s, 40, 40, "A");
    Put(s, 40, 40, "B");
    Put(s, 100, 40);
    Join(s, 1, 2, 10);
    Join(s, 1, 3, 4);
    const std::optional<std::string> refusal = ApplyScaleLengths(s, ScaleRequest{});
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find("A-B"), std::string::npos) << *refusal;
    EXPECT_EQ(s.Areas[1].Length, 10);
    EXPECT_EQ(s.Areas[2].Length, 4);
}

}  // namespace
}  // namespace stelmar
