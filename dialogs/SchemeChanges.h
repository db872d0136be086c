#pragma once

// The road by which a dialog changes the scheme it shows: the window that
// holds the scheme makes the change as one undo step, marks the project
// modified and redraws. A dialog calls it only when the user accepted a
// real change, so that an unchanged dialog records nothing.

#include <functional>

#include "model/Scheme.h"

namespace stelmar {

using SchemeChange = std::function<void(TPipeLine&)>;

class SchemeChanges {
public:
    virtual ~SchemeChanges() = default;
    virtual void Apply(const SchemeChange& change) = 0;
};

}  // namespace stelmar
