#pragma once

// Tables as an XLSX workbook, one sheet per table: a bold header row that
// stays in view, number cells as numbers and every other cell as text, so
// that a spreadsheet never reads a label such as "1-3" as a date.

#include <optional>
#include <string>
#include <vector>

#include "calc/ResultTables.h"

namespace stelmar {

// The workbook's bytes in `bytes`; the reason in Russian when it cannot be
// made.
std::optional<std::string> XlsxWorkbook(const std::vector<ResultTable>& tables, std::string& bytes);

}  // namespace stelmar
