// The PDF report through the program's faces: stelmar-calc --pdf, the
// service's answer page and its download.

#include <gtest/gtest.h>

#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "service/CalculationServer.h"
#include "service/CalculationService.h"
#include "tests/TestFiles.h"
#include "tests/pdf/PdfTestSupport.h"

namespace stelmar::test {
namespace {

namespace fs = std::filesystem;

std::string Example(const std::string& name) { return ReadAll(std::string(STELMAR_EXAMPLES_DIR) + "/" + name); }

Upload Form(const std::string& project, bool full)
{
    Upload u;
    u.Parts = {{"userfile", "care-home.stm", project},
               {"raz_vr", {}, "1"},
               {"vr_sk", {}, "1"},
               {"full_report", {}, full ? "1" : "0"},
               {"prec", {}, "3"}};
    return u;
}

// The essential text of all pages (see Essential).
std::u32string AllPages(const std::string& path)
{
    std::string text;
    for (const std::string& page : PdfPageTexts(path)) text += page;
    return Essential(text);
}

bool Contains(const std::u32string& text, const std::string& part) { return text.find(Essential(part)) != std::u32string::npos; }

}  // namespace

TEST(PdfCalculator, WritesThePdfWithoutADisplay)
{
    const std::string dir = TempFolder("calc");
    const std::string pdf = dir + "/отчет.pdf";
    const std::string rtf = dir + "/report.rtf";
    const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LC_ALL=C.UTF-8 ") +
                                STELMAR_CALC_BINARY + " " + STELMAR_EXAMPLES_DIR +
                                "/office-floor.stm --decimal-separator , --report summary --out " + rtf + " --pdf '" +
                                pdf + "' 2>&1";
    int status = -1;
    const std::string output = RunCommand(command, &status);
    ASSERT_EQ(status, 0) << output;
    EXPECT_TRUE(ReadAll(pdf).starts_with("%PDF-"));
    const std::u32string text = AllPages(pdf);
    EXPECT_TRUE(Contains(text, "Проект: office-floor"));
    EXPECT_TRUE(Contains(text, "отчет сводный"));
    EXPECT_TRUE(Contains(text, "Сводная таблица по участкам:"));
    EXPECT_EQ(ReadAll(rtf), ReadAll(std::string(STELMAR_EXAMPLES_DIR) + "/../tests/data/office-floor-summary.rtf"));

    const std::string failing = std::string(STELMAR_CALC_BINARY) + " " + STELMAR_EXAMPLES_DIR +
                                "/office-floor.stm --pdf /nonexistent-folder/r.pdf 2>&1";
    const std::string message = RunCommand(failing, &status);
    EXPECT_EQ(status, 74);
    EXPECT_NE(message.find("Не удалось записать отчет PDF в файл \"/nonexistent-folder/r.pdf\""), std::string::npos)
        << message;
}

TEST(PdfService, AnswerLinksThePdfBesideTheRtf)
{
    const std::string project = Example("care-home.stm");
    const ServiceResponse r = HandleCalculation(Form(project, true));
    ASSERT_EQ(r.Status, 200);
    ASSERT_TRUE(r.PdfSource.has_value());
    const std::string rtfLink = "<p><a href=\"report/" + r.ReportId + "/report.rtf\" download=\"report.rtf\">Скачать полный отчет (report.rtf, ";
    const std::string pdfLink = "<p><a href=\"report/" + r.ReportId +
                                "/report.pdf\" download=\"report.pdf\">Скачать полный отчет в формате PDF (report.pdf)</a></p>\n"
                                "<p>Отчет хранится на сервере ограниченное время: сохраните его на своем компьютере.</p>";
    EXPECT_NE(r.Html.find(rtfLink), std::string::npos);
    EXPECT_NE(r.Html.find(pdfLink), std::string::npos) << r.Html;

    const std::optional<std::string> pdf = MakePdfReport(*r.PdfSource);
    ASSERT_TRUE(pdf.has_value());
    ASSERT_TRUE(pdf->starts_with("%PDF-"));
    const std::string path = TempFolder("service") + "/report.pdf";
    std::ofstream(path, std::ios::binary) << *pdf;
    const std::u32string text = AllPages(path);
    EXPECT_TRUE(Contains(text, "Проект: care-home"));
    EXPECT_TRUE(Contains(text, "различное время подхода к точке слияния потоков учитывается; время скопления рассчитывается"));
    EXPECT_TRUE(Contains(text, "Вычислим время скопления:"));

    EXPECT_EQ(MakePdfReport("something else"), std::nullopt);
    EXPECT_EQ(MakePdfReport(r.PdfSource->substr(0, r.PdfSource->size() / 2)), std::nullopt);

    // A calculation too large for a PDF gets the RTF link only.
    ServiceLimits limits;
    limits.MaxPdfSteps = 3;
    const ServiceResponse large = HandleCalculation(Form(project, false), limits);
    EXPECT_FALSE(large.PdfSource.has_value());
    EXPECT_EQ(large.Html.find("report.pdf"), std::string::npos);
}

TEST(PdfService, ServesThePdfForTheLinkOnly)
{
    CalculationServer server;
    ASSERT_EQ(server.Start("127.0.0.1", 0), std::nullopt);
    httplib::Client client("127.0.0.1", server.Port());
    client.set_read_timeout(30, 0);
    const httplib::MultipartFormDataItems items = {
        {"userfile", Example("school-wing.stm"), "school-wing.stm", "application/octet-stream"},
        {"full_report", "1", "", ""},
        {"prec", "2", "", ""}};
    const auto page = client.Post("/obe/StelmarCalc_3000.php", items);
    ASSERT_TRUE(page);
    ASSERT_EQ(page->status, 200);
    std::smatch link;
    ASSERT_TRUE(std::regex_search(page->body, link, std::regex("href=\"(report/[0-9a-f]{32}/report\\.pdf)\"")));
    const std::string address = "/obe/" + link[1].str();

    // Downloads asked for together all get the one document the first of
    // them has made.
    std::vector<std::optional<httplib::Response>> downloads(4);
    std::vector<std::thread> clients;
    for (std::optional<httplib::Response>& download : downloads)
        clients.emplace_back([&] {
            httplib::Client own("127.0.0.1", server.Port());
            own.set_read_timeout(30, 0);
            if (const httplib::Result result = own.Get(address)) download = *result;
        });
    for (std::thread& t : clients) t.join();
    const std::optional<httplib::Response>& pdf = downloads.front();
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->status, 200);
    EXPECT_EQ(pdf->get_header_value("Content-Type"), "application/pdf");
    EXPECT_EQ(pdf->get_header_value("Content-Disposition"), "attachment; filename=\"report.pdf\"");
    EXPECT_TRUE(pdf->body.starts_with("%PDF-"));
    const std::string tag = pdf->get_header_value("ETag");
    EXPECT_FALSE(tag.empty());
    for (const std::optional<httplib::Response>& other : downloads) {
        ASSERT_TRUE(other);
        EXPECT_EQ(other->status, 200);
        EXPECT_EQ(other->body, pdf->body);
        EXPECT_EQ(other->get_header_value("ETag"), tag);
    }
    const auto again = client.Get(address);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->body, pdf->body);
    EXPECT_EQ(again->get_header_value("Content-Length"), std::to_string(pdf->body.size()));
    const auto unchanged = client.Get(address, {{"If-None-Match", tag}});
    ASSERT_TRUE(unchanged);
    EXPECT_EQ(unchanged->status, 304);
    EXPECT_TRUE(unchanged->body.empty());

    const auto missing = client.Get("/obe/report/0123456789abcdef0123456789abcdef/report.pdf");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
    EXPECT_NE(missing->body.find("Отчета по этой ссылке нет"), std::string::npos);
    server.Stop();
}

}  // namespace stelmar::test
