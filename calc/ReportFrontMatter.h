#pragma once

// The parts of the PDF report before the derivation, as report blocks: the
// title block that the engineer signs and the input data of each floor.

#include <ctime>
#include <string>

#include "calc/ReportDocument.h"
#include "model/Scheme.h"

namespace stelmar {

// What the title block says about the calculation besides the scheme's
// options.
struct ReportTitle {
    std::string CalculatedAt;  // as CalculationTimeText gives it
};

// "05.03.2025 14:07" in local time.
std::string CalculationTimeText(std::time_t when);

// "округление чисел до 2-го знака после запятой; различное время подхода к
// точке слияния потоков не учитывается; время скопления рассчитывается;
// отчет полный"
std::string CalculationOptionsText(int precision, bool razVr, bool vrSk, bool fullReport);

// The project's name (its file name without the folder and the extension).
std::string ProjectTitle(const std::string& fileName);

// Title, project and file, date and time, program version, options and the
// lines for the engineer's signature and the organisation.
void ComposeTitleBlock(const TPipeLine& s, const ReportTitle& title, ReportSink& sink);

// True when the floor holds a node.
bool FloorHasElements(const TPipeLine& s, int floor);

// The tables of the floor's inputs (label, people, f, mobility group) and
// areas (label, kind, l, δ); an area is listed on the floor of its first
// end. Nothing for a floor without elements.
void ComposeFloorInputs(const TPipeLine& s, int floor, char separator, ReportSink& sink);

}  // namespace stelmar
