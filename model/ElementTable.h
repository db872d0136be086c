#pragma once

// The scheme as two tables, one row per node and one per area: which rows
// a filter lets through, which cells a value may be written into, and the
// writing of read values into the scheme. Reading and showing the values
// is the window's part; this part knows only the scheme.

#include <cstdint>
#include <string>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

// The columns of the node table.
enum class NodeColumn { Label, Floor, Kind, People, F, Mobility };
inline constexpr int kNodeColumnCount = 6;

// The columns of the area table.
// Drawn: whether the length is taken from the drawing ("по чертежу").
enum class AreaColumn { Label, Floors, Kind, Length, Width, Drawn };
inline constexpr int kAreaColumnCount = 6;

// What a table shows. Per element, `Findings` holds whether the checks
// before a calculation find fault with it (1-based as the element lists);
// it is looked at only while `FindingsOnly` is set.
struct ElementFilter {
    int Floor = 0;        // 0: every floor
    int Kind = 0;         // 0: every kind; else a NodeKind or PathKind
    bool FindingsOnly = false;
    bool ZeroOnly = false;  // areas only: length or width not above zero
    const std::vector<bool>* Findings = nullptr;
};

// An area lies on the floor of each of its ends.
bool AreaOnFloor(const TPipeLine& s, const TArea& a, int floor);

bool NodePasses(const TPipeLine& s, int node, const ElementFilter& filter);
bool AreaPasses(const TPipeLine& s, int area, const ElementFilter& filter);

// A value read from what the user typed or pasted for one column: a whole
// number (floor, people, a kind or group index, 1 or 0 for the mark "по
// чертежу"), a real (f, length, width) or a text (a node label, UTF-8).
struct CellValue {
    int Integer = 0;
    double Real = 0;
    std::string Text = {};
};

// Whether the column may be written for this element: people, f and the
// mobility group belong to inputs only, an area's floors to its ends, and
// only an area with both ends on one floor can take its length from the
// drawing.
bool NodeCellWritable(const TNode& n, NodeColumn column);
bool AreaCellWritable(const TPipeLine& s, const TArea& a, AreaColumn column);

// Whether writing the value would change the element.
bool NodeCellDiffers(const TNode& n, NodeColumn column, const CellValue& value);
bool AreaCellDiffers(const TArea& a, AreaColumn column, const CellValue& value);

// Writes a read value into a writable cell. A node moved to a floor above
// the last one adds the floors up to it.
void SetNodeCell(TPipeLine& s, int node, NodeColumn column, const CellValue& value);
void SetAreaCell(TPipeLine& s, int area, AreaColumn column, const CellValue& value);

}  // namespace stelmar
