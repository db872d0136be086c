#pragma once

// The changes of a dialog tested on its own, made straight in a scheme of
// the test and counted.

#include <string>
#include <vector>

#include "dialogs/SchemeChanges.h"

namespace stelmar::test {

class DirectChanges : public SchemeChanges {
public:
    explicit DirectChanges(TPipeLine* scheme = nullptr) : Scheme(scheme) {}

    void Apply(const std::string& name, const SchemeChange& change) override
    {
        ++Applied;
        Names.push_back(name);
        change(*Scheme);
    }

    TPipeLine* Scheme;
    int Applied = 0;
    std::vector<std::string> Names;
};

}  // namespace stelmar::test
