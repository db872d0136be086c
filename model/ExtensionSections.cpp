#include "model/ExtensionSections.h"

#include <array>

#include "model/PlanSections.h"

namespace stelmar {

std::span<const ExtensionSection> ExtensionSections()
{
    static const std::array kSections{kFloorSection, kAreaSection, kLengthsSection};
    return kSections;
}

}  // namespace stelmar
