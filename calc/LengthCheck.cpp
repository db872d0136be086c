#include "calc/LengthCheck.h"

#include <cmath>

#include "model/DrawnLengths.h"
#include "model/NumberText.h"

namespace stelmar {

std::vector<Finding> CheckDrawnLengths(const TPipeLine& s, char separator)
{
    constexpr double kTolerance = 0.1;
    std::vector<Finding> warnings;
    bool scaled = false;
    for (int floor = 1; floor <= s.EtagCount; ++floor) scaled |= s.Plans[floor].Scale > 0;
    if (!scaled) return warnings;
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        if (!IsDrawnKind(s, a.Kind)) continue;
        const std::optional<double> drawn = DrawnAreaLength(s, a);
        if (!drawn || !(std::abs(a.Length - *drawn) > kTolerance * *drawn)) continue;
        warnings.push_back({"Предупреждение: длина участка №" + AreaLabel(s, a) + " (" + FormatReal(a.Length, separator) +
                                " м) отличается от длины по чертежу (" + FormatReal(*drawn, separator) +
                                " м) более чем на 10 %;",
                            AreaRef(s, i)});
    }
    return warnings;
}

}  // namespace stelmar
