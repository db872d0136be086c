#include "model/DrawnLengths.h"

#include <cmath>

#include "model/ScaleLengths.h"

namespace stelmar {

bool IsDrawnKind(const TPipeLine& s, int kind)
{
    return kind >= kHorizontal && kind <= kRampUp && (s.DrawnKinds >> kind & 1) != 0;
}

int AreaPlanFloor(const TPipeLine& s, const TArea& a)
{
    const int last = NodeCount(s);
    if (a.Node1 < 1 || a.Node1 > last || a.Node2 < 1 || a.Node2 > last) return 0;
    const int floor = s.Nodes[a.Node1].Etag;
    return floor == s.Nodes[a.Node2].Etag ? floor : 0;
}

std::optional<double> DrawnAreaLength(const TPipeLine& s, const TArea& a)
{
    const int floor = AreaPlanFloor(s, a);
    if (floor < 1) return std::nullopt;
    const double scale = s.Plans[floor].Scale;
    if (!(scale > 0)) return std::nullopt;
    return RoundTo3(static_cast<double>(DrawnLength(s, a)) / 10000.0 * scale);
}

void MarkNewArea(TPipeLine& s, int area)
{
    TArea& a = s.Areas[area];
    if (!IsDrawnKind(s, a.Kind)) return;
    if (const std::optional<double> length = DrawnAreaLength(s, a)) {
        a.Length = *length;
        a.Drawn = true;
    }
}

bool UpdateDrawnLengths(TPipeLine& s)
{
    bool changed = false;
    for (int i = 1; i <= AreaCount(s); ++i) {
        TArea& a = s.Areas[i];
        if (!a.Drawn) continue;
        if (AreaPlanFloor(s, a) == 0) {
            a.Drawn = false;
            changed = true;
        } else if (const std::optional<double> length = DrawnAreaLength(s, a); length && *length != a.Length) {
            a.Length = *length;
            changed = true;
        }
    }
    return changed;
}

std::optional<double> ScaleFromPoints(double x1, double y1, double x2, double y2, double metres)
{
    const double pixels = std::hypot(x2 - x1, y2 - y1);
    if (!(pixels > 0) || !(metres > 0) || !std::isfinite(metres)) return std::nullopt;
    return metres / pixels;
}

}  // namespace stelmar
