#pragma once

// The results of a calculation as every drawing shows them, on the screen,
// in an exported or printed picture and in the PDF report: each area in
// the colour of how the flows moved over it with one chosen figure beside
// it, each exit with its time, the path of the flow that gives t_p, and
// the legend of the colours.

#include <QString>
#include <array>
#include <vector>

#include "calc/FlowResults.h"
#include "drawing/SchemeOverlay.h"

namespace stelmar {

// The figure written beside each area.
enum class AreaFigure { AreaTime, TotalTime, Intensity, Speed, Density, People };

// The menu captions of the figures, in the order of AreaFigure.
inline constexpr std::array<const char*, 6> kAreaFigureCaptions = {
    "Время на участке", "Время от начала эвакуации", "Интенсивность q", "Скорость v", "Плотность D",
    "Количество людей"};

TColor MovementColor(Movement how);
// The line of a movement, so that a print in black and white tells them
// apart: free solid, slowed dashed, bottleneck dash-dotted, accumulation
// dotted, unused dash-dot-dotted.
Qt::PenStyle MovementStyle(Movement how);

inline constexpr const char* kCriticalPathCaption = "Путь потока, определяющего расчетное время эвакуации";

// The colours of the movements and what they mean, from free movement to
// an unused area.
std::vector<LegendEntry> MovementLegend();
// The legend of the results: the movements, then the path of the flow
// that gives t_p.
std::vector<LegendEntry> ResultsLegend();

// "0,52 мин", "q = 6,25", ...; empty for an area no flow passed.
QString AreaFigureText(const AreaResult& r, AreaFigure figure, char separator);

// Puts `results` into `overlay` for the scheme `s` as it is now: area i of
// `s` shows calculated area `calculated[i]` (0: none; every area shows
// itself when `calculated` is empty). Sets the areas and the exits' times;
// the legend and the fading are left to the caller.
void PutResults(const FlowResults& results, const std::vector<int>& calculated, AreaFigure figure, char separator,
                const TPipeLine& s, SchemeOverlay& overlay);

}  // namespace stelmar
