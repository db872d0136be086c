#pragma once

// The element tables as text for a spreadsheet and back: rows copied as
// tab-separated lines, a column of values pasted from one.

#include <string>
#include <string_view>
#include <vector>

namespace stelmar {

// Cells joined by tabs, each row ended by a line feed. A cell holding a
// tab, a line break or a leading quotation mark is quoted as spreadsheets
// do it ("a""b" for a"b), so that it comes back as one cell.
std::string TabSeparatedRows(const std::vector<std::vector<std::string>>& rows);

// Text copied from a spreadsheet, split into rows of cells: lines end with
// CR LF, LF or CR, cells are separated by tabs, quoted cells may hold
// either. The line break after the last row adds no row.
std::vector<std::vector<std::string>> SplitTabSeparated(std::string_view text);

}  // namespace stelmar
