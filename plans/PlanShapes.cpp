// Spline and bulge approximation, block placement, the colour index.

#include "plans/PlanShapes.h"

#include <dxflib/dl_codes.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace stelmar {

PlanPoint PlanArc::At(double t) const
{
    const double c = std::cos(t), s = std::sin(t);
    return {Center.X + c * Major.X + s * Minor.X, Center.Y + c * Major.Y + s * Minor.Y};
}

double MetresPerUnit(int units)
{
    switch (units) {
    case 1: return 0.0254;          // inches
    case 2: return 0.3048;          // feet
    case 3: return 1609.344;        // miles
    case 4: return 0.001;           // millimetres
    case 5: return 0.01;            // centimetres
    case 6: return 1;               // metres
    case 7: return 1000;            // kilometres
    case 8: return 0.0254e-6;       // microinches
    case 9: return 0.0254e-3;       // mils
    case 10: return 0.9144;         // yards
    case 11: return 1e-10;          // angstroms
    case 12: return 1e-9;           // nanometres
    case 13: return 1e-6;           // microns
    case 14: return 0.1;            // decimetres
    case 15: return 10;             // decametres
    case 16: return 100;            // hectometres
    default: return 0;
    }
}

PlanTransform PlanTransform::Then(const PlanTransform& o) const
{
    return {o.A * A + o.B * C, o.A * B + o.B * D, o.C * A + o.D * C,
            o.C * B + o.D * D, o.A * E + o.B * F + o.E, o.C * E + o.D * F + o.F};
}

PlanTransform PlanTransform::Rotate(double radians)
{
    const double c = std::cos(radians), s = std::sin(radians);
    return {c, -s, s, c, 0, 0};
}

std::vector<PlanPoint> SplinePoints(int degree, const std::vector<PlanPoint>& control, const std::vector<double>& weights,
                                    std::vector<double> knots)
{
    const int n = static_cast<int>(control.size());
    if (n < 2) return control;
    const int p = std::clamp(degree, 1, n - 1);
    bool valid = static_cast<int>(knots.size()) == n + p + 1;
    for (std::size_t k = 1; valid && k < knots.size(); ++k) valid = knots[k] >= knots[k - 1];
    if (!valid || knots[p] >= knots[n]) {
        knots.assign(n + p + 1, 0);
        for (int k = 0; k <= n + p; ++k) knots[k] = std::clamp(k - p, 0, n - p);
    }
    const bool rational = weights.size() == control.size();
    std::vector<PlanPoint> points;
    constexpr int kPerSpan = 16;
    std::vector<double> wx(p + 1), wy(p + 1), ww(p + 1);
    for (int span = p; span < n; ++span) {
        const double u0 = knots[span], u1 = knots[span + 1];
        if (!(u1 > u0)) continue;
        for (int step = points.empty() ? 0 : 1; step <= kPerSpan; ++step) {
            const double u = u0 + (u1 - u0) * step / kPerSpan;
            // de Boor in homogeneous coordinates.
            for (int j = 0; j <= p; ++j) {
                const int i = span - p + j;
                const double w = rational ? weights[i] : 1;
                wx[j] = control[i].X * w;
                wy[j] = control[i].Y * w;
                ww[j] = w;
            }
            for (int r = 1; r <= p; ++r) {
                for (int j = p; j >= r; --j) {
                    const int i = span - p + j;
                    const double denominator = knots[i + p - r + 1] - knots[i];
                    const double a = denominator > 0 ? (u - knots[i]) / denominator : 0;
                    wx[j] = (1 - a) * wx[j - 1] + a * wx[j];
                    wy[j] = (1 - a) * wy[j - 1] + a * wy[j];
                    ww[j] = (1 - a) * ww[j - 1] + a * ww[j];
                }
            }
            const double w = ww[p] != 0 ? ww[p] : 1;
            points.push_back({wx[p] / w, wy[p] / w});
        }
    }
    return points;
}

void AppendBulge(std::vector<PlanPoint>& points, PlanPoint from, PlanPoint to, double bulge)
{
    const double dx = to.X - from.X, dy = to.Y - from.Y;
    const double chord = std::hypot(dx, dy);
    if (std::abs(bulge) < 1e-9 || chord == 0) {
        points.push_back(to);
        return;
    }
    const double angle = 4 * std::atan(bulge);  // signed sweep
    const double radius = chord / (2 * std::sin(std::abs(angle) / 2));
    // The centre lies left of the chord for a counter-clockwise arc.
    const double h = radius * std::cos(angle / 2) * (bulge > 0 ? 1 : -1);
    const double mx = (from.X + to.X) / 2, my = (from.Y + to.Y) / 2;
    const double cx = mx - dy / chord * h, cy = my + dx / chord * h;
    const double start = std::atan2(from.Y - cy, from.X - cx);
    const int steps = std::clamp(static_cast<int>(std::ceil(std::abs(angle) / (std::numbers::pi / 64))), 2, 128);
    for (int k = 1; k < steps; ++k) {
        const double t = start + angle * k / steps;
        points.push_back({cx + radius * std::cos(t), cy + radius * std::sin(t)});
    }
    points.push_back(to);
}

PlanColor IndexColor(int index)
{
    if (index < 1 || index > 255 || index == 7) return 0;
    const auto channel = [](double v) { return static_cast<PlanColor>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    return channel(dxfColors[index][0]) << 16 | channel(dxfColors[index][1]) << 8 | channel(dxfColors[index][2]);
}

}  // namespace stelmar
