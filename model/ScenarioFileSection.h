#pragma once

// The scenarios in the extension block of a project file:
//
//     scenario.active=2                  the active scenario, 1-based
//     scenario.1.name=Выход 1 заблокирован
//     scenario.1.tne=1.5                 t_нэ, min
//     scenario.1.tbl=6                   t_бл, min
//     scenario.1.excluded.nodes=4 9      excluded node numbers
//     scenario.1.excluded.areas=3        excluded area numbers
//     scenario.1.node.7.tne=2            an input's own t_нэ
//     scenario.1.node.7.tbl=5            its own t_бл, or a check point's
//
// Numbers are written with "." and read with "." or ",". Element numbers
// must name elements of the scheme read before the block.

#include "model/ExtensionSections.h"

namespace stelmar {

ExtensionSection ScenarioFileSection();

}  // namespace stelmar
