#pragma once

// Reading a DXF drawing (text DXF, any version) into a PlanDrawing: model
// space only, blocks placed, texts decoded.

#include <string>
#include <string_view>
#include <variant>

#include "plans/PlanDrawing.h"

namespace stelmar {

// The drawing, or a message naming `fileName` when the bytes are a DWG or a
// binary DXF, are no DXF at all, or hold nothing drawable in model space.
std::variant<PlanDrawing, std::string> ReadDxf(std::string_view bytes, const std::string& fileName);

// One message naming the model-space entities of `drawing` that are not
// drawn and how many of each kind; empty when every entity is drawn.
std::string SkippedMessage(const PlanDrawing& drawing, const std::string& fileName);

// "Формат DWG не поддерживается: сохраните чертеж в формате DXF".
extern const char* const kDwgRefused;

}  // namespace stelmar
