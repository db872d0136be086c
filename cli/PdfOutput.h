#pragma once

// The PDF report of stelmar-calc, when the program is built with Qt.

#include <optional>
#include <string>

#include "calc/ReportFrontMatter.h"
#include "model/Scheme.h"

namespace stelmar {

inline constexpr const char* kNoPdfOutput = "Запись отчета в PDF недоступна: программа собрана без Qt.";

// False when this build cannot write PDF reports.
bool PdfOutputBuilt();

// The PDF report of the calculated scheme in `pdf`, starting Qt's graphical
// part for it; the message for the user on failure.
std::optional<std::string> MakePdfOutput(const TPipeLine& s, const ReportTitle& title, char separator,
                                         std::string& pdf);

}  // namespace stelmar
