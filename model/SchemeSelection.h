#pragma once

// Selecting and highlighting elements of the scheme: everything of a floor,
// the elements inside the rubber band, the elements connected to the
// selection, and clearing both kinds of marks.

#include <cstdint>

#include "model/Scheme.h"

namespace stelmar {

// Some node or area is selected.
bool AnySelected(const TPipeLine& s);

// Selects every element of `floor` and nothing else.
void SelectFloor(TPipeLine& s, std::uint8_t floor);

// Selects exactly the elements of the active floor inside the band between
// the anchor and the pointer (NodeInBand, AreaInBand); an area counts as
// being on the active floor when one of its ends is. Elements of other
// floors keep their marks.
void SelectInBand(TPipeLine& s);

// Spreads the selection along the areas of all floors: an unselected area
// with a selected end becomes selected together with both its ends, until
// nothing changes. An area that is already selected does not spread.
void SpreadSelection(TPipeLine& s);

// Unselects every node and area; highlighting is left as it is.
void ClearSelection(TPipeLine& s);

// Removes the highlight from every node and area; true when some element
// was highlighted.
bool ClearHot(TPipeLine& s);

}  // namespace stelmar
