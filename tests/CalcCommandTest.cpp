// The command-line calculator end to end: the result line, JSON, exit codes.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "model/ProjectFile.h"
#include "model/TextCodec.h"
#include "tests/TestFiles.h"
#include "tests/TestSchemes.h"

namespace fs = std::filesystem;

namespace {

using stelmar::test::ReadAll;

class CalcCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("stelmar-calc-test-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs stelmar-calc with `args` (after the shell command `before`, if
    // any); returns its exit status. No run may take longer than a minute.
    int Run(const std::string& args, const std::string& before = {})
    {
        const std::string command = before + std::string("LC_ALL=C.UTF-8 timeout 60 ") + STELMAR_CALC_BINARY + " " +
                                    args + " >" + (dir_ / "out").string() + " 2>" + (dir_ / "err").string();
        const int status = std::system(command.c_str());
        out_ = ReadAll(dir_ / "out");
        err_ = ReadAll(dir_ / "err");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static std::string Example(const std::string& name) { return std::string(STELMAR_EXAMPLES_DIR) + "/" + name; }
    std::string Temp(const std::string& name) const { return (dir_ / name).string(); }
    std::string CopyExample(const std::string& example, const std::string& name) const
    {
        fs::copy_file(Example(example), dir_ / name, fs::copy_options::overwrite_existing);
        return Temp(name);
    }

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

// A node on floor 2147483647 or -1 of a one-floor project used to be read
// as floor 255 and pass the checks.
TEST_F(CalcCommand, ElementsOnFloorsTheProjectLacksAreRefused)
{
    std::string text = ReadAll(Example("office-floor.stm"));
    std::size_t line13 = 0;  // the floor of node 1
    for (int line = 1; line < 13; ++line) line13 = text.find("\r\n", line13) + 2;
    text.replace(line13, text.find("\r\n", line13) - line13, "2147483647");
    std::ofstream(Temp("high.stm"), std::ios::binary) << text;
    EXPECT_EQ(Run(Temp("high.stm") + " --out " + Temp("r.rtf")), 1);
    EXPECT_NE(err_.find("строка 13: ожидалось число от 1 до 1 (этаж узла №1), прочитано 2147483647."),
              std::string::npos)
        << err_;
    EXPECT_FALSE(fs::exists(Temp("r.rtf")));
}

TEST_F(CalcCommand, OutputThatIsTheProjectIsRefused)
{
    const std::string project = CopyExample("office-floor.stm", "p.stm");
    const std::string original = ReadAll(project);
    fs::create_symlink("p.stm", dir_ / "link.rtf");
    fs::create_hard_link(project, dir_ / "hard.rtf");
    std::ofstream(Temp("p.im1")) << "picture";
    const std::string cases[] = {
        "--out " + project, "--json " + project, "--out " + Temp("link.rtf"), "--json " + Temp("hard.rtf"),
        "--out " + Temp("./sub/../p.stm"), "--out " + Temp("p.im1"),
    };
    fs::create_directory(dir_ / "sub");
    for (const std::string& outputs : cases) {
        EXPECT_EQ(Run(project + " " + outputs), 64) << outputs;
        EXPECT_EQ(out_, "") << outputs;
        EXPECT_TRUE(err_.starts_with("stelmar-calc: Файл \"")) << err_;
        EXPECT_NE(err_.find("уничтожила бы"), std::string::npos) << err_;
        EXPECT_EQ(ReadAll(project), original) << outputs;
    }
    EXPECT_NE(err_.find("это файл изображения этажа №1 проекта"), std::string::npos) << err_;
    EXPECT_EQ(ReadAll(Temp("p.im1")), "picture");
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.rtf"));

    EXPECT_EQ(Run(project + " --out " + Temp("r.txt") + " --json " + Temp("./r.txt")), 64);
    EXPECT_NE(err_.find("один и тот же файл"), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(Temp("r.txt")));
    EXPECT_EQ(Run(project + " --out - --json -"), 64);
    EXPECT_NE(err_.find("стандартный вывод"), std::string::npos) << err_;
}

TEST_F(CalcCommand, DashWritesToStandardOutput)
{
    const std::string project = Example("office-floor.stm") + " --decimal-separator ,";
    ASSERT_EQ(Run(project + " --out -"), 0) << err_;
    EXPECT_EQ(out_, ReadAll(std::string(STELMAR_TEST_DATA_DIR) + "/office-floor-full.rtf"));
    EXPECT_EQ(err_, "Итак, общее расчетное время эвакуации = 2,574 мин.\n");
    EXPECT_FALSE(fs::exists("-"));

    ASSERT_EQ(Run(project + " --json - --out " + Temp("r.rtf")), 0) << err_;
    EXPECT_TRUE(out_.starts_with("{\"valid\":true,")) << out_;
    EXPECT_EQ(out_.back(), '\n');
    EXPECT_EQ(ReadAll(Temp("r.rtf")), ReadAll(std::string(STELMAR_TEST_DATA_DIR) + "/office-floor-full.rtf"));

    // The file standard output already goes to is written through it.
    ASSERT_EQ(Run(project + " --out /dev/stdout"), 0) << err_;
    EXPECT_EQ(out_, ReadAll(std::string(STELMAR_TEST_DATA_DIR) + "/office-floor-full.rtf"));
}

TEST_F(CalcCommand, DevicesAndPipesAreWrittenInPlace)
{
    const std::string project = Example("office-floor.stm") + " --decimal-separator ,";
    // A pipe that a reader empties into a file.
    const std::string fifo = Temp("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(Run(project + " --out " + fifo, "timeout 60 cat " + fifo + " >" + Temp("copy") + " 2>/dev/null & "), 0)
        << err_;
    const std::string golden = ReadAll(std::string(STELMAR_TEST_DATA_DIR) + "/office-floor-full.rtf");
    for (int wait = 0; wait < 500 && ReadAll(Temp("copy")) != golden; ++wait) ::usleep(10'000);
    EXPECT_EQ(ReadAll(Temp("copy")), golden);
    // A reader that starts a moment later is waited for.
    ASSERT_EQ(Run(project + " --out " + fifo,
                  "(sleep 0.3; timeout 60 cat " + fifo + " >" + Temp("later") + " 2>/dev/null) & "),
              0)
        << err_;
    for (int wait = 0; wait < 500 && ReadAll(Temp("later")) != golden; ++wait) ::usleep(10'000);
    EXPECT_EQ(ReadAll(Temp("later")), golden);
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    // Devices of our own where we may make them, so that a failure would
    // not replace the system's.
    std::string null = "/dev/null";
    std::string full = "/dev/full";
    if (::geteuid() == 0) {
        null = Temp("null");
        full = Temp("full");
        if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
            ::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
            GTEST_SKIP() << "no device of our own can be made";
    }
    EXPECT_EQ(Run(project + " --out " + null + " --json " + null), 0) << err_;
    ASSERT_EQ(::lstat(null.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_EQ(Run(project + " --json " + full), 74);
    EXPECT_NE(err_.find("Не удалось записать результаты расчета в файл \"" + full + "\": недостаточно места на диске"),
              std::string::npos)
        << err_;
    const std::string toFull = std::string("LC_ALL=C.UTF-8 timeout 60 ") + STELMAR_CALC_BINARY + " " + project +
                               " --out - >" + full + " 2>" + Temp("err");
    const int status = std::system(toFull.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 74) << status;
    EXPECT_NE(ReadAll(Temp("err")).find("Не удалось вывести отчет в стандартный вывод: недостаточно места на диске"),
              std::string::npos)
        << ReadAll(Temp("err"));
    // The result line itself, when it cannot be written, is no success.
    const std::string lineToFull = std::string("LC_ALL=C.UTF-8 timeout 60 ") + STELMAR_CALC_BINARY + " " + project +
                                   " >" + full + " 2>" + Temp("err");
    const int lineStatus = std::system(lineToFull.c_str());
    EXPECT_TRUE(WIFEXITED(lineStatus) && WEXITSTATUS(lineStatus) == 74) << lineStatus;
    EXPECT_EQ(ReadAll(Temp("err")), "Не удалось вывести строку результата в стандартный вывод: недостаточно места на "
                                    "диске\nИтак, общее расчетное время эвакуации = 2,574 мин.\n");
    ASSERT_EQ(::lstat(full.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

// A reader that has closed the pipe used to end the program by SIGPIPE
// without a word; the failed write is reported instead.
TEST_F(CalcCommand, ClosedPipeIsAFailedWrite)
{
    const std::string project = Example("office-floor.stm") + " --decimal-separator ,";
    for (const std::string outputs : {"", " --out -", " --json -"}) {
        // The reader is gone before the calculator starts.
        const std::string command = "bash -c '{ sleep 0.3; exec env LC_ALL=C.UTF-8 timeout 60 " +
                                    std::string(STELMAR_CALC_BINARY) + " " + project + outputs + "; } 2>" +
                                    Temp("err") + " | true; exit ${PIPESTATUS[0]}'";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 74) << outputs << ": " << status;
        EXPECT_NE(ReadAll(Temp("err")).find("в стандартный вывод: читающая программа закрыла канал"),
                  std::string::npos)
            << outputs << ": " << ReadAll(Temp("err"));
    }
}

// Two outputs that are one file through a link whose target does not exist
// yet: the JSON used to replace the report silently. An empty name used to
// write nothing with status 0.
TEST_F(CalcCommand, OutputMistakesAreRefused)
{
    const std::string project = Example("office-floor.stm");
    fs::create_symlink("target.rtf", dir_ / "link.rtf");
    EXPECT_EQ(Run(project + " --out " + Temp("link.rtf") + " --json " + Temp("target.rtf")), 64);
    EXPECT_NE(err_.find("указывают один и тот же файл"), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(Temp("target.rtf")));
    fs::create_directory(dir_ / "sub");
    fs::create_symlink("../sub/r.json", dir_ / "sub" / "up.json");
    EXPECT_EQ(Run(project + " --json " + Temp("sub/up.json") + " --out " + Temp("sub/r.json")), 64) << err_;

    for (const char* option : {"--out", "--pdf", "--json"}) {
        EXPECT_EQ(Run(project + " " + option + " ''"), 64) << option;
        EXPECT_EQ(err_.substr(0, err_.find('\n')), "stelmar-calc: Параметр " + std::string(option) +
                                                     ": пустое имя файла (для стандартного вывода укажите -)");
        EXPECT_EQ(out_, "");
    }
}

TEST_F(CalcCommand, LinksAndReadOnlyReportsAreRespected)
{
    const std::string project = Example("office-floor.stm");
    fs::create_directory(dir_ / "reports");
    fs::create_symlink("reports/r.rtf", dir_ / "r.rtf");
    ASSERT_EQ(Run(project + " --out " + Temp("r.rtf")), 0) << err_;
    EXPECT_TRUE(fs::is_symlink(dir_ / "r.rtf"));
    EXPECT_NE(ReadAll(Temp("reports/r.rtf")).find("{\\rtf1"), std::string::npos);

    std::ofstream(Temp("old.rtf")) << "old";
    fs::permissions(Temp("old.rtf"), fs::perms::owner_read);
    EXPECT_EQ(Run(project + " --out " + Temp("old.rtf")), 74);
    EXPECT_EQ(err_, "Не удалось записать отчет в файл \"" + Temp("old.rtf") + "\": нет прав доступа к файлу или папке\n");
    EXPECT_EQ(ReadAll(Temp("old.rtf")), "old");
}

TEST_F(CalcCommand, PipeInPlaceOfTheProjectIsRefused)
{
    ASSERT_EQ(::mkfifo(Temp("p.stm").c_str(), 0600), 0);
    EXPECT_EQ(Run(Temp("p.stm")), 1);
    EXPECT_EQ(err_, "Не удалось прочитать файл \"" + Temp("p.stm") +
                        "\": это не обычный файл (устройство, канал или сокет).\n");
}

// A length far from the drawing (12.5 m typed for 10 m drawn) is told on
// standard error and in the JSON, and the scheme is calculated all the same.
TEST_F(CalcCommand, LengthFarFromTheDrawingIsAWarning)
{
    stelmar::TPipeLine s = stelmar::test::Corridor();
    s.Plans[1].Scale = 0.1;  // area 1-2 is drawn 100 points long
    ASSERT_EQ(stelmar::SaveProjectFile(s, Temp("c.stm"), '.'), std::nullopt);
    const std::string warning =
        "Предупреждение: длина участка №1-2 (12.5 м) отличается от длины по чертежу (10 м) более чем на 10 %;";
    ASSERT_EQ(Run(Temp("c.stm") + " --json " + Temp("r.json")), 0) << err_;
    EXPECT_EQ(err_, warning + "\n");
    const std::string json = ReadAll(Temp("r.json"));
    EXPECT_NE(json.find("\"valid\":true,\"messages\":[],\"findings\":[],\"warnings\":[{\"message\":\"" + warning +
                        "\",\"element\":{\"kind\":\"area\",\"number\":1,\"floor\":1}}],\"result_line\":\"Итак"),
              std::string::npos)
        << json;

    // Within a tenth of the drawing there is nothing to tell.
    s.Areas[1].Length = 10.9;
    ASSERT_EQ(stelmar::SaveProjectFile(s, Temp("c.stm"), '.'), std::nullopt);
    ASSERT_EQ(Run(Temp("c.stm") + " --json " + Temp("r.json")), 0) << err_;
    EXPECT_EQ(err_, "");
    EXPECT_NE(ReadAll(Temp("r.json")).find("\"findings\":[],\"warnings\":[],"), std::string::npos);
}

// A project of several megabytes makes the program start itself again with
// the heap on huge pages: the options survive the restart, and the results
// are those of a run told not to restart.
TEST_F(CalcCommand, LargeProjectGivesTheSameResultsAfterTheRestart)
{
    ASSERT_EQ(stelmar::SaveProjectFile(stelmar::test::RandomTree(7, 35000, 35000), Temp("big.stm"), '.'), std::nullopt);
    ASSERT_GT(fs::file_size(Temp("big.stm")), 4u << 20);
    const std::string options = " --raz-vr on --decimal-separator , --json ";
    ASSERT_EQ(Run(Temp("big.stm") + options + Temp("a.json")), 0) << err_;
    const std::string line = out_;
    ASSERT_EQ(Run(Temp("big.stm") + options + Temp("b.json"), "GLIBC_TUNABLES=glibc.malloc.hugetlb=0 "), 0) << err_;
    EXPECT_EQ(out_, line);
    EXPECT_TRUE(line.starts_with("Итак, общее расчетное время эвакуации = ")) << line;
    EXPECT_EQ(ReadAll(Temp("a.json")), ReadAll(Temp("b.json")));
}

TEST_F(CalcCommand, ValuesThatOverflowAreNotReportedAsAResult)
{
    stelmar::TPipeLine s = stelmar::test::Corridor();
    s.Areas[1].Length = 1e308;
    ASSERT_EQ(stelmar::SaveProjectFile(s, Temp("huge.stm"), '.'), std::nullopt);
    const std::string message =
        "Ошибка: расчет на участке №1-2 дает недопустимое значение (бесконечность или неопределенность); "
        "проверьте длину и ширину участков, число людей и площадь горизонтальной проекции человека;";
    EXPECT_EQ(Run(Temp("huge.stm") + " --out " + Temp("r.rtf") + " --json " + Temp("r.json")), 2);
    EXPECT_EQ(err_, message + "\n");
    EXPECT_EQ(out_, "");
    EXPECT_FALSE(fs::exists(Temp("r.rtf")));
    EXPECT_TRUE(ReadAll(Temp("r.json")).starts_with("{\"valid\":false,\"messages\":[\"" + message +
                                                    "\"],\"findings\":[{\"message\":\"" + message +
                                                    "\",\"element\":null}],\"warnings\":[],\"result_line\":null"));
}

// Two inputs of 2 147 483 647 people merged into a flow of -2 people, and
// 10 604 858,85 min came out with status 0.
TEST_F(CalcCommand, PeopleBeyondACountAreRefused)
{
    stelmar::TPipeLine s = stelmar::test::Corridor(12.5, 2147483647);
    stelmar::test::Join(s, stelmar::test::AddInput(s, 2147483647), 2, 5, 1);
    ASSERT_EQ(stelmar::SaveProjectFile(s, Temp("crowd.stm"), '.'), std::nullopt);
    EXPECT_EQ(Run(Temp("crowd.stm") + " --out " + Temp("r.rtf")), 2);
    EXPECT_EQ(err_, "Ошибка: в узле №2 сливаются потоки входов №1, №4: всего 4294967294 человек, больше допустимых "
                    "2147483647;\n");
    EXPECT_EQ(out_, "");
    EXPECT_FALSE(fs::exists(Temp("r.rtf")));
}

// Each finding in the JSON names its element and the floor it is on.
TEST_F(CalcCommand, FindingsNameTheirElements)
{
    stelmar::TPipeLine s = stelmar::test::Corridor();
    s.EtagCount = 2;
    const int upstairs = stelmar::test::AddInput(s, 0);
    s.Nodes[upstairs].Etag = 2;
    stelmar::test::Join(s, upstairs, 2, 5, 1);
    s.Areas[1].Width = 0;
    ASSERT_EQ(stelmar::SaveProjectFile(s, Temp("faults.stm"), '.'), std::nullopt);
    EXPECT_EQ(Run(Temp("faults.stm") + " --json " + Temp("r.json")), 2);
    const std::string json = ReadAll(Temp("r.json"));
    const std::size_t width = json.find("{\"message\":\"Ошибка: ширина на участке №");
    ASSERT_NE(width, std::string::npos) << json;
    EXPECT_EQ(json.find("\"element\":{\"kind\":\"area\",\"number\":1,\"floor\":1}}", width),
              json.find("\"element\":", width))
        << json;
    EXPECT_NE(json.find("\"element\":{\"kind\":\"node\",\"number\":" + std::to_string(upstairs) +
                        ",\"floor\":2}}"),
              std::string::npos)
        << json;
}

TEST_F(CalcCommand, ScenariosOneByNameOrAllAndAFailedConditionIsAResult)
{
    const std::string project = Example("two-exits.stm");
    ASSERT_EQ(Run(project + " --decimal-separator ,"), 0) << err_;
    EXPECT_EQ(out_, "Сценарий «Нормальная эвакуация»: Итак, общее расчетное время эвакуации = 2,382 мин. "
                    "Условие безопасной эвакуации выполняется.\n");

    ASSERT_EQ(Run(project + " --decimal-separator , --scenario 'Лестница заблокирована'"), 0) << err_;
    EXPECT_EQ(out_, "Сценарий «Лестница заблокирована»: Итак, общее расчетное время эвакуации = 2,498 мин. "
                    "Условие безопасной эвакуации не выполняется.\n");

    ASSERT_EQ(Run(project + " --scenario all --out " + Temp("r.rtf") + " --json " + Temp("r.json")), 0) << err_;
    EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 3);
    const std::string json = ReadAll(Temp("r.json"));
    // The top-level result is the active scenario's.
    EXPECT_NE(json.find("\"result_line\":\"Итак, общее расчетное время эвакуации = 2.382 мин.\",\"t_p\":2.382"),
              std::string::npos);
    EXPECT_NE(json.find("{\"name\":\"Выход 1 заблокирован\",\"active\":false,\"excluded\":[{\"kind\":\"area\","
                        "\"number\":4,\"floor\":1},{\"kind\":\"area\",\"number\":15,\"floor\":2}],\"tp\":2.486,"),
              std::string::npos);
    EXPECT_NE(json.find("\"ok\":false,\"worst\":true,\"inputs\":[{\"node\":{\"kind\":\"node\",\"number\":8,"
                        "\"floor\":1},\"label\":\"101\",\"people\":30,\"tp\":0.588,\"tne\":1,\"tbl\":4,"
                        "\"allowed\":3.2,\"total\":1.588,\"tsk\":0,\"verdict\":\"выполняется\",\"ok\":true,"),
              std::string::npos)
        << json;
    const std::string rtf = ReadAll(Temp("r.rtf"));
    for (const char* name : {"Нормальная эвакуация", "Выход 1 заблокирован", "Лестница заблокирована"})
        EXPECT_NE(rtf.find(*stelmar::Utf8ToCp1251(std::string("Сценарий «") + name + "»")), std::string::npos);

    EXPECT_EQ(Run(project + " --scenario Пожар"), 64);
    EXPECT_EQ(err_, "stelmar-calc: в проекте нет сценария «Пожар»; сценарии проекта: «Нормальная эвакуация», "
                    "«Выход 1 заблокирован», «Лестница заблокирована»\n");
}

namespace {

// The cells of one sheet of an XLSX workbook read back with unzip: by
// reference ("B2"), the text of a text cell or the value of a number cell,
// and whether it is a number.
struct SheetCell {
    std::string Value;
    bool Number = false;
};

std::map<std::string, SheetCell> ReadSheet(const std::string& workbook, int sheet)
{
    const auto unzip = [&](const std::string& part) {
        const std::string command = "unzip -p '" + workbook + "' " + part;
        std::string text;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[4096];
            for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
            ::pclose(pipe);
        }
        return text;
    };
    std::vector<std::string> strings;
    const std::string shared = unzip("xl/sharedStrings.xml");
    const std::regex item("<si><t[^>]*>([^<]*)</t></si>");
    for (auto i = std::sregex_iterator(shared.begin(), shared.end(), item); i != std::sregex_iterator(); ++i)
        strings.push_back((*i)[1]);
    std::map<std::string, SheetCell> cells;
    const std::string xml = unzip("xl/worksheets/sheet" + std::to_string(sheet) + ".xml");
    const std::regex cell("<c r=\"([A-Z]+[0-9]+)\"(?: s=\"[0-9]+\")?( t=\"s\")?><v>([^<]*)</v></c>");
    for (auto i = std::sregex_iterator(xml.begin(), xml.end(), cell); i != std::sregex_iterator(); ++i) {
        const bool text = (*i)[2].matched;
        cells[(*i)[1]] = text ? SheetCell{strings.at(std::stoul((*i)[3])), false} : SheetCell{(*i)[3], true};
    }
    return cells;
}

}  // namespace

// --table: a workbook of three sheets whose numbers are number cells and
// whose labels ("1-3", which a spreadsheet would read as a date from CSV)
// stay text; the same tables as three CSV files beside a .csv name.
TEST_F(CalcCommand, TablesAsWorkbookOrCsvFiles)
{
    const std::string project = CopyExample("office-floor.stm", "p.stm");
    ASSERT_EQ(Run(project + " --decimal-separator , --table " + Temp("t.xlsx")), 0) << err_;
    const auto areas = ReadSheet(Temp("t.xlsx"), 1);
    ASSERT_EQ(areas.at("A1").Value, "Этаж");
    EXPECT_EQ(areas.at("D1").Value, "l, м");
    EXPECT_EQ(areas.at("H1").Value, "q, м/мин");
    int labels = 0;
    for (const auto& [ref, cell] : areas) {
        if (ref.size() < 2 || ref == "B1" || ref == "D1") continue;
        if (ref[0] == 'B') {
            ++labels;
            EXPECT_FALSE(cell.Number) << ref << " " << cell.Value;
            EXPECT_NE(cell.Value.find('-'), std::string::npos) << ref;
        }
        if (ref[0] == 'D') {
            EXPECT_TRUE(cell.Number) << ref << " " << cell.Value;
        }
    }
    EXPECT_EQ(labels, 5);
    const auto exits = ReadSheet(Temp("t.xlsx"), 2);
    EXPECT_EQ(exits.at("E1").Value, "Время, мин");
    ASSERT_TRUE(exits.at("E2").Number);
    EXPECT_EQ(exits.at("E2").Value, "2.574") << "the latest exit gives t_p";
    EXPECT_EQ(ReadSheet(Temp("t.xlsx"), 3).at("A1").Value, "№ потока");

    ASSERT_EQ(Run(project + " --decimal-separator , --table " + Temp("t.csv")), 0) << err_;
    EXPECT_FALSE(fs::exists(Temp("t.csv")));
    EXPECT_TRUE(ReadAll(Temp("t-areas.csv")).starts_with("\xEF\xBB\xBFЭтаж;Участок;Тип;l, м;δ, м;"));
    EXPECT_NE(ReadAll(Temp("t-exits.csv")).find(";2,574\r\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(Temp("t-flows.csv")));

    EXPECT_EQ(Run(project + " --table " + Temp("t.txt")), 64);
    EXPECT_NE(err_.find("ожидался файл .xlsx или .csv"), std::string::npos) << err_;
    EXPECT_EQ(Run(project + " --out " + Temp("t-exits.csv") + " --table " + Temp("t.csv")), 64);
    EXPECT_NE(err_.find("один и тот же файл"), std::string::npos) << err_;
}
