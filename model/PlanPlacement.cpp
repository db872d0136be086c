#include "model/PlanPlacement.h"

#include <algorithm>
#include <cmath>

namespace stelmar {

double MetresPerPdfPoint(double denominator) { return denominator * 0.0254 / 72; }

double FittingPixelsPerMetre(double width, double height, int canvasWidth, int canvasHeight)
{
    if (!(width > 0) || !(height > 0) || canvasWidth <= 0 || canvasHeight <= 0) return 0;
    const double fit = std::min(canvasWidth / width, canvasHeight / height);
    const double unit = std::pow(10.0, std::floor(std::log10(fit)) - 2);
    return std::floor(fit / unit) * unit;
}

}  // namespace stelmar
