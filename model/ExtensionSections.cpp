#include "model/ExtensionSections.h"

#include <array>

#include "model/PlanSections.h"
#include "model/ScenarioFileSection.h"

namespace stelmar {

std::span<const ExtensionSection> ExtensionSections()
{
    static const std::array kSections{kFloorSection, kAreaSection, kLengthsSection, ScenarioFileSection()};
    return kSections;
}

}  // namespace stelmar
