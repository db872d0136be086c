// The PDF tests need Qt's graphical part for the fonts, without a display.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "pdf/HeadlessGui.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const auto app = stelmar::StartHeadlessGui(argc, argv);
    const int result = RUN_ALL_TESTS();
    // The documents the tests wrote (see TempFolder), unless they are to be
    // looked at.
    if (qEnvironmentVariableIsSet("STELMAR_KEEP_TEST_PDFS")) return result;
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::temp_directory_path() / ("stelmar-pdf-test-" + std::to_string(::getpid())), ignored);
    return result;
}
