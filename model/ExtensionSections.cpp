#include "model/ExtensionSections.h"

namespace stelmar {

std::span<const ExtensionSection> ExtensionSections()
{
    return {};
}

}  // namespace stelmar
