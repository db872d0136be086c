#pragma once

// What the drawing shows of the last calculation and of the last check:
// the results by area (in the colour of how the flows moved, with one
// chosen figure beside each area and the time at each exit, the path of
// the flow that gives t_p, a legend), kept, faded, through later changes
// of the scheme; and the elements the check found fault with, until the
// scheme is checked again or changed.

#include <QString>
#include <cstdint>
#include <vector>

#include "calc/FlowResults.h"
#include "calc/ResultTables.h"
#include "model/ElementRef.h"
#include "drawing/ResultsDrawing.h"
#include "drawing/SchemeOverlay.h"

namespace stelmar {

class ResultsOverlay {
public:
    // The results of the calculation just made on `s`, shown and current.
    void SetResults(const TPipeLine& s);
    // The scheme changed: the results are old now, unless `asCalculated`
    // (undo or redo brought back the state that was calculated). Areas are
    // matched to the calculated ones by where their ends lie; an area that
    // moved or is new shows no result.
    void SchemeChanged(const TPipeLine& s, bool asCalculated = false);
    // Another project: nothing of the last one is shown.
    void Clear();

    void SetFindings(const std::vector<ElementRef>& elements, const TPipeLine& s);

    bool HasResults() const { return !results_.Areas.empty(); }
    bool Stale() const { return stale_; }
    void SetShown(bool shown, const TPipeLine& s);
    bool Shown() const { return shown_; }
    void SetFigure(AreaFigure figure, const TPipeLine& s);
    void SetLegendShown(bool shown, const TPipeLine& s);
    bool LegendShown() const { return legendShown_; }
    AreaFigure Figure() const { return figure_; }

    // What Draw paints, or null when nothing.
    const SchemeOverlay* Overlay() const;
    const FlowResults& Results() const { return results_; }
    // The result of area `area` of the scheme as it is now, or null.
    const AreaResult* ResultOf(int area) const;
    // The exits of the scheme as it is now with what left by them.
    std::vector<ExitResult> Exits(const TPipeLine& s) const { return ExitResults(s, results_, calculated_); }
    // The tables of areas, exits and flows for the scheme as it is now.
    std::vector<ResultTable> Tables(const TPipeLine& s, char separator) const
    {
        return ResultTables(s, results_, calculated_, separator);
    }
    // "t_p = 1,11 мин", empty without results.
    QString EvacuationTimeText() const;

private:
    struct AreaKey {
        int X1, Y1, X2, Y2;
        std::uint8_t Floor1, Floor2;
        bool operator==(const AreaKey&) const = default;
    };
    static AreaKey KeyOf(const TPipeLine& s, int area);
    void Rebuild(const TPipeLine& s);

    FlowResults results_;
    std::vector<AreaKey> keys_;      // of the calculated areas, by their number then
    std::vector<int> calculated_;    // by area number now: the calculated area it is, 0 for none
    bool stale_ = false;
    bool shown_ = false;
    AreaFigure figure_ = AreaFigure::AreaTime;
    bool legendShown_ = true;
    std::vector<ElementRef> findings_;
    bool marked_ = false;  // some element has a finding
    SchemeOverlay overlay_;
};

}  // namespace stelmar
