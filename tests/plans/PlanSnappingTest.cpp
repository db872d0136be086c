// Snapping to the crossings of arcs: with lines and with each other, only
// where the arcs' sweeps reach and on the layers shown.

#include <gtest/gtest.h>

#include <cmath>

#include "plans/PlanSnapping.h"

using namespace stelmar;

namespace {

constexpr double kPi = 3.141592653589793;

PlanArc Circle(double x, double y, double r, int layer = 0)
{
    return {.Layer = layer, .Center = {x, y}, .Major = {r, 0}, .Minor = {0, r}, .Start = 0, .Sweep = 2 * kPi};
}

void ExpectSnap(const PlanDrawing& d, const std::vector<bool>& shown, PlanPoint near, PlanPoint expected)
{
    const std::optional<PlanPoint> p = SnapPoint(d, shown, near, 0.3);
    ASSERT_TRUE(p) << near.X << ", " << near.Y;
    EXPECT_NEAR(p->X, expected.X, 1e-9);
    EXPECT_NEAR(p->Y, expected.Y, 1e-9);
}

}  // namespace

TEST(PlanSnapping, ArcsCrossEachOtherWhereTheirSweepsReach)
{
    PlanDrawing d;
    d.Layers = {{"Стены"}, {"Скрытый"}};
    // The ellipse x²/4 + y² = 1 and the circle x² + y² = 2.5 cross at
    // (±√2, ±√0.5); the ellipse is the upper half only.
    d.Arcs.push_back({.Center = {0, 0}, .Major = {2, 0}, .Minor = {0, 1}, .Start = 0, .Sweep = kPi});
    d.Arcs.push_back(Circle(0, 0, std::sqrt(2.5)));
    // Two circles of radius 1 at (10, 0) and (11, 0) cross at (10.5, ±√0.75),
    // one of them on a hidden layer for the second part.
    d.Arcs.push_back(Circle(10, 0, 1));
    d.Arcs.push_back(Circle(11, 0, 1, 1));
    const std::vector<bool> all{true, true};

    ExpectSnap(d, all, {1.5, 0.8}, {std::sqrt(2.0), std::sqrt(0.5)});
    ExpectSnap(d, all, {-1.3, 0.6}, {-std::sqrt(2.0), std::sqrt(0.5)});
    EXPECT_FALSE(SnapPoint(d, all, {1.5, -0.8}, 0.3)) << "below, the ellipse has no arc";
    ExpectSnap(d, all, {10.6, -0.8}, {10.5, -std::sqrt(0.75)});
    EXPECT_FALSE(SnapPoint(d, {true, false}, {10.6, -0.8}, 0.3)) << "the hidden circle crosses nothing";
}
