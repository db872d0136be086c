#pragma once

// Lengths taken from the drawing. An area marked "по чертежу" (`Drawn`)
// has as its length its drawn length times the scale of its floor, rounded
// to three decimals, and keeps it so as its nodes move or the scale
// changes. Only an area whose two ends lie on one floor, and a floor with
// a scale, give a length.

#include <optional>

#include "model/Scheme.h"

namespace stelmar {

// Whether new areas of path kind `kind` take their length from the drawing.
bool IsDrawnKind(const TPipeLine& s, int kind);

// The floor both ends of the area lie on; 0 when they lie on different
// floors.
int AreaPlanFloor(const TPipeLine& s, const TArea& a);

// The length the drawing gives the area, in metres rounded as RoundTo3;
// nullopt when its ends lie on different floors or that floor has no scale.
std::optional<double> DrawnAreaLength(const TPipeLine& s, const TArea& a);

// A new area of a kind that takes its length from the drawing, where the
// drawing can give one, gets that length and the mark.
void MarkNewArea(TPipeLine& s, int area);

// Gives every marked area its length from the drawing; an area whose ends
// now lie on different floors loses its mark. Returns whether any length
// or mark changed.
bool UpdateDrawnLengths(TPipeLine& s);

// The floor's scale from two points on its canvas (canvas pixels) and the
// real distance between them (metres): metres per canvas pixel, or nullopt
// when the points coincide or the distance is not a positive number.
std::optional<double> ScaleFromPoints(double x1, double y1, double x2, double y2, double metres);

}  // namespace stelmar
