// The drawings of the PDF report rendered and read back: every floor at
// one scale stated on its page, the largest floor filling the width
// between the margins on a page turned to its shape, no label outside the
// frame or under 6 pt, overview and detail pages for a floor too dense for
// its labels, and the final result kept with the total time before it.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QColor>
#include <QPainter>
#include <QPdfWriter>
#include <iterator>
#include <regex>
#include <sstream>

#include "calc/FlowCalculation.h"
#include "model/SchemeBuilder.h"
#include "pdf/FloorPages.h"
#include "pdf/PdfReport.h"
#include "pdf/ReportLayout.h"
#include "tests/TestSchemes.h"
#include "tests/pdf/PdfTestSupport.h"

namespace stelmar::test {
namespace {

struct Word {
    double Left, Top, Right, Bottom;
    std::string Text;
};

// The words of page `page` with their boxes in points, by pdftotext -bbox.
std::vector<Word> PageWords(const std::string& path, int page)
{
    const std::string html = RunCommand(std::string(PDFTOTEXT) + " -bbox -f " + std::to_string(page) + " -l " +
                                        std::to_string(page) + " '" + path + "' -");
    std::vector<Word> words;
    const std::regex word(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
    for (auto i = std::sregex_iterator(html.begin(), html.end(), word); i != std::sregex_iterator(); ++i)
        words.push_back({std::stod((*i)[1]), std::stod((*i)[2]), std::stod((*i)[3]), std::stod((*i)[4]), (*i)[5]});
    return words;
}

// The pages whose text holds `part`, from 1.
std::vector<int> PagesWith(const std::vector<std::string>& pages, const std::string& part)
{
    std::vector<int> found;
    for (std::size_t i = 0; i < pages.size(); ++i)
        if (pages[i].find(part) != std::string::npos) found.push_back(int(i) + 1);
    return found;
}

std::string ScaleLine(const std::string& page)
{
    std::smatch m;
    return std::regex_search(page, m, std::regex("Масштаб [^\\n]*")) ? m.str() : std::string();
}

// The frame of the drawing on a page rendered at 72 dpi (a pixel a point):
// the outermost columns and rows with a long run of grey.
QRect FrameOf(const QImage& image)
{
    const auto grey = [&](int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return c.red() < 235 && std::abs(c.red() - c.green()) < 12 && std::abs(c.red() - c.blue()) < 12;
    };
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int x = 0; x < image.width(); ++x) {
        int run = 0, longest = 0;
        for (int y = 0; y < image.height(); ++y) longest = std::max(longest, run = grey(x, y) ? run + 1 : 0);
        if (longest > 60) left = std::min(left, x), right = std::max(right, x);
    }
    for (int y = 0; y < image.height(); ++y) {
        int run = 0, longest = 0;
        for (int x = 0; x < image.width(); ++x) longest = std::max(longest, run = grey(x, y) ? run + 1 : 0);
        if (longest > 300) top = std::min(top, y), bottom = std::max(bottom, y);
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// Floor 1: eight rooms along a corridor 1,600 pixels long; floor 2: one
// room above the first, down a stair, taller than wide. Both at 2.5 cm a
// pixel.
TPipeLine CorridorAndRoom()
{
    TPipeLine s;
    s.EtagCount = 2;
    s.ShowNumbers = true;
    SchemeBuilder b(s);
    const int exit = b.Exit({.X = 1720, .Y = 300});
    int next = exit;
    for (int i = 7; i >= 0; --i) {
        const int j = b.Junction({.X = 120 + 200 * i, .Y = 300});
        b.Area(j, next, 5, 2);
        b.Area(b.Input({.X = 120 + 200 * i, .Y = 120, .People = 20 + 5 * i}), j, 4.5, 1.2);
        next = j;
    }
    b.OnFloor(2);
    const int landing = b.Junction({.X = 120, .Y = 160});
    b.Area(b.Input({.X = 140, .Y = 20, .People = 15}), landing, 5, 1.2);
    b.Area(landing, next, 6, 1.2, kStairsDown);
    s.Plans[1].Scale = s.Plans[2].Scale = 0.025;
    return s;
}

}  // namespace

TEST(DrawingPages, OneScaleFillingTheWidthWithEveryLabelInsideTheFrame)
{
    TPipeLine s = CorridorAndRoom();
    const std::string pdf = TempFolder("drawings") + "/report.pdf";
    CalculateAndWriteReports(s, pdf);
    const std::vector<std::string> pages = PdfPageTexts(pdf);
    const std::vector<int> drawings = PagesWith(pages, "Масштаб ");
    ASSERT_EQ(drawings.size(), 2u);
    const std::string scale = ScaleLine(pages[drawings[0] - 1]);
    EXPECT_TRUE(std::regex_match(scale, std::regex("Масштаб 1:[0-9]+"))) << scale;
    EXPECT_EQ(ScaleLine(pages[drawings[1] - 1]), scale) << "both floors at one scale";
    EXPECT_NE(pages[drawings[0] - 1].find("Этаж 1"), std::string::npos);

    // The corridor's page is turned, and its drawing spans the room between
    // the margins.
    const QImage page = RenderPdfPage(pdf, drawings[0], 72);
    ASSERT_EQ(page.width(), 842);
    const QRectF room = FloorPages::DrawingRoom(QPageLayout::Landscape);
    const QRect frame = FrameOf(page);
    EXPECT_NEAR(frame.left(), room.left(), 2);
    EXPECT_NEAR(frame.right(), room.right(), 2);
    EXPECT_GE(frame.top(), room.top() - 2);

    // Every label of the drawing lies inside the frame, at 6 pt at least.
    int labels = 0;
    for (const Word& w : PageWords(pdf, drawings[0])) {
        if (w.Top < frame.top() - 1 || w.Top > frame.bottom()) continue;
        ++labels;
        EXPECT_GE(w.Left, frame.left()) << w.Text;
        EXPECT_LE(w.Right, frame.right() + 0.5) << w.Text;
        EXPECT_LE(w.Bottom, frame.bottom() + 0.5) << w.Text;
        EXPECT_GE(w.Bottom - w.Top, 6) << w.Text;
    }
    EXPECT_GE(labels, 8 + 8 + 1) << "node labels, times of the areas and of the exit";

    // The room's floor, portrait, at the same scale: a small drawing.
    const QImage upstairs = RenderPdfPage(pdf, drawings[1], 72);
    EXPECT_EQ(upstairs.width(), 595);
    EXPECT_LT(FrameOf(upstairs).width(), 200);
}

// The bytes of a PDF page of 1,800 × 600 points with a hairline across it.
std::string HairlinePlan()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF(1800, 600), QPageSize::Point), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0)));
        QPainter painter(&writer);
        painter.setPen(QPen(Qt::black, 0));
        painter.drawLine(QPointF(1010, 0), QPointF(1010, 600));
    }
    return bytes.toStdString();
}

// The largest horizontal resolution, pixels per inch, of the images on
// page `page`, by pdfimages -list; 0 when it has none.
int LargestImageResolution(const std::string& path, int page)
{
    const std::string list = RunCommand(std::string(PDFIMAGES) + " -list -f " + std::to_string(page) + " -l " +
                                        std::to_string(page) + " '" + path + "'");
    int largest = 0;
    std::istringstream lines(list);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::vector<std::string> f{std::istream_iterator<std::string>(fields), {}};
        if (f.size() > 12 && f[2] == "image") largest = std::max(largest, std::atoi(f[12].c_str()));
    }
    return largest;
}

// A floor's vector plan is drawn for the page, not from the floor's picture
// at a pixel a canvas pixel: the corridor's floor is drawn at under half a
// point a canvas pixel, so its picture would be under 170 pixels an inch.
TEST(DrawingPages, VectorPlanIsDrawnAtThePageResolution)
{
    TPipeLine s = CorridorAndRoom();
    s.Plans[1].Source = std::make_shared<const TPlanSource>(TPlanSource{"pdf", HairlinePlan()});
    s.Plans[1].PixelsPerUnit = 1;
    const std::string pdf = TempFolder("vector-plan") + "/report.pdf";
    CalculateAndWriteReports(s, pdf);
    const std::vector<int> drawings = PagesWith(PdfPageTexts(pdf), "Масштаб ");
    ASSERT_EQ(drawings.size(), 2u);
    EXPECT_GE(LargestImageResolution(pdf, drawings[0]), 600);
    EXPECT_EQ(LargestImageResolution(pdf, drawings[1]), 0) << "the upper floor has no plan";
}

// A floor whose labels cannot be placed at the scale of the whole floor:
// an overview page and detail pages, all details at one scale.
TEST(DrawingPages, DenseFloorGetsAnOverviewAndDetails)
{
    TPipeLine s;
    s.ShowNumbers = true;
    s.FullReport = false;
    SchemeBuilder b(s);
    int next = b.Exit({.X = 1960, .Y = 1400});
    for (int x = 1930; x >= 40; x -= 30) {
        const int j = b.Junction({.X = x, .Y = 1400});
        b.Area(j, next, 1.5, 2.4);
        int up = j;
        for (int y = 1370; y >= 1100; y -= 30) {
            const int k = b.Junction({.X = x, .Y = y});
            b.Area(k, up, 1.5, 1.2);
            up = k;
        }
        b.Area(b.Input({.X = x, .Y = 1070, .People = 5}), up, 1.5, 1.2);
        next = j;
    }
    const std::string pdf = TempFolder("dense") + "/report.pdf";
    CalculateAndWriteReports(s, pdf);
    const std::vector<std::string> pages = PdfPageTexts(pdf);
    ASSERT_EQ(PagesWith(pages, "общий вид").size(), 1u);
    const std::string overview = ScaleLine(pages[PagesWith(pages, "общий вид")[0] - 1]);
    std::smatch detail;
    ASSERT_TRUE(std::regex_search(overview, detail, std::regex("фрагменты в масштабе ([0-9]+ %)"))) << overview;
    const std::vector<int> details = PagesWith(pages, "фрагмент ");
    ASSERT_GE(details.size(), 3u);
    for (int p : details) EXPECT_EQ(ScaleLine(pages[p - 1]), "Масштаб " + detail[1].str());
    for (const Word& w : PageWords(pdf, details[0])) EXPECT_GE(w.Bottom - w.Top, 6) << w.Text;
}

// Whatever the length of the report, the page of the final result holds
// the line of the total time before it.
TEST(DrawingPages, FinalResultStaysWithTheTotalTime)
{
    const std::u32string result = Essential("Итак, общее расчетное время эвакуации равно");
    const std::u32string total = Essential("tp = ");
    for (unsigned seed = 1; seed <= 8; ++seed) {
        TPipeLine s = RandomTree(seed, 10 + int(seed) * 7, 12 + int(seed) * 5);
        s.FullReport = seed % 2 == 0;
        const std::string pdf = TempFolder("final") + "/report-" + std::to_string(seed) + ".pdf";
        CalculateAndWriteReports(s, pdf);
        const std::vector<std::string> pages = PdfPageTexts(pdf);
        const std::u32string last = Essential(pages.back());
        ASSERT_NE(last.find(result), std::u32string::npos) << seed;
        EXPECT_NE(last.find(total), std::u32string::npos) << "seed " << seed;
    }
}

}  // namespace stelmar::test
