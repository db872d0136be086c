#pragma once

// Where an imported plan lands on its floor's canvas: at a stated number of
// canvas pixels per metre, its top-left corner at the canvas's top-left
// corner (never at negative coordinates), by default as large as fits the
// canvas.

namespace stelmar {

// Metres one PDF point (1/72 inch on paper) stands for in a drawing at the
// scale 1 : `denominator`.
double MetresPerPdfPoint(double denominator);

// The canvas pixels per metre at which a plan `width` x `height` metres
// fills as much of a `canvasWidth` x `canvasHeight` canvas as its
// proportions allow, rounded down to three significant digits so the plan
// still fits; 0 for a plan without extent.
double FittingPixelsPerMetre(double width, double height, int canvasWidth, int canvasHeight);

}  // namespace stelmar
