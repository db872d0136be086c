#pragma once

// The files the results tables are saved as: a workbook for a name ending
// in ".xlsx", and for one ending in ".csv" one CSV file per table beside it
// (OUT.csv: OUT-areas.csv, OUT-exits.csv, OUT-flows.csv).

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "calc/ResultTables.h"

namespace stelmar {

enum class TableFormat { Xlsx, Csv };

// The format a file name asks for; none for another ending.
std::optional<TableFormat> TableFormatOf(const std::string& path);

// The names the tables go to for `path`: the path itself for a workbook,
// the three CSV names for CSV (in the order of ResultTables).
std::vector<std::string> TableFileNames(const std::string& path);

// (path, contents) of every file, or the reason in `error` when the
// workbook cannot be made or the name has another ending.
std::optional<std::vector<std::pair<std::string, std::string>>> TableFiles(const std::vector<ResultTable>& tables,
                                                                          const std::string& path,
                                                                          std::string& error);

}  // namespace stelmar
