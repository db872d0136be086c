#include "calc/MovementTables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stelmar {
namespace {

constexpr double kEps = 1e-9;

// Densities of the table rows; groups 4 and 8 stop at 0.5.
std::vector<double> RowDensities(int group)
{
    std::vector<double> d = {0.01, 0.05, 0.1, 0.2, 0.3, 0.4, 0.5};
    if (group != 4 && group != 8) d.insert(d.end(), {0.6, 0.7, 0.8, 0.9});
    return d;
}

TEST(MovementTablesTest, ForwardLookupByDensity)
{
    EXPECT_DOUBLE_EQ(SpeedByDensity(0, 0.01), 100);
    EXPECT_DOUBLE_EQ(IntensityByDensity(0, 0.01), 1);
    EXPECT_DOUBLE_EQ(SpeedByDensity(0, 0.001), 100);
    EXPECT_DOUBLE_EQ(IntensityByDensity(0, 0), 1);
    EXPECT_DOUBLE_EQ(SpeedByDensity(0, 0.05), 100);
    EXPECT_DOUBLE_EQ(IntensityByDensity(0, 0.05), 5);

    EXPECT_NEAR(SpeedByDensity(0, 0.35), 43.5, kEps);
    EXPECT_NEAR(IntensityByDensity(0, 0.35), 15.05, kEps);

    // Above the tabulated densities: the limit row.
    EXPECT_DOUBLE_EQ(SpeedByDensity(0, 0.95), 15);
    EXPECT_DOUBLE_EQ(IntensityByDensity(0, 0.95), 13.5);
    EXPECT_DOUBLE_EQ(SpeedByDensity(4, 0.6), 9.19);
    EXPECT_DOUBLE_EQ(IntensityByDensity(4, 0.6), 4.6);
    EXPECT_DOUBLE_EQ(IntensityByDensity(8, 5.0), 3.77);
    // Interpolation in another group's block.
    EXPECT_NEAR(IntensityByDensity(9, 0.15), (6.89 + 10.33) / 2, kEps);
}

TEST(MovementTablesTest, InverseLookupByIntensity)
{
    EXPECT_DOUBLE_EQ(SpeedByIntensity(1, 0, 0.5), 100);
    EXPECT_NEAR(SpeedByIntensity(1, 0, 16.5), 33, kEps);
    EXPECT_EQ(SpeedByIntensity(1, 0, 16.51), 0);
    // Matched on the rising part: 14.1 is row 4, not the falling row 7.
    EXPECT_NEAR(SpeedByIntensity(1, 0, 14.1), 47, kEps);
    EXPECT_NEAR(SpeedByIntensity(4, 0, 19.6), 33, kEps);
    EXPECT_EQ(SpeedByIntensity(4, 0, 19.61), 0);
    EXPECT_EQ(SpeedByIntensity(2, 0, 16.01), 0);
    EXPECT_EQ(SpeedByIntensity(3, 0, 11.01), 0);
    // Group 4 stairs stop at row 3; the −1 rows after it match nothing.
    EXPECT_NEAR(SpeedByIntensity(2, 4, 5.2), 25.98, kEps);
    EXPECT_EQ(SpeedByIntensity(2, 4, 5.21), 0);

    // On the rising part of each group's horizontal q column the inverse
    // lookup gives back the forward speed.
    for (int g = 0; g < kGroupCount; ++g) {
        double peak = -1;
        for (double d : RowDensities(g)) {
            const double q = IntensityByDensity(g, d);
            if (q <= peak) break;
            peak = q;
            EXPECT_NEAR(SpeedByIntensity(1, g, q), SpeedByDensity(g, d), kEps) << g << " " << d;
        }
    }
}

TEST(MovementTablesTest, LimitValues)
{
    const double speeds[] = {15, 8, 11, 15, 8, 11};
    const double intensities[] = {13.5, 7.2, 9.9, 8.5, 7.2, 9.9};
    for (int k = 1; k <= 6; ++k) {
        EXPECT_DOUBLE_EQ(LimitSpeed(k, 0), speeds[k - 1]);
        EXPECT_DOUBLE_EQ(LimitIntensity(k, 0, 1.0 + (k == 4)), intensities[k - 1]);
    }
    EXPECT_NEAR(LimitIntensity(4, 0, 1.2), 7.0, kEps);
    EXPECT_DOUBLE_EQ(LimitIntensity(4, 0, 1.6), 8.5);
    EXPECT_DOUBLE_EQ(LimitIntensity(4, 1, 1.2), 9.84);

    // The limit is each column's last tabulated row: row 6 for group 8 on
    // every kind, row 3 for group 4 on stairs and ramps.
    EXPECT_DOUBLE_EQ(LimitSpeed(2, 8), 3.18);
    EXPECT_DOUBLE_EQ(LimitIntensity(2, 8, 1), 1.59);
    EXPECT_DOUBLE_EQ(LimitSpeed(3, 8), 5.41);
    EXPECT_DOUBLE_EQ(LimitIntensity(6, 8, 1), 2.7);
    EXPECT_DOUBLE_EQ(LimitIntensity(4, 8, 1), 4.19);
    EXPECT_DOUBLE_EQ(LimitSpeed(5, 4), 25.98);
    EXPECT_DOUBLE_EQ(LimitIntensity(3, 4, 1), 3.81);
    EXPECT_DOUBLE_EQ(LimitIntensity(4, 4, 1), 2.37);
    EXPECT_DOUBLE_EQ(LimitSpeed(6, 9), 7.06);
}

TEST(MovementTablesTest, UntabulatedAndOutOfRange)
{
    for (int kind : {2, 3}) {
        EXPECT_FALSE(GroupCoversPathKind(3, kind));
        EXPECT_EQ(SpeedByIntensity(kind, 3, 0.1), 0);
        EXPECT_EQ(SpeedByIntensity(kind, 3, -5), 0);
        EXPECT_EQ(LimitIntensity(kind, 3, 1), -1);
        EXPECT_EQ(LimitSpeed(kind, 3), -1);
    }
    EXPECT_TRUE(GroupCoversPathKind(3, 1));
    EXPECT_TRUE(GroupCoversPathKind(4, 2));
    EXPECT_TRUE(GroupCoversPathKind(0, 6));

    for (int group : {-1, 10}) {
        EXPECT_FALSE(GroupCoversPathKind(group, 1));
        EXPECT_EQ(SpeedByDensity(group, 0.3), -1);
        EXPECT_EQ(IntensityByDensity(group, 0.3), -1);
        EXPECT_EQ(SpeedByIntensity(1, group, 5), 0);
        EXPECT_EQ(LimitIntensity(4, group, 1), -1);
        EXPECT_EQ(LimitSpeed(1, group), -1);
        EXPECT_EQ(GroupName(group), "");
    }
    for (int kind : {0, 7}) {
        EXPECT_FALSE(GroupCoversPathKind(0, kind));
        EXPECT_EQ(SpeedByIntensity(kind, 0, 5), 0);
        EXPECT_EQ(LimitIntensity(kind, 0, 1), -1);
        EXPECT_EQ(LimitSpeed(kind, 0), -1);
    }
}

TEST(MovementTablesTest, Names)
{
    std::string name = "прежнее";
    PathKindName(0, name);
    PathKindName(7, name);
    EXPECT_EQ(name, "прежнее");

    PathKindName(1, name);
    EXPECT_EQ(name, "Горизонтальный\xC2\xA0путь");
    PathKindName(4, name);
    EXPECT_EQ(name, "Дверной\xC2\xA0проем");
    PathKindName(6, name);
    EXPECT_EQ(name, "Пандус\xC2\xA0вверх");

    EXPECT_EQ(GroupName(0), "Без ограничений мобильности");
    EXPECT_EQ(GroupName(3), "Группа маломобильности M4");  // Latin M
    EXPECT_EQ(GroupName(8), "Слепые и слабовидящие люди(специализированные дома инвалидов)");
}

}  // namespace
}  // namespace stelmar
