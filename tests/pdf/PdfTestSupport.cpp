#include "tests/pdf/PdfTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "calc/FlowCalculation.h"
#include "calc/ReportWriter.h"
#include "calc/Validation.h"
#include "model/TextCodec.h"
#include "pdf/PdfReport.h"

namespace stelmar::test {

namespace {

void AppendCodePoint(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendCp1251(std::string& out, char byte)
{
    out += Cp1251ToUtf8(std::string(1, byte)).value_or("?");
}

bool IsBlank(char32_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == 0xA0; }

std::u32string Decode(const std::string& utf8)
{
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        char32_t c = b;
        int extra = 0;
        if (b >= 0xF0) {
            c = b & 0x07;
            extra = 3;
        } else if (b >= 0xE0) {
            c = b & 0x0F;
            extra = 2;
        } else if (b >= 0xC0) {
            c = b & 0x1F;
            extra = 1;
        }
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
        out += c;
        i += 1 + extra;
    }
    return out;
}

std::string Encode(const std::u32string& text)
{
    std::string out;
    for (char32_t c : text) AppendCodePoint(out, c);
    return out;
}

}  // namespace

std::string RtfVisibleText(const std::string& rtf)
{
    std::string out;
    std::vector<bool> hidden{false};
    int skipAfterUnicode = 0;
    for (std::size_t i = 0; i < rtf.size();) {
        const char c = rtf[i];
        if (c == '{') {
            hidden.push_back(hidden.back());
            ++i;
            continue;
        }
        if (c == '}') {
            if (hidden.size() > 1) hidden.pop_back();
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c != '\\') {
            if (skipAfterUnicode > 0) --skipAfterUnicode;
            else if (!hidden.back()) AppendCp1251(out, c);
            ++i;
            continue;
        }
        // A control symbol or word.
        const char next = i + 1 < rtf.size() ? rtf[i + 1] : ' ';
        if (next == '\\' || next == '{' || next == '}') {
            if (!hidden.back()) out += next;
            i += 2;
            continue;
        }
        if (next == '*') {
            hidden.back() = true;
            i += 2;
            continue;
        }
        if (next == '\'') {
            const char byte = static_cast<char>(std::stoi(rtf.substr(i + 2, 2), nullptr, 16));
            if (skipAfterUnicode > 0) --skipAfterUnicode;
            else if (!hidden.back()) AppendCp1251(out, byte);
            i += 4;
            continue;
        }
        std::size_t j = i + 1;
        while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
        const std::string word = rtf.substr(i + 1, j - i - 1);
        std::size_t k = j;
        if (k < rtf.size() && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k])))) ++k;
        while (k < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[k]))) ++k;
        const std::string parameter = rtf.substr(j, k - j);
        if (k < rtf.size() && rtf[k] == ' ') ++k;
        i = k;
        if (word == "fldinst" || word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info") {
            hidden.back() = true;
        } else if (hidden.back()) {
            continue;
        } else if (word == "par" || word == "row") {
            out += '\n';
        } else if (word == "cell") {
            out += '\t';
        } else if (word == "u") {
            int code = std::stoi(parameter);
            if (code < 0) code += 65536;
            AppendCodePoint(out, static_cast<std::uint32_t>(code));
            skipAfterUnicode = 1;
        }
    }
    return out;
}

std::u32string Essential(const std::string& utf8)
{
    std::u32string out;
    for (char32_t c : Decode(utf8))
        if (!IsBlank(c) && c != '(' && c != ')' && c != '/') out += c;
    return out;
}

std::string FirstDifference(const std::u32string& a, const std::u32string& b)
{
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    if (i == a.size() && i == b.size()) return {};
    const std::size_t from = i > 60 ? i - 60 : 0;
    return "at " + std::to_string(i) + ":\n  " + Encode(a.substr(from, 120)) + "\n  " + Encode(b.substr(from, 120));
}

std::string RunCommand(const std::string& command, int* status)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    std::array<char, 65536> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
    const int result = ::pclose(pipe);
    if (status) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return out;
}

std::vector<std::string> PdfPageTexts(const std::string& path)
{
    int status = 0;
    const std::string text = RunCommand(std::string(PDFTOTEXT) + " -raw -enc UTF-8 '" + path + "' -", &status);
    EXPECT_EQ(status, 0) << "pdftotext " << path;
    std::vector<std::string> pages;
    std::stringstream in(text);
    std::string page;
    while (std::getline(in, page, '\f')) pages.push_back(page);
    // pdftotext ends the last page with a form feed too.
    if (!pages.empty() && pages.back().find_first_not_of(" \n") == std::string::npos) pages.pop_back();
    return pages;
}

QImage RenderPdfPage(const std::string& path, int page, int dpi)
{
    const std::string base = TempFolder("render") + "/page";
    const std::string command = std::string(PDFTOPPM) + " -png -r " + std::to_string(dpi) + " -f " +
                                std::to_string(page) + " -l " + std::to_string(page) + " -singlefile '" + path +
                                "' '" + base + "'";
    int status = 0;
    RunCommand(command, &status);
    EXPECT_EQ(status, 0) << command;
    return QImage(QString::fromStdString(base + ".png"));
}

std::string CalculateAndWriteReports(TPipeLine& s, const std::string& pdfPath, const std::string& calculatedAt)
{
    EXPECT_TRUE(ValidateScheme(s).empty());
    Calculate(s, ',');
    std::ostringstream rtf;
    BuildReport(s, ',', rtf);
    EXPECT_EQ(WritePdfReport(s, ReportTitle{calculatedAt}, ',', pdfPath), std::nullopt);
    return rtf.str();
}

std::string TempFolder(const std::string& name)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("stelmar-pdf-test-" + std::to_string(::getpid())) / name;
    std::filesystem::create_directories(dir);
    return dir.string();
}

}  // namespace stelmar::test
