#pragma once

// Deriving the lengths of areas from a drawing scale: one area whose length
// in metres is known gives the metres per pixel, and other areas get their
// drawn length in that scale.

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
    double Length;
};

// The lengths ApplyScaleLengths would set, in area order, or its refusal.
struct ScaleResult {
    std::optional<std::string> Refusal;
    std::vector<ScaledLength> Lengths;
};
ScaleResult MeasureScaleLengths(const TPipeLine& s, const ScaleRequest& r);

// Sets the lengths of the requested areas to their drawn length in the
// scale of `ScaleArea`, rounded to three decimals; `ScaleArea` and `Area`
// are area numbers of `s` whenever it has areas. Widths, history and the
// modified mark are left alone. Refuses, changing nothing, when the scheme
// has no areas or the scale area is drawn with length 0 (its nodes lie on
// the same pixel); the result is then the message for the user.
std::optional<std::string> ApplyScaleLengths(TPipeLine& s, const ScaleRequest& r);

}  // namespace stelmar
