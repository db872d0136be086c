#pragma once

// Finding the element under the pointer (`MouseX`, `MouseY`) on the active
// floor, the checks the area tool makes before joining two nodes, and the
// elements inside the rubber band between the anchor and the pointer.

#include <vector>

#include "model/Scheme.h"

namespace stelmar {

// The lowest-numbered node of the active floor whose pick square holds the
// pointer, or 0. The pick square and the area tolerance below are sizes on
// the screen: at `Zoom` they cover 1/Zoom as many canvas pixels.
int NodeAt(const TPipeLine& s);

// The lowest-numbered area of the active floor passing within `AreaWidth`
// pixels of the pointer, or 0; always 0 while the pointer is over a node.
int AreaAt(const TPipeLine& s);

// Every node of the active floor whose pick square holds the pointer, and
// every area of it passing within `AreaWidth` of the pointer whether or not
// a node lies there, in number order: the elements stacked under the
// pointer.
std::vector<int> NodesAt(const TPipeLine& s);
std::vector<int> AreasUnder(const TPipeLine& s);

// Some area joins nodes a and b, in either direction.
bool Connected(const TPipeLine& s, int a, int b);

// Nodes a and b may be joined: not two inputs and not two exits.
bool CanConnect(const TPipeLine& s, int a, int b);

// Node i lies strictly inside the band between the anchor and the pointer.
bool NodeInBand(const TPipeLine& s, int i);

// Both end nodes of area i lie inside the band.
bool AreaInBand(const TPipeLine& s, int i);

}  // namespace stelmar
