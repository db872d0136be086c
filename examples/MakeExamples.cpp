// Writes the example projects into a folder: make_examples FOLDER

#include <iostream>

#include "examples/ExampleProjects.h"
#include "model/ProjectFile.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "Использование: make_examples ПАПКА\n";
        return 64;
    }
    for (const auto& example : stelmar::examples::ExampleProjects()) {
        const std::string path = std::string(argv[1]) + "/" + example.FileName;
        if (const auto error = stelmar::SaveProjectFile(example.Scheme, path, ',')) {
            std::cerr << *error << '\n';
            return 1;
        }
        std::cout << path << '\n';
    }
    return 0;
}
