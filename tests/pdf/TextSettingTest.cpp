// Text and formulas set for the PDF report: lines broken at blanks, words
// too wide for a table cell cut, fractions stacked around their rule, long
// sums broken after "+", long equations broken before "=", and every line
// within the width.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QPdfWriter>

#include "calc/ReportDocument.h"
#include "pdf/FormulaLayout.h"
#include "pdf/InlineText.h"

namespace stelmar {
namespace {

class FormulaLayoutTest : public ::testing::Test {
protected:
    FormulaLayoutTest() : writer_(&buffer_), fonts_(&writer_, 10) { writer_.setResolution(720); }

    // The texts of the boxes in the order they are painted.
    static QString Texts(const std::vector<FormulaBox>& boxes)
    {
        QString all;
        for (const FormulaBox& b : boxes)
            for (const FormulaText& t : b.Texts) all += t.Text;
        return all;
    }

    QBuffer buffer_;
    QPdfWriter writer_;
    PdfFonts fonts_;
    ReportBlock block_;
};

TEST_F(FormulaLayoutTest, LinesBreakAtBlanksAndCutWordsTooWide)
{
    const PdfFont* font = &fonts_.Get({10});
    const QString nbsp(QChar(0xA0));
    const std::vector<InlineRun> runs{{"Длина 29,2151420207579 м; Интенсивность," + nbsp + "м/мин.", font, 0}};
    const double width = font->Width("Интенсивность,");
    const std::vector<TextLine> lines = BreakLines(runs, width);
    QString text;
    for (const TextLine& line : lines) {
        EXPECT_LE(line.Width, width + 0.01);
        for (const PlacedRun& run : line.Runs) text += run.Text;
    }
    EXPECT_EQ(text.remove(' '), ("Длина29,2151420207579м;Интенсивность," + nbsp + "м/мин."));
    EXPECT_GE(lines.size(), 4u);
    // A word that fits is never cut; the blank goes where the line breaks.
    const std::vector<TextLine> wide = BreakLines(runs, 1000);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0].Runs.size(), 1u);
    EXPECT_EQ(wide[0].Runs[0].Text, runs[0].Text);
}

TEST_F(FormulaLayoutTest, FractionStacksNumeratorOverRuleOverDenominator)
{
    block_.Reset(BlockKind::Equation).Text("τ = ").Begin(TokenKind::Fraction).Text("l").Bar().Text("v");
    block_.Part(TokenKind::Sub, "пред").End().Text(" = 1 мин.");
    const std::vector<FormulaBox> boxes = LayoutFormula(block_, fonts_, 400);
    ASSERT_EQ(boxes.size(), 1u);
    const FormulaBox& box = boxes[0];
    ASSERT_EQ(box.Rules.size(), 1u);
    const FormulaRule& rule = box.Rules[0];
    double numerator = 0, denominator = 0, index = 0;
    for (const FormulaText& t : box.Texts) {
        if (t.Text == "l") numerator = t.Y;
        if (t.Text == "v") denominator = t.Y;
        if (t.Text == "пред") index = t.Y;
        EXPECT_EQ(t.Y == 0, t.Text == "τ = " || t.Text == " = 1 мин.") << t.Text.toStdString();
    }
    EXPECT_LT(numerator, rule.Y);
    EXPECT_GT(denominator, rule.Y);
    EXPECT_LT(rule.Y, 0) << "the rule is above the baseline";
    EXPECT_GT(index, denominator) << "the index is below its letter";
    EXPECT_GT(box.Ascent, -numerator);
    EXPECT_EQ(Texts(boxes), "τ = lvпред = 1 мин.");
}

TEST_F(FormulaLayoutTest, LongSumsAndEquationsAreBrokenToFit)
{
    block_.Reset(BlockKind::Equation).Text("τз = 75 ").Dot().Text(" 0,1 ( ");
    block_.Begin(TokenKind::Fraction).Text("1").Bar();
    QString terms;
    for (int j = 1; j <= 40; ++j) {
        const std::string term = (j > 1 ? "+" : "") + std::string("(12,444") + "·" + "1,35)";
        block_.Text(term);
        terms += QString::fromStdString(term);
    }
    block_.End().Text(" ) = 0,625 мин.");
    const double width = 300;
    const std::vector<FormulaBox> boxes = LayoutFormula(block_, fonts_, width);
    for (const FormulaBox& b : boxes) EXPECT_LE(b.Width, width + 0.01);
    // The same text; a line going on before "=" drops the blank before it.
    QString expected = "τз = 75 · 0,1 ( 1" + terms + " ) = 0,625 мин.";
    EXPECT_EQ(Texts(boxes).remove(' '), expected.remove(' '));
    // The denominator takes several lines, each ending with its "+".
    int denominatorLines = 0;
    for (const FormulaBox& b : boxes)
        for (const FormulaText& t : b.Texts)
            if (t.Text.startsWith("(12,444")) {
                ++denominatorLines;
                EXPECT_TRUE(t.Text.endsWith("+") || t.Text.endsWith(")"));
            }
    EXPECT_GT(denominatorLines, 1);

    // A plain equation wider than the line goes on before an "=".
    block_.Reset(BlockKind::Equation).Text("q = ");
    for (int i = 0; i < 12; ++i) block_.Text("(123,456·7,89) = ");
    block_.Text("1 м/мин");
    const std::vector<FormulaBox> lines = LayoutFormula(block_, fonts_, width);
    ASSERT_GT(lines.size(), 1u);
    for (std::size_t k = 1; k < lines.size(); ++k) EXPECT_TRUE(lines[k].Texts.front().Text.startsWith("= "));
    for (const FormulaBox& b : lines) EXPECT_LE(b.Width, width + 0.01);
}

}  // namespace
}  // namespace stelmar
