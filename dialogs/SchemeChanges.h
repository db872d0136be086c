#pragma once

// The road by which a dialog changes the scheme it shows: the window that
// holds the scheme makes the change as one undo step named `name` (what
// follows "Отменить: ", UTF-8, see model/StepNames.h), marks the project
// modified and redraws. A change that leaves the scheme as it was records
// nothing.

#include <functional>
#include <string>

#include "model/Scheme.h"

namespace stelmar {

using SchemeChange = std::function<void(TPipeLine&)>;

class SchemeChanges {
public:
    virtual ~SchemeChanges() = default;
    virtual void Apply(const std::string& name, const SchemeChange& change) = 0;
};

}  // namespace stelmar
