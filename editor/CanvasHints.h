#pragma once

// The texts shown when the pointer rests on a node or an area of the
// canvas, and the titles naming an element ("Узел № 20",
// "Участок № 20-21 (Лестница вниз)"), their first lines.

#include <QString>

#include "editor/ResultsOverlay.h"
#include "model/Scheme.h"

namespace stelmar {

QString NodeTitle(const TPipeLine& s, int node);
QString AreaTitle(const TPipeLine& s, int area);

// Number and floor of node `node`; for an input also its people, mean
// projection area and mobility group.
QString NodeHint(const TPipeLine& s, int node);

// Label and path kind of area `area`, the floor it leads to when it joins
// two floors (seen from the active floor), its length and width.
QString AreaHint(const TPipeLine& s, int area);

// The calculation steps on area `area` as `results` shows them (flow, N,
// q, v, t, delay, accumulation), one line each; empty without results.
QString AreaResultsHint(const TPipeLine& s, const ResultsOverlay& results, int area);

}  // namespace stelmar
