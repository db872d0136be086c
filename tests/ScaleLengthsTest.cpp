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
