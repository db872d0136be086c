#include "tables/TableFiles.h"

#include <algorithm>
#include <cctype>

#include "model/CsvText.h"
#include "tables/XlsxWorkbook.h"

namespace stelmar {
namespace {

bool EndsWith(const std::string& path, const std::string& ending)
{
    if (path.size() <= ending.size()) return false;
    return std::equal(ending.rbegin(), ending.rend(), path.rbegin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

std::string CsvOf(const ResultTable& table)
{
    std::vector<std::vector<std::string>> rows{table.Headers};
    for (const std::vector<TableCell>& cells : table.Rows) {
        std::vector<std::string>& row = rows.emplace_back();
        for (const TableCell& cell : cells) row.push_back(cell.Text);
    }
    return CsvText(rows);
}

}  // namespace

std::optional<TableFormat> TableFormatOf(const std::string& path)
{
    if (EndsWith(path, ".xlsx")) return TableFormat::Xlsx;
    if (EndsWith(path, ".csv")) return TableFormat::Csv;
    return std::nullopt;
}

std::vector<std::string> TableFileNames(const std::string& path)
{
    if (TableFormatOf(path) != TableFormat::Csv) return {path};
    const std::string stem = path.substr(0, path.size() - 4);
    std::vector<std::string> names;
    for (const char* table : kResultTableNames) names.push_back(stem + "-" + table + path.substr(path.size() - 4));
    return names;
}

std::optional<std::vector<std::pair<std::string, std::string>>> TableFiles(const std::vector<ResultTable>& tables,
                                                                          const std::string& path,
                                                                          std::string& error)
{
    const std::optional<TableFormat> format = TableFormatOf(path);
    if (!format) {
        error = "Таблицы результатов записываются в файл .xlsx или .csv, а не в \"" + path + "\".";
        return std::nullopt;
    }
    std::vector<std::pair<std::string, std::string>> files;
    if (*format == TableFormat::Xlsx) {
        std::string bytes;
        if (auto failure = XlsxWorkbook(tables, bytes)) {
            error = *failure;
            return std::nullopt;
        }
        files.emplace_back(path, std::move(bytes));
        return files;
    }
    const std::vector<std::string> names = TableFileNames(path);
    for (std::size_t i = 0; i < tables.size(); ++i) files.emplace_back(names[i], CsvOf(tables[i]));
    return files;
}

}  // namespace stelmar
