// bench_scheme: writes a generated scheme (bench/GeneratedSchemes.h) as a
// project file, for the whole-process benchmarks and for comparing the
// outputs of two builds of stelmar-calc.
//
//   bench_scheme tree|building AREAS FILE.stm

#include <cstdlib>
#include <iostream>
#include <string>

#include "bench/GeneratedSchemes.h"

int main(int argc, char** argv)
{
    using namespace stelmar;
    const std::string kind = argc == 4 ? argv[1] : "";
    if (kind != "tree" && kind != "building") {
        std::cerr << "usage: bench_scheme tree|building AREAS FILE.stm\n";
        return 64;
    }
    const int areas = std::atoi(argv[2]);
    const auto scheme = bench::GeneratedScheme(kind == "tree" ? bench::Generated::Tree : bench::Generated::Building, areas);
    if (const auto error = SaveProjectFile(scheme, argv[3], ',')) {
        std::cerr << *error << '\n';
        return 1;
    }
    return 0;
}
