#pragma once

// "Сохранить отчет в PDF..." of the calculation dialogs: the scheme is
// calculated with its options on a copy, the user chooses the file, and the
// report is written on a worker thread while a progress box shows how far
// it has got and the windows stay responsive; the document is then opened.

#include <QString>

#include "dialogs/Prompts.h"
#include "model/Scheme.h"

class QWidget;

namespace stelmar {

inline constexpr const char* kSavePdfCaption = "Сохранить отчет в PDF...";
inline constexpr const char* kPdfProgressText = "Запись отчета в PDF...";

// The name offered for the report: the project's name with ".pdf" in the
// project's folder, "Отчет.pdf" in the documents folder for a new project.
QString SuggestedReportPdfName(const TPipeLine& scheme);

// Calculates a copy of `scheme` (which must pass validation; it is not
// changed) and writes its PDF report to the file the user chooses; the
// progress box belongs to `parent`. Returns the file written, or an empty
// text when the user cancelled or the file could not be written (then the
// user has been told why).
QString SaveReportAsPdf(const TPipeLine& scheme, Prompts& prompts, QWidget* parent);

}  // namespace stelmar
