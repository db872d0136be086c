#pragma once

// The pointer shapes of the canvas. Shapes are numbered like the tools:
// 0 the default arrow, 1 input, 2 exit, 3 junction, 4 area, 5 delete; the
// hand shows over an element that can be picked up.

#include <QCursor>

namespace stelmar {

inline constexpr int kHandPointer = 6;

// The pointer of the given shape; a number without a picture gives the
// default arrow. The tool pointers are 32 × 32 pictures with a cross whose
// centre, the hot spot, is where a new element is placed.
QCursor ToolCursor(int shape);

}  // namespace stelmar
