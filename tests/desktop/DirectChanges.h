#pragma once

// The changes of a dialog tested on its own, made straight in a scheme of
// the test and counted.

#include "dialogs/SchemeChanges.h"

namespace stelmar::test {

class DirectChanges : public SchemeChanges {
public:
    explicit DirectChanges(TPipeLine* scheme = nullptr) : Scheme(scheme) {}

    void Apply(const SchemeChange& change) override
    {
        ++Applied;
        change(*Scheme);
    }

    TPipeLine* Scheme;
    int Applied = 0;
};

}  // namespace stelmar::test
