#pragma once

// Running text of the PDF report: runs of text in their fonts, raised or
// lowered, broken into lines at blanks (a no-break space holds its words
// together).

#include <QString>
#include <vector>

#include "pdf/PdfFonts.h"

namespace stelmar {

struct InlineRun {
    QString Text;
    const PdfFont* Font = nullptr;
    double Rise = 0;  // pt the baseline is raised (negative: lowered)
};

struct PlacedRun {
    double X = 0;
    double Rise = 0;
    const PdfFont* Font = nullptr;
    QString Text;
};

struct TextLine {
    std::vector<PlacedRun> Runs;
    double Width = 0;
    double Ascent = 0;   // above the baseline, raised runs included
    double Descent = 0;  // below it
};

// Lines no wider than `width`, broken at blanks; a word wider than the line
// is cut after its no-break spaces or, if that is not enough, between its
// characters. Runs of one font and rise that follow each other on a line
// are joined. No lines for no text.
std::vector<TextLine> BreakLines(const std::vector<InlineRun>& runs, double width);

// The line's runs moved right by `offset` (for centred and right-aligned
// lines).
void ShiftLine(TextLine& line, double offset);

}  // namespace stelmar
