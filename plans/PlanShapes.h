#pragma once

// Curves of drawings that have no exact form in a PlanDrawing, as points,
// and the plain geometry that places blocks.

#include <vector>

#include "plans/PlanDrawing.h"

namespace stelmar {

// x' = A·x + B·y + E, y' = C·x + D·y + F.
struct PlanTransform {
    double A = 1, B = 0, C = 0, D = 1, E = 0, F = 0;

    PlanPoint operator()(PlanPoint p) const { return {A * p.X + B * p.Y + E, C * p.X + D * p.Y + F}; }
    // A direction: the linear part only.
    PlanPoint Linear(PlanPoint v) const { return {A * v.X + B * v.Y, C * v.X + D * v.Y}; }
    PlanTransform Then(const PlanTransform& outer) const;  // this, then outer
    static PlanTransform Move(double dx, double dy) { return {1, 0, 0, 1, dx, dy}; }
    static PlanTransform Rotate(double radians);
    static PlanTransform Stretch(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
};

// A B-spline of `degree` over its control points (`weights` empty or one per
// point) and knots, as points along it; knots that do not fit the points
// are replaced by a uniform clamped vector.
std::vector<PlanPoint> SplinePoints(int degree, const std::vector<PlanPoint>& control, const std::vector<double>& weights,
                                    std::vector<double> knots);

// The points of the circular arc from `from` to `to` whose bulge (the
// tangent of a quarter of its angle, negative clockwise) is `bulge`,
// excluding `from`, including `to`; just `to` for a straight segment.
void AppendBulge(std::vector<PlanPoint>& points, PlanPoint from, PlanPoint to, double bulge);

// 0xRRGGBB of the AutoCAD colour index 1..255; 7 (white on black) is black
// on the white canvas.
PlanColor IndexColor(int index);

}  // namespace stelmar
