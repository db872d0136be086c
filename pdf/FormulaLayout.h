#pragma once

// Equations of the PDF report set as formulas: real fractions (numerator
// over a rule over denominator), sums, raised and lowered parts. An
// equation too wide for the line is broken before its "=" signs, a long
// sum in a fraction is broken after its "+" signs, and what still does not
// fit is set smaller.

#include <QString>
#include <vector>

#include "calc/ReportDocument.h"
#include "pdf/PdfFonts.h"

namespace stelmar {

struct FormulaText {
    double X = 0;  // from the box's left edge
    double Y = 0;  // baseline, down from the box's baseline
    const PdfFont* Font = nullptr;
    QString Text;
};

struct FormulaRule {
    double X = 0;
    double Y = 0;
    double Width = 0;
    double Thickness = 0;
};

// A laid-out formula: its texts and rules relative to its left edge and
// baseline.
struct FormulaBox {
    double Width = 0;
    double Ascent = 0;
    double Descent = 0;
    std::vector<FormulaText> Texts;
    std::vector<FormulaRule> Rules;

    // Puts `box` into this one with its left edge and baseline at (dx, dy).
    void Insert(const FormulaBox& box, double dx, double dy);
};

// The equation `block` at its size, as lines no wider than `width`.
std::vector<FormulaBox> LayoutFormula(const ReportBlock& block, PdfFonts& fonts, double width);

}  // namespace stelmar
