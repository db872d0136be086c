#pragma once

// The results of a calculation as three tables, the same wherever they go
// (the "Результаты" panel, CSV, XLSX, stelmar-calc --table): one row per
// area, one per exit and one per flow. Every cell has its text as shown,
// and a number cell also its value, so that a spreadsheet gets numbers as
// numbers and labels such as "1-3" as text.

#include <cstdint>
#include <string>
#include <vector>

#include "calc/FlowResults.h"

namespace stelmar {

struct TableCell {
    std::string Text;
    double Number = 0;
    bool Numeric = false;  // `Number` is the cell's value
};

// The tables' names for file names, in the order of ResultTables.
inline constexpr const char* kResultTableNames[] = {"areas", "exits", "flows"};

struct ResultTable {
    std::string Title;  // "Участки", "Выходы", "Потоки"
    std::string Name;   // "areas", "exits", "flows": for file names
    std::vector<std::string> Headers;
    std::vector<std::vector<TableCell>> Rows;
};

// The columns of the tables, headers with their units.
enum class AreaTableColumn { Floor, Label, Kind, Length, Width, Flows, People, Intensity, Speed, Time, Delay,
                             Accumulation, Total, kCount };
enum class ExitTableColumn { Floor, Label, Flows, People, Time, kCount };
enum class FlowTableColumn { Number, People, F, Length, Time, Exit, kCount };

const std::vector<std::string>& AreaTableHeaders();
const std::vector<std::string>& ExitTableHeaders();
const std::vector<std::string>& FlowTableHeaders();

// What left the building by one exit.
struct ExitResult {
    int Node = 0;
    int Flows = 0;            // flows that leave by it
    std::int32_t People = 0;  // their people together
    double Time = -1;         // when the last of them leaves; -1 when none does
};

// The calculated area that area `area` of the scheme shows: `calculated`
// maps areas of the scheme as it is now to those of the calculation (0:
// none), or is empty when the scheme is the one calculated.
int CalculatedArea(const FlowResults& results, const std::vector<int>& calculated, int area);

// Every exit of `s` in number order, from the results of the areas that
// end on it (so it stays right while the scheme is edited after the
// calculation).
std::vector<ExitResult> ExitResults(const TPipeLine& s, const FlowResults& results,
                                    const std::vector<int>& calculated);

// One cell of each table. `r` is the area's result (null: none).
TableCell AreaTableCell(const TPipeLine& s, int area, const AreaResult* r, AreaTableColumn column, char separator);
TableCell ExitTableCell(const TPipeLine& s, const ExitResult& e, ExitTableColumn column, char separator);
TableCell FlowTableCell(const TPipeLine& s, const FlowSummary& f, FlowTableColumn column, char separator);

// The three tables: areas, exits, flows.
std::vector<ResultTable> ResultTables(const TPipeLine& s, const FlowResults& results,
                                      const std::vector<int>& calculated, char separator);

}  // namespace stelmar
