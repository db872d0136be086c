#pragma once

// The calculation report as a PDF document that the engineer can sign:
// the title block, the input data of every floor, the drawing of every
// floor with the results over it, the derivation (full or summary, as the
// scheme's `FullReport` chooses) with the same numbers and texts as the
// RTF report, and the result. A4, fonts embedded, pages numbered.
//
// Needs a QGuiApplication (for the fonts); runs on any thread.

#include <QIODevice>
#include <functional>
#include <optional>
#include <string>

#include "calc/ReportFrontMatter.h"
#include "calc/ScenarioCalculation.h"
#include "model/Scheme.h"

namespace stelmar {

inline constexpr const char* kPdfCancelled = "Запись отчета в PDF прервана.";

// Told the share of the work done, 0…100, now and then; returns false to
// stop the writing.
using PdfProgress = std::function<bool(int percent)>;

// Writes the report of the calculation whose results `s` holds to `out`.
// With `runs`, the derivation is that of the project's scenarios
// (ScenarioReport.h) and `s` holds the results its drawings show.
// Returns the message for the user when it cannot be written (or
// kPdfCancelled when `progress` stopped it).
std::optional<std::string> BuildPdfReport(const TPipeLine& s, const ReportTitle& title, char separator,
                                          QIODevice& out, const PdfProgress& progress = {},
                                          const std::vector<ScenarioRun>* runs = nullptr);

// The same into the file `path`, which is replaced only once the document
// is complete.
std::optional<std::string> WritePdfReport(const TPipeLine& s, const ReportTitle& title, char separator,
                                          const std::string& path, const PdfProgress& progress = {},
                                          const std::vector<ScenarioRun>* runs = nullptr);

}  // namespace stelmar
