#pragma once

// The scale a floor is printed at: 1:N of the building when its floors
// know their scale (metres per canvas pixel), else a percentage of the
// drawing as the screen shows it at 100 % (a canvas pixel a 96th of an
// inch). Printed sheets and the PDF report state it in these words.

#include <QSizeF>
#include <QString>
#include <vector>

namespace stelmar {

inline constexpr double kPointsPerCanvasPixel = 72.0 / 96.0;  // at 100 %

struct DrawingScale {
    bool Metric = false;  // 1:N, else a percentage
    double Value = 100;   // N, or the percentage

    // "1:200" or "50 %".
    QString Text() const;
    // Points on paper per canvas pixel of a floor whose canvas pixel is
    // `metresPerPixel` (used only by a metric scale).
    double PointsPerPixel(double metresPerPixel) const;
    bool operator==(const DrawingScale&) const = default;
};

// The largest scale at which a floor of `extent` canvas pixels fits `room`
// points: N rounded up to a whole number, a percentage rounded down to a
// whole percent (at least 1 %). Metric when `metresPerPixel` is above 0.
DrawingScale FitScale(const QSizeF& extent, const QSizeF& room, double metresPerPixel);

// The smaller of two scales of the same kind (the larger N, the smaller
// percentage).
DrawingScale SmallerScale(const DrawingScale& a, const DrawingScale& b);

// The nearest scale of the usual series (1:50, 1:100, 1:200, ...; 10 %, 25 %,
// 50 %, ...) that is at least as large as `scale`.
DrawingScale StandardScaleAtLeast(const DrawingScale& scale);

// The scales offered for printing, from large to small.
std::vector<DrawingScale> StandardScales(bool metric);

}  // namespace stelmar
