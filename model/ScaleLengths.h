#pragma once

// Deriving the lengths of areas from a drawing scale: one area whose length
// in metres is known gives the metres per pixel, and other areas get their
// drawn length in that scale. Areas between floors are never measured.

#include <optional>
#include <string>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

inline constexpr const char* kNoAreasToMeasure = "В схеме нет ни одного участка!";

// Which areas get a length.
enum class LengthTargets {
    All,      // every area that passes the filters
    AllZero,  // as All, but only areas whose length is 0
    One,      // only `ScaleRequest::Area`, without filters
};

struct ScaleRequest {
    int ScaleArea = 1;
    LengthTargets Targets = LengthTargets::All;
    int Area = 1;
    // Kind and floor filters of All and AllZero; ramps never pass.
    bool Horizontal = true;
    bool StairsDown = true;
    bool StairsUp = true;
    bool Doorways = true;
    bool ActiveFloorOnly = true;
};

// The drawn length of an area in 1/10000 pixel, rounded half to even.
long long DrawnLength(const TPipeLine& s, const TArea& a);

struct ScaledLength {
    int Area;
    double Length;     // the new length, m
    double OldLength;  // the length the area has, m
};

// How many areas were left out, by why. An area whose ends lie on
// different floors is never measured: the distance between its ends on the
// drawing means nothing.
struct LeftOutAreas {
    int AcrossFloors = 0;   // ends on different floors
    int Ramps = 0;          // ramps, which "Все" never measures
    int KindNotTicked = 0;  // a kind whose box is not ticked
    int OtherFloor = 0;     // not on the active floor, with "Только для активного этажа"
    int HasLength = 0;      // a length other than 0, with "Все с нулевыми значениями"
    int Unchanged = 0;      // measured, and the length stays as it is

    int Total() const { return AcrossFloors + Ramps + KindNotTicked + OtherFloor + HasLength + Unchanged; }
};

// The lengths ApplyScaleLengths would set, in area order (only those that
// change), and the areas left as they are; or its refusal.
struct ScaleResult {
    std::optional<std::string> Refusal;
    std::vector<ScaledLength> Lengths;
    LeftOutAreas LeftOut;
};
ScaleResult MeasureScaleLengths(const TPipeLine& s, const ScaleRequest& r);

// Sets the lengths of the requested areas to their drawn length in the
// scale of `ScaleArea`, rounded to three decimals; `ScaleArea` and `Area`
// are area numbers of `s` whenever it has areas. Widths, history and the
// modified mark are left alone. Refuses, changing nothing, when the scheme
// has no areas, the scale area is drawn with length 0 (its nodes lie on
// the same pixel) or its ends lie on different floors; the result is then
// the message for the user.
std::optional<std::string> ApplyScaleLengths(TPipeLine& s, const ScaleRequest& r);

}  // namespace stelmar
