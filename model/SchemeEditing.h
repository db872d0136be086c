#pragma once

// Editing operations of the scheme: adding, deleting, moving, rotating,
// copying and pasting nodes and areas.
//
// These operations change data only. The editor records the undo step
// before calling one of them and redraws the floor afterwards. The
// operations that make a user-visible change of their own (AddNode, AddArea,
// DeleteSelection, PasteClipboard) mark the scheme modified; DeleteNode,
// DeleteArea, MoveSelection and RotateSelection do not, their callers do it
// where needed; CopySelection changes only the clipboard and the selection.
//
// Node and area numbers passed in must be valid (1..NodeCount, 1..AreaCount).

#include <cstdint>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

// Appends a node of the given kind at the pointer on the active floor,
// snapped to the 5-pixel grid when `Snap` is on; the node is highlighted.
void AddNode(TPipeLine& s, std::uint8_t kind);

// Appends a highlighted, unselected area on the active floor. The editor
// checks beforehand that the ends differ and are neither Connected nor
// refused by CanConnect.
void AddArea(TPipeLine& s, int node1, int node2, double length, double width,
             std::uint8_t kind);

// Area `area` is split at node `node`: it now ends there, and a new
// highlighted horizontal area of no size on the active floor leads on from
// the node to its old end.
void SplitArea(TPipeLine& s, int area, int node);

// Removes area k; the areas behind it move down by one.
void DeleteArea(TPipeLine& s, int k);

// Removes node k and every area attached to it, and renumbers the nodes
// behind it and the references to them. An area being drawn from node k
// (`AreaFrom`) is given up; one drawn from a node behind it keeps its start.
void DeleteNode(TPipeLine& s, int k);

// Removes every selected area, then every selected node with its areas;
// the start of an area being drawn is kept or given up as by DeleteNode.
void DeleteSelection(TPipeLine& s);

// What remains after the elements of `floor` were deleted: the floors
// above it, with their pictures and plans, move down by one.
void CloseFloorGap(TPipeLine& s, std::uint8_t floor);

// The nodes a move or rotation of the selection takes, each once: the
// selected nodes, or, when no node is selected, the ends of the selected
// areas.
std::vector<int> MovedNodes(const TPipeLine& s);

// Moves the selected nodes from their saved positions by the pointer's
// offset from the anchor; when no node is selected, moves the ends of the
// selected areas instead.
void MoveSelection(TPipeLine& s);

// Rotates the selected nodes (or, when none is selected, the ends of the
// selected areas) from their saved positions about the anchor by the
// direction of the pointer seen from the anchor.
void RotateSelection(TPipeLine& s);

// Fills the clipboard with the selected or highlighted areas and nodes; the
// ends of copied areas become selected and are copied with them.
void CopySelection(TPipeLine& s);

// Inserts the clipboard on the active floor, shifted by the pointer's offset
// from where it was copied, selected; then empties the clipboard.
void PasteClipboard(TPipeLine& s);

// Takes the current node positions as the start of the next move or
// rotation (done when a drag ends).
void SaveNodePositions(TPipeLine& s);

}  // namespace stelmar
