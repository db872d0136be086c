#pragma once

// The PDF report of stelmar-calc, when the program is built with Qt.

#include <optional>
#include <ostream>
#include <string>

#include "calc/ReportFrontMatter.h"
#include "calc/ScenarioCalculation.h"
#include "model/Scheme.h"

namespace stelmar {

inline constexpr const char* kNoPdfOutput = "Запись отчета в PDF недоступна: программа собрана без Qt.";

// False when this build cannot write PDF reports.
bool PdfOutputBuilt();

// Writes the PDF report of the calculated scenarios `runs` to `out` page by
// page, the drawings showing the results `s` holds, starting Qt's graphical
// part for it; the message for the user on failure.
std::optional<std::string> MakePdfOutput(const TPipeLine& s, const std::vector<ScenarioRun>& runs,
                                         const ReportTitle& title, char separator, std::ostream& out);

}  // namespace stelmar
