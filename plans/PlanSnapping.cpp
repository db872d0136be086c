// Snapping to the end points and crossings of a plan's lines.

#include "plans/PlanSnapping.h"

#include <cmath>

namespace stelmar {
namespace {

struct Segment {
    PlanPoint A;
    PlanPoint B;
};

bool Near(const Segment& s, PlanPoint p, double radius)
{
    return std::min(s.A.X, s.B.X) - radius <= p.X && p.X <= std::max(s.A.X, s.B.X) + radius &&
           std::min(s.A.Y, s.B.Y) - radius <= p.Y && p.Y <= std::max(s.A.Y, s.B.Y) + radius;
}

std::optional<PlanPoint> Crossing(const Segment& s, const Segment& t)
{
    const double rx = s.B.X - s.A.X, ry = s.B.Y - s.A.Y, qx = t.B.X - t.A.X, qy = t.B.Y - t.A.Y;
    const double cross = rx * qy - ry * qx;
    if (std::abs(cross) < 1e-12 * (std::hypot(rx, ry) * std::hypot(qx, qy))) return std::nullopt;
    const double wx = t.A.X - s.A.X, wy = t.A.Y - s.A.Y;
    const double u = (wx * qy - wy * qx) / cross, v = (wx * ry - wy * rx) / cross;
    if (u < -1e-9 || u > 1 + 1e-9 || v < -1e-9 || v > 1 + 1e-9) return std::nullopt;
    return PlanPoint{s.A.X + u * rx, s.A.Y + u * ry};
}

}  // namespace

std::optional<PlanPoint> SnapPoint(const PlanDrawing& d, const std::vector<bool>& shown, PlanPoint near, double radius)
{
    const auto layerShown = [&](int layer) { return layer < 0 || layer >= int(shown.size()) || shown[layer]; };
    std::optional<PlanPoint> best;
    double bestDistance = radius;
    const auto consider = [&](PlanPoint p) {
        const double distance = std::hypot(p.X - near.X, p.Y - near.Y);
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = p;
        }
    };
    // The straight pieces near the point, for their ends and crossings.
    std::vector<Segment> segments;
    for (const PlanPolyline& p : d.Polylines) {
        if (!layerShown(p.Layer)) continue;
        for (std::uint32_t k = 0; k + 1 < p.Count || (p.Closed && k < p.Count && p.Count > 2); ++k) {
            const Segment s{d.Points[p.First + k], d.Points[p.First + (k + 1) % p.Count]};
            if (Near(s, near, radius)) segments.push_back(s);
        }
        if (p.Count == 1) consider(d.Points[p.First]);
    }
    for (const Segment& s : segments) {
        consider(s.A);
        consider(s.B);
    }
    for (const PlanArc& a : d.Arcs) {
        if (!layerShown(a.Layer) || a.Sweep >= 2 * 3.141592653589793 - 1e-9) continue;
        consider(a.At(a.Start));
        consider(a.At(a.Start + a.Sweep));
    }
    if (segments.size() <= 400)
        for (std::size_t i = 0; i < segments.size(); ++i)
            for (std::size_t j = i + 1; j < segments.size(); ++j)
                if (const std::optional<PlanPoint> p = Crossing(segments[i], segments[j])) consider(*p);
    return best;
}

}  // namespace stelmar
