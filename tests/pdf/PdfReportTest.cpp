// The PDF report read back with pdftotext and pdftoppm: the derivation
// equals the RTF report's text, the title block and the input data are
// there, the pages are numbered, the formulas print the numbers they were
// computed from, and the drawings show the results.

#include <gtest/gtest.h>

#include <QColor>
#include <filesystem>
#include <regex>

#include "calc/FlowResults.h"
#include "drawing/ResultsDrawing.h"
#include "drawing/SchemeDrawing.h"
#include "calc/FlowCalculation.h"
#include "calc/MovementTables.h"
#include "calc/ReportFrontMatter.h"
#include "calc/Validation.h"
#include "model/MobilityGroups.h"
#include "model/NumberText.h"
#include "model/ProgramVersion.h"
#include "model/ProjectFile.h"
#include "pdf/FloorPages.h"
#include "pdf/PdfReport.h"
#include "pdf/ReportLayout.h"
#include "tests/TestSchemes.h"
#include "tests/pdf/PdfTestSupport.h"

namespace stelmar::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDerivationHeading = "3. Расчет времени эвакуации";

// The header rows of the report's tables, as a table repeats them on a new
// page.
const std::vector<std::u32string>& TableHeaders()
{
    static const std::vector<std::u32string> headers = [] {
        std::vector<std::u32string> all;
        for (const char* text :
             {"Участок Тип Длина, м. Ширина, м. Интенсивность, м/мин. Скорость, м/мин. Время, мин.",
              "№ потока Количество людей Средняя площадь горизонтальной проекции человека, м2 Длина, м Время, мин.",
              "№ участка Количество людей Тип участка Длина, м. Ширина , м.",
              "Вход Количество людей N Площадь проекции человека f, м2 Группа мобильности",
              "Участок Тип Длина l, м Ширина δ, м"})
            all.push_back(Essential(text));
        return all;
    }();
    return headers;
}

struct PdfText {
    std::vector<std::string> Pages;
    // The essential text of every page without its number line and without
    // the repeated header of a table continued from the page before.
    std::vector<std::u32string> Bodies;
    std::vector<std::string> Numbers;  // the number line of each page
    int ContinuedTables = 0;
};

PdfText ReadPdf(const std::string& path)
{
    PdfText pdf;
    pdf.Pages = PdfPageTexts(path);
    for (const std::string& page : pdf.Pages) {
        std::vector<std::string> lines;
        std::stringstream in(page);
        for (std::string line; std::getline(in, line);)
            if (!line.empty()) lines.push_back(line);
        std::string number;
        if (!lines.empty() && std::regex_match(lines.back(), std::regex("Страница [0-9]+ из [0-9]+"))) {
            number = lines.back();
            lines.pop_back();
        }
        pdf.Numbers.push_back(number);
        bool continued = !lines.empty() && lines.front() == kTableContinued;
        if (continued) lines.erase(lines.begin());
        std::string text;
        for (const std::string& line : lines) text += line + "\n";
        std::u32string body = Essential(text);
        if (continued) {
            ++pdf.ContinuedTables;
            bool found = false;
            for (const std::u32string& header : TableHeaders())
                if (body.starts_with(header)) {
                    body.erase(0, header.size());
                    found = true;
                    break;
                }
            EXPECT_TRUE(found) << "a continued table without its header on page " << pdf.Bodies.size() + 1;
        }
        pdf.Bodies.push_back(std::move(body));
    }
    return pdf;
}

// The derivation: everything after its section heading.
std::u32string Derivation(const PdfText& pdf)
{
    const std::u32string heading = Essential(kDerivationHeading);
    std::u32string text;
    bool started = false;
    for (const std::u32string& body : pdf.Bodies) {
        if (!started) {
            const std::size_t at = body.find(heading);
            if (at == std::u32string::npos) continue;
            started = true;
            text += body.substr(at + heading.size());
        } else {
            text += body;
        }
    }
    EXPECT_TRUE(started) << "no derivation heading";
    return text;
}

std::u32string AllText(const PdfText& pdf)
{
    std::u32string text;
    for (const std::u32string& body : pdf.Bodies) text += body;
    return text;
}

bool Contains(const std::u32string& text, const std::string& part) { return text.find(Essential(part)) != std::u32string::npos; }

// The example project as stelmar-calc reads it for the golden reports.
TPipeLine ExampleScheme(const std::string& name)
{
    ProjectReadResult read = ReadProjectFile(std::string(STELMAR_EXAMPLES_DIR) + "/" + name, false);
    EXPECT_TRUE(read.Scheme.has_value()) << read.Error;
    return read.Scheme ? std::move(*read.Scheme) : TPipeLine{};
}

struct GoldenCase {
    const char* Project;
    bool Full;
    int Precision;
    bool VrSk;
};

}  // namespace

// The derivation of the PDF is the RTF report's text, character for
// character apart from blanks and the brackets of fractions, for the
// examples of the golden RTF reports.
TEST(PdfReport, DerivationEqualsTheRtfReport)
{
    const std::string dir = TempFolder("golden");
    for (const GoldenCase& c : {GoldenCase{"office-floor.stm", true, 3, false}, GoldenCase{"office-floor.stm", false, 3, false},
                                GoldenCase{"care-home.stm", true, 3, true}, GoldenCase{"school-wing.stm", false, 2, true},
                                GoldenCase{"care-home.stm", false, 1, false}}) {
        TPipeLine s = ExampleScheme(c.Project);
        s.FullReport = c.Full;
        s.Precision = static_cast<std::uint8_t>(c.Precision);
        s.VrSk = c.VrSk;
        const std::string pdf = dir + "/" + c.Project + (c.Full ? "-full.pdf" : "-summary.pdf");
        const std::string rtf = CalculateAndWriteReports(s, pdf);
        const std::u32string expected = Essential(RtfVisibleText(rtf));
        const std::u32string derivation = Derivation(ReadPdf(pdf));
        ASSERT_GT(expected.size(), 500u);
        EXPECT_EQ(FirstDifference(expected, derivation), "") << c.Project << (c.Full ? " full" : " summary");
    }
}

// A summary too long for a page: its tables continue with their headers,
// and the text still equals the RTF report's.
TEST(PdfReport, LongTablesContinueWithTheirHeaders)
{
    TPipeLine s = RandomTree(7, 70, 90);
    s.FullReport = false;
    const std::string pdf = TempFolder("long") + "/report.pdf";
    const std::string rtf = CalculateAndWriteReports(s, pdf);
    const PdfText text = ReadPdf(pdf);
    EXPECT_GE(text.ContinuedTables, 2);
    EXPECT_EQ(FirstDifference(Essential(RtfVisibleText(rtf)), Derivation(text)), "");
}

TEST(PdfReport, EveryPageIsNumberedOutOfTheTotal)
{
    TPipeLine s = ExampleScheme("care-home.stm");
    const std::string pdf = TempFolder("numbers") + "/report.pdf";
    CalculateAndWriteReports(s, pdf);
    int status = 0;
    const std::string info = RunCommand(std::string(PDFINFO) + " '" + pdf + "'", &status);
    std::smatch pages;
    ASSERT_TRUE(std::regex_search(info, pages, std::regex("Pages: +([0-9]+)")));
    const int count = std::stoi(pages[1]);
    const PdfText text = ReadPdf(pdf);
    ASSERT_EQ(static_cast<int>(text.Numbers.size()), count);
    EXPECT_GE(count, 5);
    for (int i = 0; i < count; ++i) EXPECT_EQ(text.Numbers[i], PageNumberText(i + 1, count).toStdString());
    EXPECT_NE(info.find("pts (A4)"), std::string::npos) << info;
}

TEST(PdfReport, TitleBlockAndInputData)
{
    TPipeLine s = ExampleScheme("care-home.stm");
    s.FileName = "/проекты/Дом престарелых.stm";
    s.Precision = 2;
    s.RazVr = true;
    s.VrSk = false;
    const std::string pdf = TempFolder("title") + "/report.pdf";
    CalculateAndWriteReports(s, pdf, "05.03.2025 14:07");
    const PdfText text = ReadPdf(pdf);
    const std::u32string title = text.Bodies.at(0);
    for (const std::string& line : std::vector<std::string>{
             "Отчет о расчете времени эвакуации людей", "Проект: Дом престарелых", "Файл проекта: /проекты/Дом престарелых.stm",
          "Дата и время расчета: 05.03.2025 14:07", std::string("Программа: Stelmar, версия ") + kProgramVersion,
          "Параметры расчета: округление чисел до 2-го знака после запятой; различное время подхода к точке "
          "слияния потоков учитывается; время скопления не рассчитывается; отчет полный.",
          "Расчет выполнил:", "Организация:"})
        EXPECT_TRUE(Contains(title, line)) << line;

    // Every input and area of the floor, in its table.
    const std::u32string all = AllText(text);
    std::string inputs = "Вход Количество людей N Площадь проекции человека f, м2 Группа мобильности";
    std::string areas = "Участок Тип Длина l, м Ширина δ, м";
    for (int i = 1; i <= NodeCount(s); ++i) {
        const TNode& n = s.Nodes[i];
        if (n.Kind != kInput) continue;
        inputs += " " + NodeLabel(s, i) + " " + std::to_string(n.People) + " " + FormatReal(n.F, ',') + " " +
                  kMobilityGroups[n.Mobility].DialogCaption;
    }
    for (int a = 1; a <= AreaCount(s); ++a) {
        const TArea& area = s.Areas[a];
        std::string kind;
        PathKindName(area.Kind, kind);
        areas += " " + AreaLabel(s, area) + " " + kind + " " + FormatReal(area.Length, ',') + " " +
                 FormatReal(area.Width, ',');
    }
    EXPECT_TRUE(Contains(all, "1. Исходные данные Этаж 1 Входы: " + inputs + " Участки: " + areas));
}

// The two mended formulas, on groups merging at a narrow doorway (worked
// by hand in FlowCalculationTest): the whole stream's 75 people, and the
// arriving flows joined by "+".
TEST(PdfReport, DelayFormulasPrintTheNumbersTheyWereComputedFrom)
{
    TPipeLine s = GroupMergeAtDoorway(true);
    const std::string pdf = TempFolder("mends") + "/report.pdf";
    CalculateAndWriteReports(s, pdf);
    const std::u32string text = Derivation(ReadPdf(pdf));
    EXPECT_TRUE(Contains(text, "τз = N · f ( 1/(qпред·δi) - 1/(qi-1·δi-1) ) = 75 · 0,1 ( 1/(9,84·1) - "
                               "1/((3·2,5)+(12·2,5)) ) = 0,56 мин."));
    EXPECT_TRUE(Contains(text, "= 75 · 0,1 ( 1/(6,25·1) - 1/((3·2,5)+(12·2,5)) ) = 1 мин."));
    EXPECT_TRUE(Contains(text, "τск = N · f/(qпред·δi) = 75 · 0,1/(9,84·1) = 0,76 мин."));
    EXPECT_TRUE(Contains(text, "τск = N · f/(qпред·δi) = 75 · 0,1/(6,25·1) = 1,2 мин."));
    EXPECT_FALSE(Contains(text, "= 25 · 0,1 ( 1/(9,84·1)")) << "the delay of the М2 flow came from the whole stream";
    EXPECT_FALSE(Contains(text, "= 50 · 0,1 ( 1/(6,25·1)"));
    // The result in minutes and in minutes and seconds.
    EXPECT_TRUE(Contains(text, "Итак, общее расчетное время эвакуации равно 1,4 мин. (или 1 мин. 24 сек.)"));
}

// The floor's page shows the areas in the colours of how the flows moved
// there: here the horizontal paths (slowed, free) and the doorway with
// its accumulation.
TEST(PdfReport, DrawingShowsTheResults)
{
    TPipeLine s = GroupMergeAtDoorway(true);
    const std::string pdf = TempFolder("drawing") + "/report.pdf";
    CalculateAndWriteReports(s, pdf);
    const PdfText text = ReadPdf(pdf);
    int page = 0;
    for (std::size_t i = 0; i < text.Pages.size() && page == 0; ++i)
        if (text.Pages[i].find("2. Схема эвакуации с результатами расчета") != std::string::npos) page = int(i) + 1;
    ASSERT_GT(page, 0);
    const std::u32string legend = text.Bodies[page - 1];
    for (const LegendEntry& e : MovementLegend())
        EXPECT_TRUE(Contains(legend, e.Caption.toStdString())) << e.Caption.toStdString();
    // The time at the exit, on the drawing.
    EXPECT_TRUE(Contains(legend, "1,4"));

    const int dpi = 50;
    const QImage image = RenderPdfPage(pdf, page, dpi);
    ASSERT_FALSE(image.isNull());
    // Pixels of a colour right of the legend's swatches, where only the
    // drawing is.
    const auto pixels = [&](Movement m) {
        const QColor want = ToQColor(MovementColor(m));
        const int left = static_cast<int>((ReportLayout::kLeft + 30) * dpi / 72);
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = left; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (std::abs(c.red() - want.red()) + std::abs(c.green() - want.green()) +
                        std::abs(c.blue() - want.blue()) < 40)
                    ++n;
            }
        return n;
    };
    const FlowResults results = ResultsOf(s);
    ASSERT_EQ(results.Areas[3].How, Movement::Accumulation);
    EXPECT_GT(pixels(Movement::Accumulation), 5);
    EXPECT_GT(pixels(results.Areas[1].How), 5);
    EXPECT_EQ(pixels(Movement::Bottleneck), 0) << "no area is a bottleneck without accumulation";
}

TEST(PdfReport, StoppedWritingLeavesNoFile)
{
    TPipeLine s = ExampleScheme("office-floor.stm");
    ASSERT_TRUE(ValidateScheme(s).empty());
    Calculate(s, ',');
    const std::string path = TempFolder("stopped") + "/report.pdf";
    std::vector<int> seen;
    const auto stopAt = [&](int percent) {
        seen.push_back(percent);
        return percent < 30;
    };
    EXPECT_EQ(WritePdfReport(s, {}, ',', path, stopAt), std::string(kPdfCancelled));
    EXPECT_FALSE(fs::exists(path));
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));

    seen.clear();
    EXPECT_EQ(WritePdfReport(s, {}, ',', path, [&](int p) { return seen.push_back(p), true; }), std::nullopt);
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));

    const auto failure = WritePdfReport(s, {}, ',', "/nonexistent-folder/report.pdf");
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("Не удалось записать отчет в файл \"/nonexistent-folder/report.pdf\""), std::string::npos);
}

}  // namespace stelmar::test
