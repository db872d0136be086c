#pragma once

// The names of the six path kinds as the windows show them.

#include <array>

#include "model/Scheme.h"

namespace stelmar {

// Path kinds 1..6 at index 0..5.
inline constexpr std::array<const char*, 6> kPathKindCaptions = {
    "Горизонтальный путь", "Лестница вниз", "Лестница вверх", "Дверной проем", "Пандус вниз", "Пандус вверх"};

// The caption of path kind 1..6; empty for another code.
inline const char* PathKindCaption(int kind)
{
    return kind >= kHorizontal && kind <= kRampUp ? kPathKindCaptions[kind - 1] : "";
}

}  // namespace stelmar
