// Writes the example projects into a folder: make_examples FOLDER

#include <QGuiApplication>
#include <iostream>

#include "examples/ExamplePlanFiles.h"
#include "examples/ExampleProjects.h"
#include "model/ProjectFile.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "Использование: make_examples ПАПКА\n";
        return 64;
    }
    // The plans are painted off the screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    std::vector<stelmar::examples::ExampleProject> examples = stelmar::examples::ExampleProjects();
    examples.push_back(stelmar::examples::PlansExample(stelmar::examples::MakeExamplePlanFiles()));
    for (const auto& example : examples) {
        const std::string path = std::string(argv[1]) + "/" + example.FileName;
        if (const auto error = stelmar::SaveProjectFile(example.Scheme, path, ',')) {
            std::cerr << *error << '\n';
            return 1;
        }
        std::cout << path << '\n';
    }
    return 0;
}
