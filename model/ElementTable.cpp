#include "model/ElementTable.h"

#include "model/DrawnLengths.h"

namespace stelmar {
namespace {

bool Flagged(const ElementFilter& filter, int element)
{
    return filter.Findings && element < static_cast<int>(filter.Findings->size()) && (*filter.Findings)[element];
}

}  // namespace

bool AreaOnFloor(const TPipeLine& s, const TArea& a, int floor)
{
    return s.Nodes[a.Node1].Etag == floor || s.Nodes[a.Node2].Etag == floor;
}

bool NodePasses(const TPipeLine& s, int node, const ElementFilter& filter)
{
    const TNode& n = s.Nodes[node];
    if (filter.Floor != 0 && n.Etag != filter.Floor) return false;
    if (filter.Kind != 0 && n.Kind != filter.Kind) return false;
    return !filter.FindingsOnly || Flagged(filter, node);
}

bool AreaPasses(const TPipeLine& s, int area, const ElementFilter& filter)
{
    const TArea& a = s.Areas[area];
    if (filter.Floor != 0 && !AreaOnFloor(s, a, filter.Floor)) return false;
    if (filter.Kind != 0 && a.Kind != filter.Kind) return false;
    if (filter.ZeroOnly && a.Length > 0 && a.Width > 0) return false;
    return !filter.FindingsOnly || Flagged(filter, area);
}

bool NodeCellWritable(const TNode& n, NodeColumn column)
{
    switch (column) {
    case NodeColumn::People:
    case NodeColumn::F:
    case NodeColumn::Mobility: return n.Kind == kInput;
    default: return true;
    }
}

bool AreaCellWritable(const TPipeLine& s, const TArea& a, AreaColumn column)
{
    if (column == AreaColumn::Drawn) return AreaPlanFloor(s, a) != 0;
    return column != AreaColumn::Floors;
}

bool NodeCellDiffers(const TNode& n, NodeColumn column, const CellValue& value)
{
    switch (column) {
    case NodeColumn::Label: return n.Name != value.Text;
    case NodeColumn::Floor: return n.Etag != value.Integer;
    case NodeColumn::Kind: return n.Kind != value.Integer;
    case NodeColumn::People: return n.People != value.Integer;
    case NodeColumn::F: return n.F != value.Real;
    case NodeColumn::Mobility: return n.Mobility != value.Integer;
    }
    return false;
}

bool AreaCellDiffers(const TArea& a, AreaColumn column, const CellValue& value)
{
    switch (column) {
    case AreaColumn::Kind: return a.Kind != value.Integer;
    case AreaColumn::Length: return a.Length != value.Real;
    case AreaColumn::Width: return a.Width != value.Real;
    case AreaColumn::Drawn: return a.Drawn != (value.Integer != 0);
    default: return false;
    }
}

void SetNodeCell(TPipeLine& s, int node, NodeColumn column, const CellValue& value)
{
    TNode& n = s.Nodes[node];
    switch (column) {
    case NodeColumn::Label: n.Name = value.Text; break;
    case NodeColumn::Floor:
        n.Etag = static_cast<std::uint8_t>(value.Integer);
        if (n.Etag > s.EtagCount) s.EtagCount = n.Etag;
        break;
    case NodeColumn::Kind: n.Kind = static_cast<std::uint8_t>(value.Integer); break;
    case NodeColumn::People: n.People = value.Integer; break;
    case NodeColumn::F: n.F = value.Real; break;
    case NodeColumn::Mobility: n.Mobility = static_cast<std::uint8_t>(value.Integer); break;
    }
}

void SetAreaCell(TPipeLine& s, int area, AreaColumn column, const CellValue& value)
{
    TArea& a = s.Areas[area];
    switch (column) {
    case AreaColumn::Kind: a.Kind = static_cast<std::uint8_t>(value.Integer); break;
    case AreaColumn::Length:
        a.Length = value.Real;
        a.Drawn = false;  // typed by hand, no longer taken from the drawing
        break;
    case AreaColumn::Width: a.Width = value.Real; break;
    case AreaColumn::Drawn: a.Drawn = value.Integer != 0; break;  // the length follows at the end of the edit
    default: break;
    }
}

}  // namespace stelmar
