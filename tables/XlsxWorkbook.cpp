#include "tables/XlsxWorkbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace stelmar {
namespace {

namespace fs = std::filesystem;

// A file for the library to write the workbook into, removed afterwards.
class ScratchFile {
public:
    ScratchFile()
    {
        std::error_code error;
        std::string pattern = (fs::temp_directory_path(error) / "stelmar-XXXXXX.xlsx").string();
        if (error) pattern = "/tmp/stelmar-XXXXXX.xlsx";
        const int fd = ::mkstemps(pattern.data(), 5);
        if (fd < 0) return;
        ::close(fd);
        path_ = pattern;
    }
    ~ScratchFile()
    {
        if (!path_.empty()) std::remove(path_.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Characters of a text, counted as a spreadsheet's column width counts
// them: one per UTF-8 lead byte.
std::size_t Characters(const std::string& text)
{
    return std::size_t(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

void WriteSheet(lxw_workbook* book, const ResultTable& table, lxw_format* bold)
{
    lxw_worksheet* sheet = workbook_add_worksheet(book, table.Title.c_str());
    std::vector<std::size_t> widths(table.Headers.size(), 4);
    for (std::size_t c = 0; c < table.Headers.size(); ++c) {
        worksheet_write_string(sheet, 0, lxw_col_t(c), table.Headers[c].c_str(), bold);
        widths[c] = std::max(widths[c], Characters(table.Headers[c]));
    }
    lxw_row_t row = 1;
    for (const std::vector<TableCell>& cells : table.Rows) {
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const TableCell& cell = cells[c];
            if (cell.Numeric)
                worksheet_write_number(sheet, row, lxw_col_t(c), cell.Number, nullptr);
            else if (!cell.Text.empty())
                worksheet_write_string(sheet, row, lxw_col_t(c), cell.Text.c_str(), nullptr);
            if (c < widths.size()) widths[c] = std::max(widths[c], Characters(cell.Text));
        }
        ++row;
    }
    for (std::size_t c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), double(std::min<std::size_t>(widths[c], 40)) + 2, nullptr);
    worksheet_freeze_panes(sheet, 1, 0);
}

}  // namespace

std::optional<std::string> XlsxWorkbook(const std::vector<ResultTable>& tables, std::string& bytes)
{
    const ScratchFile scratch;
    if (scratch.Path().empty()) return std::string("Не удалось создать временный файл для книги XLSX.");
    lxw_workbook_options options{};
    lxw_workbook* book = workbook_new_opt(scratch.Path().c_str(), &options);
    if (!book) return std::string("Не удалось начать книгу XLSX.");
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    for (const ResultTable& table : tables) WriteSheet(book, table, bold);
    if (const lxw_error error = workbook_close(book); error != LXW_NO_ERROR)
        return std::string("Не удалось составить книгу XLSX: ") + lxw_strerror(error);
    std::ifstream in(scratch.Path(), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    if (!in) return std::string("Не удалось прочитать составленную книгу XLSX.");
    bytes = std::move(out).str();
    return std::nullopt;
}

}  // namespace stelmar
