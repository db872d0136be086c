#pragma once

// The program's version, as the about box and the reports show it.

#define STELMAR_PROGRAM_VERSION "3.5.3"

namespace stelmar {

inline constexpr const char* kProgramVersion = STELMAR_PROGRAM_VERSION;

}  // namespace stelmar
