#include "drawing/DrawingScale.h"

#include <algorithm>
#include <cmath>

namespace stelmar {
namespace {

constexpr double kMetresPerPoint = 0.0254 / 72;

// Scales of drawings of buildings, from large to small.
constexpr double kRatios[] = {1, 2, 2.5, 4, 5, 10, 15, 20, 25, 40, 50, 75, 100, 200, 250, 400, 500, 800, 1000,
                              2000, 2500, 5000, 10000, 20000, 25000, 50000};
constexpr double kPercents[] = {800, 400, 300, 200, 150, 100, 75, 50, 40, 30, 25, 20, 15, 10, 5, 2, 1};

}  // namespace

QString DrawingScale::Text() const
{
    if (Metric) return QStringLiteral("1:%1").arg(QString::number(Value, 'g', 10).replace('.', ','));
    return QStringLiteral("%1 %").arg(QString::number(Value, 'g', 10).replace('.', ','));
}

double DrawingScale::PointsPerPixel(double metresPerPixel) const
{
    if (Metric) return metresPerPixel / (Value * kMetresPerPoint);
    return kPointsPerCanvasPixel * Value / 100;
}

DrawingScale FitScale(const QSizeF& extent, const QSizeF& room, double metresPerPixel)
{
    const double fit = std::min(room.width() / std::max(extent.width(), 1.0), room.height() / std::max(extent.height(), 1.0));
    if (metresPerPixel > 0) return {true, std::max(1.0, std::ceil(metresPerPixel / (fit * kMetresPerPoint) - 1e-9))};
    return {false, std::max(1.0, std::floor(fit / kPointsPerCanvasPixel * 100 + 1e-9))};
}

DrawingScale SmallerScale(const DrawingScale& a, const DrawingScale& b)
{
    if (a.Metric) return a.Value >= b.Value ? a : b;
    return a.Value <= b.Value ? a : b;
}

DrawingScale StandardScaleAtLeast(const DrawingScale& scale)
{
    if (scale.Metric) {
        for (auto i = std::rbegin(kRatios); i != std::rend(kRatios); ++i)
            if (*i <= scale.Value) return {true, *i};
        return {true, kRatios[0]};
    }
    for (auto i = std::rbegin(kPercents); i != std::rend(kPercents); ++i)
        if (*i >= scale.Value) return {false, *i};
    return {false, kPercents[0]};
}

std::vector<DrawingScale> StandardScales(bool metric)
{
    std::vector<DrawingScale> scales;
    if (metric) {
        for (double n : kRatios)
            if (n >= 20 && n <= 5000) scales.push_back({true, n});
    } else {
        for (double p : kPercents) scales.push_back({false, p});
    }
    return scales;
}

}  // namespace stelmar
