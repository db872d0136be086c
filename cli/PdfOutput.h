#pragma once

// The PDF report of stelmar-calc, when the program is built with Qt.

#include <optional>
#include <string>

#include "calc/ReportFrontMatter.h"
#include "calc/ScenarioCalculation.h"
#include "model/Scheme.h"

namespace stelmar {

inline constexpr const char* kNoPdfOutput = "Запись отчета в PDF недоступна: программа собрана без Qt.";

// False when this build cannot write PDF reports.
bool PdfOutputBuilt();

// The PDF report of the calculated scenarios `runs` in `pdf`, the drawings
// showing the results `s` holds, starting Qt's graphical part for it; the
// message for the user on failure.
std::optional<std::string> MakePdfOutput(const TPipeLine& s, const std::vector<ScenarioRun>& runs,
                                         const ReportTitle& title, char separator, std::string& pdf);

}  // namespace stelmar
