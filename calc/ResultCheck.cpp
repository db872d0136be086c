#include "calc/ResultCheck.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace stelmar {

namespace {

constexpr const char* kAdvice = "проверьте длину и ширину участков, число людей и площадь горизонтальной "
                                "проекции человека;";

bool Finite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double x) { return std::isfinite(x); });
}

// Element 0 of the lists is a placeholder and is not printed.
bool Finite(const std::vector<double>& values)
{
    return std::all_of(values.begin() + std::min<std::size_t>(1, values.size()), values.end(),
                       [](double x) { return std::isfinite(x); });
}

bool Finite(const TReport& r)
{
    return Finite({r.RawIntensity, r.Density, r.Width, r.AreaTime, r.DelayTime, r.AccumTime, r.Speed, r.Intensity,
                   r.Length, r.TotalTime, r.ProjArea}) &&
           Finite(r.MergedIntensity) && Finite(r.MergedWidth);
}

bool Finite(const TNodeFlow& f)
{
    return Finite({f.Density, f.Width, f.AreaTime, f.DelayTime, f.AccumTime, f.Speed, f.Intensity, f.Length,
                   f.TotalTime, f.ProjArea});
}

}  // namespace

std::optional<std::string> CheckResults(const TPipeLine& s)
{
    for (int i = 1; i <= ReportCount(s); ++i) {
        const TReport& r = s.Reports[i];
        if (Finite(r)) continue;
        const std::string where =
            r.Area >= 1 && r.Area <= AreaCount(s) ? " на участке №" + AreaLabel(s, s.Areas[r.Area]) : "";
        return "Ошибка: расчет" + where + " дает недопустимое значение (бесконечность или неопределенность); " +
               kAdvice;
    }
    bool finite = Finite(s.ExitTimes) && Finite({s.EvacuationTime});
    for (std::size_t i = 1; i < s.Nodes.size() && finite; ++i)
        for (std::size_t j = 1; j < s.Nodes[i].Flows.size() && finite; ++j) finite = Finite(s.Nodes[i].Flows[j]);
    if (finite) return std::nullopt;
    return std::string("Ошибка: расчет дает недопустимое значение (бесконечность или неопределенность); ") + kAdvice;
}

}  // namespace stelmar
