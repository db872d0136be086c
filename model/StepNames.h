#pragma once

// The names of the undo steps, as the Undo and Redo commands show them
// after "Отменить: " and "Вернуть: ": an action noun with what it acts on,
// in the genitive ("удаление 3 элементов", "ширина участка 4-5").

#include <string>
#include <string_view>

#include "model/Scheme.h"

namespace stelmar {

// `count` and the genitive of a noun after it: `one` for 1, 21, 31 ...,
// `many` otherwise ("1 элемента", "3 элементов", "11 элементов").
std::string CountGenitive(int count, std::string_view one, std::string_view many);

// "узла 5", "участка 4-5": one element by its label.
std::string NodeGenitive(const TPipeLine& s, int node);
std::string AreaGenitive(const TPipeLine& s, int area);

// What `action` ("удаление", "перемещение") of the selected elements acts
// on: the one selected node or area by its label, or the count of the
// selected elements (`extra` counted with them).
std::string SelectionStepName(const TPipeLine& s, std::string_view action, int extra = 0);

// The deletion of the selection (or another `action` that removes it):
// the selected nodes and areas with every area leading to a selected node
// ("удаление узла 5", "удаление 3 элементов").
std::string DeletionStepName(const TPipeLine& s, std::string_view action = "удаление");

}  // namespace stelmar
