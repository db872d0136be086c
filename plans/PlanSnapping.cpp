// Snapping to the end points and crossings of a plan's lines and arcs.
//
// Only the pieces whose boxes come within the radius of the point can end
// or cross there, so a snap passes once over the drawing and compares just
// those pieces with each other.

#include "plans/PlanSnapping.h"

#include <algorithm>
#include <cmath>

namespace stelmar {
namespace {

constexpr double kTurn = 2 * 3.141592653589793;
// More pieces near the point than this are a hatch or a text drawn in
// lines: their crossings are left out, the end points still count.
constexpr std::size_t kMostCrossed = 400;
// Arcs are crossed with each other by sampling: with more of them near the
// point than this, only their crossings with lines count.
constexpr std::size_t kMostArcsCrossed = 32;
// Samples of a full turn when the crossings of two arcs are bracketed.
constexpr int kTurnSamples = 256;

struct Segment {
    PlanPoint A;
    PlanPoint B;
};

bool Near(const Segment& s, PlanPoint p, double radius)
{
    return std::min(s.A.X, s.B.X) - radius <= p.X && p.X <= std::max(s.A.X, s.B.X) + radius &&
           std::min(s.A.Y, s.B.Y) - radius <= p.Y && p.Y <= std::max(s.A.Y, s.B.Y) + radius;
}

// The box of the whole ellipse is enough: it holds every part of the arc.
bool Near(const PlanArc& a, PlanPoint p, double radius)
{
    const double halfWidth = std::hypot(a.Major.X, a.Minor.X) + radius;
    const double halfHeight = std::hypot(a.Major.Y, a.Minor.Y) + radius;
    return std::abs(p.X - a.Center.X) <= halfWidth && std::abs(p.Y - a.Center.Y) <= halfHeight;
}

bool Full(const PlanArc& a) { return a.Sweep >= kTurn - 1e-9; }

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

// An arc seen from its own axes, in which its ellipse is the unit circle:
// a point of the drawing there, and whether the angle of a point there lies
// on the arc.
class ArcFrame {
public:
    explicit ArcFrame(const PlanArc& a) : arc_(a), det_(a.Major.X * a.Minor.Y - a.Major.Y * a.Minor.X) {}

    // A flattened arc (its axes in one line) has no inside to cross.
    bool Flat() const
    {
        return std::abs(det_) <= 1e-12 * std::hypot(arc_.Major.X, arc_.Major.Y) * std::hypot(arc_.Minor.X, arc_.Minor.Y);
    }
    PlanPoint Local(PlanPoint p) const
    {
        const double x = p.X - arc_.Center.X, y = p.Y - arc_.Center.Y;
        return {(x * arc_.Minor.Y - y * arc_.Minor.X) / det_, (y * arc_.Major.X - x * arc_.Major.Y) / det_};
    }
    // A direction of the drawing there.
    PlanPoint LocalDirection(PlanPoint v) const
    {
        return {(v.X * arc_.Minor.Y - v.Y * arc_.Minor.X) / det_, (v.Y * arc_.Major.X - v.X * arc_.Major.Y) / det_};
    }
    bool Holds(PlanPoint local) const
    {
        if (Full(arc_)) return true;
        const double past = std::remainder(std::atan2(local.Y, local.X) - arc_.Start - arc_.Sweep / 2, kTurn);
        return std::abs(past) <= arc_.Sweep / 2 + 1e-9;
    }
    // Outside the ellipse positive, inside negative.
    double Outside(PlanPoint p) const
    {
        const PlanPoint q = Local(p);
        return q.X * q.X + q.Y * q.Y - 1;
    }

private:
    const PlanArc& arc_;
    double det_;
};

// The crossings of segment `s` with the arc: in the arc's frame, where the
// segment's line meets the unit circle.
template <typename Consider>
void Crossings(const Segment& s, const PlanArc& a, Consider consider)
{
    const ArcFrame frame(a);
    if (frame.Flat()) return;
    const PlanPoint p = frame.Local(s.A);
    const PlanPoint d = frame.LocalDirection({s.B.X - s.A.X, s.B.Y - s.A.Y});
    const double qa = d.X * d.X + d.Y * d.Y, qb = p.X * d.X + p.Y * d.Y, qc = p.X * p.X + p.Y * p.Y - 1;
    const double disc = qb * qb - qa * qc;
    if (qa <= 0 || disc < 0) return;
    const double root = std::sqrt(disc);
    for (const double u : {(-qb - root) / qa, (-qb + root) / qa}) {
        if (u < -1e-9 || u > 1 + 1e-9) continue;
        if (frame.Holds({p.X + u * d.X, p.Y + u * d.Y}))
            consider(PlanPoint{s.A.X + u * (s.B.X - s.A.X), s.A.Y + u * (s.B.Y - s.A.Y)});
    }
}

// The crossings of arcs `a` and `b`: where `b` passes between the outside
// and the inside of `a`'s ellipse, bracketed by samples along `b` and
// narrowed by bisection. Arcs lying on each other have no crossing.
template <typename Consider>
void Crossings(const PlanArc& a, const PlanArc& b, Consider consider)
{
    const ArcFrame frame(a);
    if (frame.Flat()) return;
    const int samples = std::max(8, static_cast<int>(std::ceil(b.Sweep / kTurn * kTurnSamples)));
    const double step = b.Sweep / samples;
    std::vector<double> outside(std::size_t(samples) + 1);
    double largest = 0;
    for (int i = 0; i <= samples; ++i) {
        outside[i] = frame.Outside(b.At(b.Start + i * step));
        largest = std::max(largest, std::abs(outside[i]));
    }
    if (largest < 1e-9) return;
    for (int i = 0; i < samples; ++i) {
        if ((outside[i] < 0) == (outside[i + 1] < 0)) continue;
        double low = b.Start + i * step, high = low + step;
        const bool lowInside = outside[i] < 0;
        for (int k = 0; k < 60 && low < high; ++k) {
            const double mid = (low + high) / 2;
            ((frame.Outside(b.At(mid)) < 0) == lowInside ? low : high) = mid;
        }
        const PlanPoint p = b.At((low + high) / 2);
        if (frame.Holds(frame.Local(p))) consider(p);
    }
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
    // The straight pieces and the arcs near the point, for their ends and
    // crossings.
    std::vector<Segment> segments;
    for (const PlanPolyline& p : d.Polylines) {
        if (!layerShown(p.Layer)) continue;
        for (std::uint32_t k = 0; k + 1 < p.Count || (p.Closed && k < p.Count && p.Count > 2); ++k) {
            const Segment s{d.Points[p.First + k], d.Points[p.First + (k + 1) % p.Count]};
            if (Near(s, near, radius)) segments.push_back(s);
        }
        if (p.Count == 1) consider(d.Points[p.First]);
    }
    std::vector<const PlanArc*> arcs;
    for (const PlanArc& a : d.Arcs)
        if (layerShown(a.Layer) && Near(a, near, radius)) arcs.push_back(&a);

    for (const Segment& s : segments) {
        consider(s.A);
        consider(s.B);
    }
    for (const PlanArc* a : arcs) {
        if (Full(*a)) continue;
        consider(a->At(a->Start));
        consider(a->At(a->Start + a->Sweep));
    }
    if (segments.size() + arcs.size() > kMostCrossed) return best;
    for (std::size_t i = 0; i < segments.size(); ++i)
        for (std::size_t j = i + 1; j < segments.size(); ++j)
            if (const std::optional<PlanPoint> p = Crossing(segments[i], segments[j])) consider(*p);
    for (const PlanArc* a : arcs) {
        for (const Segment& s : segments) Crossings(s, *a, consider);
        if (arcs.size() > kMostArcsCrossed) continue;
        for (const PlanArc* b : arcs)
            if (b > a) Crossings(*a, *b, consider);
    }
    return best;
}

}  // namespace stelmar
