#include "model/ScaleLengths.h"

#include <cmath>
#include <cstdlib>

namespace stelmar {
namespace {

bool PassesFilters(const TPipeLine& s, const TArea& a, const ScaleRequest& r)
{
    const bool kind = (a.Kind == kHorizontal && r.Horizontal) || (a.Kind == kStairsDown && r.StairsDown) ||
                      (a.Kind == kStairsUp && r.StairsUp) || (a.Kind == kDoorway && r.Doorways);
    if (!kind) return false;
    if (r.Targets == LengthTargets::AllZero && a.Length != 0) return false;
    return !r.ActiveFloorOnly || a.Etag == s.ActiveEtag;
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
    const double metres = scale.Length;
    const auto measure = [&](int i) {
        const double drawn = static_cast<double>(DrawnLength(s, s.Areas[i]));
        result.Lengths.push_back({i, RoundTo3(drawn / static_cast<double>(ps) * metres)});
    };
    if (r.Targets == LengthTargets::One) {
        measure(r.Area);
        return result;
    }
    for (int i = 1; i <= count; ++i)
        if (i != r.ScaleArea && PassesFilters(s, s.Areas[i], r)) measure(i);
    return result;
}

std::optional<std::string> ApplyScaleLengths(TPipeLine& s, const ScaleRequest& r)
{
    ScaleResult result = MeasureScaleLengths(s, r);
    for (const ScaledLength& l : result.Lengths) s.Areas[l.Area].Length = l.Length;
    return result.Refusal;
}

}  // namespace stelmar
