// The command-line calculator end to end: the result line, JSON, exit codes.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class CalcCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("stelmar-calc-test-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs stelmar-calc with `args`; returns its exit status.
    int Run(const std::string& args)
    {
        const std::string command = std::string("LC_ALL=C.UTF-8 ") + STELMAR_CALC_BINARY + " " + args + " >" +
                                    (dir_ / "out").string() + " 2>" + (dir_ / "err").string();
        const int status = std::system(command.c_str());
        out_ = ReadAll(dir_ / "out");
        err_ = ReadAll(dir_ / "err");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static std::string Example(const std::string& name) { return std::string(STELMAR_EXAMPLES_DIR) + "/" + name; }
    std::string Temp(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
    std::string out_;
    std::string err_;
};

}  // namespace

// The reports themselves are compared with the golden files in tests/data/ by
// the golden_report.* tests of tests/CMakeLists.txt, one test per file.
TEST_F(CalcCommand, ResultLineUsesTheChosenSeparator)
{
    ASSERT_EQ(Run(Example("school-wing.stm") + " --decimal-separator , --report summary --out " + Temp("r.rtf")), 0)
        << err_;
    EXPECT_EQ(out_, "Итак, общее расчетное время эвакуации = 3,055 мин.\n");
}

TEST_F(CalcCommand, OptionsOverrideTheProject)
{
    ASSERT_EQ(Run(Example("office-floor.stm") + " --raz-vr on --precision 2"), 0) << err_;
    EXPECT_EQ(out_, "Итак, общее расчетное время эвакуации = 0.51 мин.\n") << "locale C writes a decimal point";
}

TEST_F(CalcCommand, JsonHoldsTheSteps)
{
    ASSERT_EQ(Run(Example("office-floor.stm") + " --json " + Temp("r.json")), 0) << err_;
    const std::string json = ReadAll(Temp("r.json"));
    EXPECT_NE(json.find("\"valid\":true,\"messages\":[]"), std::string::npos);
    EXPECT_NE(json.find("\"t_p\":2.574,\"exit_times\":[2.574],\"flow_count\":5"), std::string::npos);
    EXPECT_NE(json.find("{\"FromNode\":\"Офис В\",\"ToNode\":\"1\",\"StartsFlow\":true,\"FirstArea\":true,"
                        "\"PathKind\":1,\"GroupCode\":1,\"MergedFlows\":[],\"MergedIntensity\":[],"
                        "\"MergedWidth\":[],\"FlowNo\":4,"),
              std::string::npos);
    EXPECT_NE(json.find("\"MergedFlows\":[4,3,2],\"MergedIntensity\":[9,6.5,8.8],\"MergedWidth\":[2,2,2],"
                        "\"FlowNo\":5,\"ArrivingCount\":3,\"People\":155,\"RawIntensity\":48.6"),
              std::string::npos);
}

TEST_F(CalcCommand, SchemeThatDoesNotPass)
{
    std::ofstream(Temp("bad.stm"), std::ios::binary)
        << "v4\r\nКоличество узлов:\r\n1\r\nКоличество участков:\r\n0\r\nКоличество этажей:\r\n1\r\n"
           "Активный этаж:\r\n1\r\n0\r\nДанные по узлам:\r\n1\r\n1\r\n10\r\n0\r\n0,1\r\n10\r\n10\r\n"
           "<По умолчанию>\r\n0\r\nДанные по участкам:\r\n0\r\n";
    EXPECT_EQ(Run(Temp("bad.stm") + " --json " + Temp("r.json") + " --out " + Temp("r.rtf")), 2);
    EXPECT_EQ(err_, "Ошибка: не найдено ни одного участка;\n");
    EXPECT_EQ(out_, "");
    EXPECT_FALSE(fs::exists(Temp("r.rtf")));
    EXPECT_NE(ReadAll(Temp("r.json")).find("\"valid\":false,\"messages\":[\"Ошибка: не найдено ни одного участка;\"]"),
              std::string::npos);
}

TEST_F(CalcCommand, UnreadableFileAndBadArguments)
{
    std::ofstream(Temp("broken.stm"), std::ios::binary) << "v4\r\nКоличество узлов:\r\nмного\r\n";
    EXPECT_EQ(Run(Temp("broken.stm")), 1);
    EXPECT_NE(err_.find(Temp("broken.stm")), std::string::npos);
    EXPECT_NE(err_.find("строка 3"), std::string::npos) << err_;
    EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1);

    EXPECT_EQ(Run(Temp("missing.stm")), 1);
    EXPECT_EQ(Run(Example("office-floor.stm") + " --precision 0"), 64);
    EXPECT_NE(err_.find("--precision"), std::string::npos);
    EXPECT_EQ(Run(""), 64);
    EXPECT_EQ(Run("--help"), 0);
    EXPECT_NE(out_.find("--decimal-separator"), std::string::npos);
}
