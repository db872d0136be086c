#pragma once

// The example projects shipped in examples/, built in code so that the files
// can be written again by the project writer and checked by the tests.

#include <string>
#include <vector>

#include "model/Scheme.h"

namespace stelmar::examples {

struct ExampleProject {
    std::string FileName;  // e.g. "school-wing.stm"
    TPipeLine Scheme;
};

std::vector<ExampleProject> ExampleProjects();

}  // namespace stelmar::examples
