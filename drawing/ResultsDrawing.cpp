#include "drawing/ResultsDrawing.h"

#include <algorithm>

#include "model/NumberText.h"

namespace stelmar {
namespace {

// Colours of the movements ($00BBGGRR).
constexpr TColor kFreeColor = 0x2E9E2E;
constexpr TColor kSlowedColor = 0x0095E6;
constexpr TColor kBottleneckColor = 0x0000D0;
constexpr TColor kAccumulationColor = 0xAA248E;
constexpr TColor kUnusedColor = 0xA0A0A0;

}  // namespace

TColor MovementColor(Movement how)
{
    switch (how) {
    case Movement::Free: return kFreeColor;
    case Movement::Slowed: return kSlowedColor;
    case Movement::Bottleneck: return kBottleneckColor;
    case Movement::Accumulation: return kAccumulationColor;
    case Movement::Unused: break;
    }
    return kUnusedColor;
}

std::vector<LegendEntry> MovementLegend()
{
    return {{kFreeColor, "Свободное движение"},
            {kSlowedColor, "Замедление из-за плотности"},
            {kBottleneckColor, "Узкое место (задержка)"},
            {kAccumulationColor, "Скопление людей"},
            {kUnusedColor, "Участок не используется"}};
}

QString AreaFigureText(const AreaResult& r, AreaFigure figure, char separator)
{
    if (r.How == Movement::Unused) return QString();
    const auto number = [separator](double x) { return QString::fromStdString(FormatReal(x, separator)); };
    switch (figure) {
    case AreaFigure::AreaTime: return number(r.AreaTime) + " мин";
    case AreaFigure::TotalTime: return number(r.TotalTime) + " мин";
    case AreaFigure::Intensity: return "q = " + number(r.Intensity);
    case AreaFigure::Speed: return "v = " + number(r.Speed);
    case AreaFigure::Density: return "D = " + number(r.Density);
    case AreaFigure::People: return QString::number(r.People) + " чел.";
    }
    return QString();
}

void PutResults(const FlowResults& results, const std::vector<int>& calculated, AreaFigure figure, char separator,
                const TPipeLine& s, SchemeOverlay& overlay)
{
    const auto calculatedOf = [&](int area) {
        if (calculated.empty()) return area < int(results.Areas.size()) ? area : 0;
        return area < int(calculated.size()) ? calculated[area] : 0;
    };
    std::vector<char> critical(results.Areas.size(), 0);
    for (int a : results.CriticalAreas)
        if (a >= 0 && a < int(critical.size())) critical[a] = 1;
    overlay.Areas.assign(s.Areas.size(), std::nullopt);
    // An exit's time is when the last flow leaves the areas that end on
    // it, which keeps it right while its number changes.
    std::vector<double> exitTimes(s.Nodes.size(), -1);
    for (int i = 1; i <= AreaCount(s); ++i) {
        const int k = calculatedOf(i);
        if (k == 0) continue;
        const AreaResult& r = results.Areas[k];
        overlay.Areas[i] = AreaOverlay{MovementColor(r.How), critical[k] != 0, AreaFigureText(r, figure, separator)};
        if (r.Steps.empty()) continue;
        for (int end : {s.Areas[i].Node1, s.Areas[i].Node2})
            if (s.Nodes[end].Kind == kExit) exitTimes[end] = std::max(exitTimes[end], r.TotalTime);
    }
    overlay.NodeLabels.assign(s.Nodes.size(), QString());
    for (std::size_t i = 1; i < exitTimes.size(); ++i)
        if (exitTimes[i] >= 0)
            overlay.NodeLabels[i] = QString::fromStdString(FormatReal(exitTimes[i], separator)) + " мин";
}

}  // namespace stelmar
