#include "model/ScaleLengths.h"

#include <cmath>
#include <cstdlib>

namespace stelmar {
namespace {

bool AcrossFloors(const TPipeLine& s, const TArea& a)
{
    return s.Nodes[a.Node1].Etag != s.Nodes[a.Node2].Etag;
}

// Counts the area in `left` when a filter leaves it out.
bool PassesFilters(const TPipeLine& s, const TArea& a, const ScaleRequest& r, LeftOutAreas& left)
{
    if (AcrossFloors(s, a)) return ++left.AcrossFloors, false;
    if (a.Kind == kRampDown || a.Kind == kRampUp) return ++left.Ramps, false;
    const bool kind = (a.Kind == kHorizontal && r.Horizontal) || (a.Kind == kStairsDown && r.StairsDown) ||
                      (a.Kind == kStairsUp && r.StairsUp) || (a.Kind == kDoorway && r.Doorways);
    if (!kind) return ++left.KindNotTicked, false;
    if (r.ActiveFloorOnly && a.Etag != s.ActiveEtag) return ++left.OtherFloor, false;
    if (r.Targets == LengthTargets::AllZero && a.Length != 0) return ++left.HasLength, false;
    return true;
}

}  // namespace

long long DrawnLength(const TPipeLine& s, const TArea& a)
{
    const TNode& n1 = s.Nodes[a.Node1];
    const TNode& n2 = s.Nodes[a.Node2];
    const double dx = std::abs(static_cast<double>(n1.X) - n2.X);
    const double dy = std::abs(static_cast<double>(n1.Y) - n2.Y);
    return std::llrint(std::sqrt(dx * dx + dy * dy) * 10000);
}

ScaleResult MeasureScaleLengths(const TPipeLine& s, const ScaleRequest& r)
{
    ScaleResult result;
    const int count = AreaCount(s);
    if (count == 0) {
        result.Refusal = kNoAreasToMeasure;
        return result;
    }
    const TArea& scale = s.Areas[r.ScaleArea];
    const long long ps = DrawnLength(s, scale);
    if (ps == 0) {
        result.Refusal = "Участок для масштаба " + AreaLabel(s, scale) +
                         " имеет на чертеже нулевую длину: его узлы лежат в одной точке.\nВыберите другой участок "
                         "для масштаба.";
        return result;
    }
    if (AcrossFloors(s, scale)) {
        result.Refusal = "Участок для масштаба " + AreaLabel(s, scale) +
                         " соединяет разные этажи: его длина на чертеже ничего не значит.\nВыберите участок, "
                         "оба конца которого лежат на одном этаже.";
        return result;
    }
    const double metres = scale.Length;
    const auto measure = [&](int i) {
        const TArea& a = s.Areas[i];
        const double drawn = static_cast<double>(DrawnLength(s, a));
        const double length = RoundTo3(drawn / static_cast<double>(ps) * metres);
        if (length == a.Length)
            ++result.LeftOut.Unchanged;
        else
            result.Lengths.push_back({i, length, a.Length});
    };
    if (r.Targets == LengthTargets::One) {
        if (AcrossFloors(s, s.Areas[r.Area]))
            ++result.LeftOut.AcrossFloors;
        else
            measure(r.Area);
        return result;
    }
    for (int i = 1; i <= count; ++i)
        if (i != r.ScaleArea && PassesFilters(s, s.Areas[i], r, result.LeftOut)) measure(i);
    return result;
}

std::optional<std::string> ApplyScaleLengths(TPipeLine& s, const ScaleRequest& r)
{
    ScaleResult result = MeasureScaleLengths(s, r);
    for (const ScaledLength& l : result.Lengths) s.Areas[l.Area].Length = l.Length;
    return result.Refusal;
}

}  // namespace stelmar
