#include "drawing/ResultsDrawing.h"

#include <algorithm>

#include "calc/ResultTables.h"
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

Qt::PenStyle MovementStyle(Movement how)
{
    switch (how) {
    case Movement::Free: return Qt::SolidLine;
    case Movement::Slowed: return Qt::DashLine;
    case Movement::Bottleneck: return Qt::DashDotLine;
    case Movement::Accumulation: return Qt::DotLine;
    case Movement::Unused: break;
    }
    return Qt::DashDotDotLine;
}

std::vector<LegendEntry> MovementLegend()
{
    std::vector<LegendEntry> legend;
    for (const auto& [how, caption] : {std::pair{Movement::Free, "Свободное движение"},
                                       std::pair{Movement::Slowed, "Замедление из-за плотности"},
                                       std::pair{Movement::Bottleneck, "Узкое место (задержка)"},
                                       std::pair{Movement::Accumulation, "Скопление людей"},
                                       std::pair{Movement::Unused, "Участок не используется"}})
        legend.push_back({MovementColor(how), caption, MovementStyle(how)});
    return legend;
}

std::vector<LegendEntry> ResultsLegend()
{
    std::vector<LegendEntry> legend = MovementLegend();
    legend.push_back({kCriticalPathColor, kCriticalPathCaption, Qt::SolidLine, 9});
    return legend;
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
    std::vector<char> critical(results.Areas.size(), 0);
    for (int a : results.CriticalAreas)
        if (a >= 0 && a < int(critical.size())) critical[a] = 1;
    overlay.Areas.assign(s.Areas.size(), std::nullopt);
    for (int i = 1; i <= AreaCount(s); ++i) {
        const int k = CalculatedArea(results, calculated, i);
        if (k == 0) continue;
        const AreaResult& r = results.Areas[k];
        overlay.Areas[i] = AreaOverlay{MovementColor(r.How), critical[k] != 0, AreaFigureText(r, figure, separator),
                                       MovementStyle(r.How),
                                       r.How == Movement::Bottleneck || r.How == Movement::Accumulation};
    }
    // An exit's time is when the last flow leaves the areas that end on
    // it, which keeps it right while its number changes.
    overlay.NodeLabels.assign(s.Nodes.size(), QString());
    for (const ExitResult& e : ExitResults(s, results, calculated))
        if (e.Time >= 0) overlay.NodeLabels[e.Node] = QString::fromStdString(FormatReal(e.Time, separator)) + " мин";
}

}  // namespace stelmar
