#include "calc/ResultCheck.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace stelmar {

namespace {

constexpr const char* kAdvice = "проверьте длину и ширину участков, число людей и площадь горизонтальной "
                                "проекции человека;";

// x · 0 is 0 for every finite x and NaN for infinities and NaN, so a sum
// of such products tells whether all values were finite without a branch
// per value.
double Zeroed(std::initializer_list<double> values)
{
    double sum = 0;
    for (const double x : values) sum += x * 0;
    return sum;
}

double Zeroed(const std::vector<TMergedFlow>& merged)
{
    double sum = 0;
    for (const TMergedFlow& m : merged) sum += m.Intensity * 0 + m.Width * 0;
    return sum;
}

bool Finite(std::initializer_list<double> values) { return Zeroed(values) == 0; }

bool Finite(const std::vector<double>& values)
{
    double sum = 0;
    // Element 0 of the exit times is no time.
    for (std::size_t i = 1; i < values.size(); ++i) sum += values[i] * 0;
    return sum == 0;
}

bool Finite(const TReport& r)
{
    return Zeroed({r.RawIntensity, r.Density, r.Width, r.AreaTime, r.DelayTime, r.AccumTime, r.Speed, r.Intensity,
                   r.Length, r.TotalTime, r.ProjArea}) +
               Zeroed(r.Merged) ==
           0;
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
    if (Finite(s.ExitTimes) && Finite({s.EvacuationTime})) return std::nullopt;
    return std::string("Ошибка: расчет дает недопустимое значение (бесконечность или неопределенность); ") + kAdvice;
}

}  // namespace stelmar
