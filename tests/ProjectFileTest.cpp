#include "model/ProjectFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/NumberText.h"
#include "model/PictureFile.h"
#include "model/SafeFile.h"
#include "model/TextCodec.h"
#include "tests/TestFiles.h"

namespace stelmar {
namespace {

namespace fs = std::filesystem;

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

std::string Cp1251(const char* utf8) { return Utf8ToCp1251(utf8).value(); }

TNode Node(std::uint8_t kind, std::uint8_t etag, int people, std::uint8_t mobility, double f, int x, int y,
           std::string name, int flows)
{
    return TNode{.X = x, .Y = y, .Kind = kind, .Etag = etag, .People = people, .Mobility = mobility, .F = f,
                 .Name = std::move(name), .FlowCount = flows};
}

// Three floors, three nodes, three areas: 58 lines in the file. Node 1 starts
// at line 12, node 2 at 21, node 3 at 30, area 1 at 40, area 2 at 46, area 3
// at 52.
TPipeLine Sample()
{
    TPipeLine s;
    s.EtagCount = 3;
    s.ActiveEtag = 2;
    s.RazVr = true;
    s.Nodes.push_back(Node(kInput, 1, 25, 3, 0.125, 102, 57, kDefaultNodeName, 2));
    s.Nodes.push_back(Node(kJunction, 2, 0, 0, 0.1, 7, 2000, "А-1 «ё»", 0));
    s.Nodes.push_back(Node(kExit, 3, -4, 0, 1e-6, -5, 12, "", 0));
    s.Areas.push_back(TArea{1, 2, 1, 12.75, 1.2, kHorizontal});
    s.Areas.push_back(TArea{2, 3, 2, 1234567.891, 0.9, kStairsDown});
    s.Areas.push_back(TArea{3, 1, 3, 1e20, 0, kRampUp});
    return s;
}

// Every stored field is written, so equal texts mean equal projects.
void ExpectSameProject(const TPipeLine& a, const TPipeLine& b)
{
    EXPECT_EQ(ProjectText(a, '.', nullptr), ProjectText(b, '.', nullptr));
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = text.find("\r\n", pos);
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::string Join(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
}

std::string SampleText() { return ProjectText(Sample(), ',', nullptr).value(); }

TEST(ProjectFileTest, RoundTripUnderEitherSeparator)
{
    for (char separator : {',', '.'}) {
        const std::optional<std::string> text = ProjectText(Sample(), separator, nullptr);
        ASSERT_TRUE(text);
        const std::vector<std::string> lines = Lines(*text);
        ASSERT_EQ(lines.size(), 58u);
        EXPECT_EQ(lines[15], separator == ',' ? "0,125" : "0.125");
        EXPECT_EQ(lines[42], separator == ',' ? "12,75" : "12.75");
        EXPECT_EQ(lines[33], "1E-6");
        EXPECT_EQ(lines[54], "1E20");

        const ProjectReadResult read = ParseProject(*text, "/x/plan.stm");
        ASSERT_TRUE(read.Scheme) << read.Error;
        const TPipeLine& s = *read.Scheme;
        ExpectSameProject(Sample(), s);
        EXPECT_EQ(s.FileName, "/x/plan.stm");
        EXPECT_EQ(s.Nodes[1].FlowCount, 2);
        EXPECT_EQ(s.Nodes[1].SavedY, 57);
        EXPECT_EQ(NodeLabel(s, 1), "1");
        EXPECT_EQ(s.Nodes[2].Name, "А-1 «ё»");
        EXPECT_EQ(s.Areas[2].Length, 1234567.891);

        // Names in Windows-1251.
        EXPECT_EQ(lines[18], Cp1251("<По умолчанию>"));
        EXPECT_EQ(lines[27], "\xC0-1 \xAB\xB8\xBB");
        EXPECT_EQ(lines[36], "");
    }
}

TEST(ProjectFileTest, EmptyProjectIsThirteenLines)
{
    TPipeLine s;
    s.VrSk = true;
    const std::string expected = Cp1251(
        "v4\r\nКоличество узлов:\r\n0\r\nКоличество участков:\r\n0\r\nКоличество этажей:\r\n1\r\n"
        "Активный этаж:\r\n1\r\n0\r\nДанные по узлам:\r\nДанные по участкам:\r\n1\r\n");
    EXPECT_EQ(ProjectText(s, ',', nullptr), expected);
    const ProjectReadResult read = ParseProject(expected, "e.stm");
    ASSERT_TRUE(read.Scheme) << read.Error;
    EXPECT_EQ(NodeCount(*read.Scheme), 0);
    EXPECT_TRUE(read.Scheme->VrSk);
}

TEST(ProjectFileTest, OlderLayoutAndLenientLines)
{
    // No "v4" line, 8-line node blocks, bare LF line ends, blanks and
    // trailing text after integers, "." and "," in reals, no final line end.
    const std::string old = Cp1251(
        "Количество узлов:\n 2 узла\nКоличество участков:\n1\nКоличество этажей:\n+2\nАктивный этаж:\n2\n1\n"
        "Данные по узлам:\n"
        "1\n1\n10\n0\n0.125\n10\n20\nВход\n"
        "2\n2\n0\n0\n0,1\n30\n40\n<По умолчанию>\n"
        "Данные по участкам:\n"
        "1\t\n2\n1\n12,5\n1.5\n1\n"
        "1");
    const ProjectReadResult read = ParseProject(old, "old.stm");
    ASSERT_TRUE(read.Scheme) << read.Error;
    const TPipeLine& s = *read.Scheme;
    EXPECT_EQ(NodeCount(s), 2);
    EXPECT_EQ(s.EtagCount, 2);
    EXPECT_TRUE(s.VrSk);
    EXPECT_EQ(s.Nodes[1].Name, "Вход");
    EXPECT_EQ(s.Nodes[1].F, 0.125);
    EXPECT_EQ(s.Nodes[1].Mobility, 0);
    EXPECT_EQ(s.Areas[1].Length, 12.5);

    const std::string resaved = ProjectText(s, '.', nullptr).value();
    EXPECT_EQ(resaved.substr(0, 4), "v4\r\n");
    const ProjectReadResult again = ParseProject(resaved, "old.stm");
    ASSERT_TRUE(again.Scheme) << again.Error;
    ExpectSameProject(s, *again.Scheme);

    // Flags are true only for exactly "1".
    std::vector<std::string> lines = Lines(SampleText());
    lines[9] = "1 ";
    EXPECT_FALSE(ParseProject(Join(lines), "f.stm").Scheme->RazVr);
}

TEST(ProjectFileTest, RejectsDamagedFilesNamingTheLine)
{
    struct Case {
        int line;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {3, "-1", "ожидалось неотрицательное число (количество узлов), прочитано -1"},
        {3, "6", "количество узлов (6) не умещается в файле (строк в файле: 58)"},
        {5, "4", "количество участков (4) не умещается в файле (строк в файле: 58)"},
        {7, "0", "ожидалось число от 1 до 255 (количество этажей), прочитано 0"},
        {9, "4", "ожидалось число от 1 до 3 (активный этаж), прочитано 4"},
        {12, "x", "ожидалось целое число (тип узла №1)"},
        // A floor the project does not have used to be read as floor 255.
        {13, "2147483647", "ожидалось число от 1 до 3 (этаж узла №1), прочитано 2147483647"},
        {22, "-1", "ожидалось число от 1 до 3 (этаж узла №2), прочитано -1"},
        {42, "0", "ожидалось число от 1 до 3 (этаж участка №1), прочитано 0"},
        {21, "4", "ожидалось число от 1 до 3 (тип узла №2), прочитано 4"},
        {15, "4033", "ожидалось число от 0 до 4032 (число потоков узла №1), прочитано 4033"},
        {16, "0,1,2", "ожидалось вещественное число (площадь проекции узла №1)"},
        {17, "2147483648", "ожидалось целое число (координата X узла №1)"},
        {28, "\xC0\x98", "ожидался текст в кодировке Windows-1251 (обозначение узла №2)"},
        {29, "10", "ожидалось число от 0 до 9 (группа мобильности узла №2), прочитано 10"},
        {40, "0", "ожидалось число от 1 до 3 (начальный узел участка №1), прочитано 0"},
        {47, "4", "ожидалось число от 1 до 3 (конечный узел участка №2), прочитано 4"},
        {47, "2", "ожидался номер узла, отличный от начального (конечный узел участка №2), прочитано 2"},
        {43, "abc", "ожидалось вещественное число (длина участка №1)"},
        {45, "7", "ожидалось число от 1 до 6 (вид пути участка №1), прочитано 7"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = Lines(SampleText());
        lines[c.line - 1] = c.text;
        const ProjectReadResult read = ParseProject(Join(lines), "/x/plan.stm");
        EXPECT_FALSE(read.Scheme) << c.line;
        EXPECT_EQ(read.Error, "Файл \"/x/plan.stm\", строка " + std::to_string(c.line) + ": " + c.expected + ".");
    }

    EXPECT_EQ(ParseProject("", "a.stm").Error,
              "Файл \"a.stm\", строка 1: файл закончился, ожидалась строка (заголовок файла проекта).");
    std::vector<std::string> empty = Lines(ProjectText(TPipeLine(), ',', nullptr).value());
    empty.resize(11);
    EXPECT_EQ(ParseProject(Join(empty), "a.stm").Error,
              "Файл \"a.stm\", строка 12: файл закончился, ожидалась строка (заголовок «Данные по участкам:»).");
    // A count is checked against the file before anything is allocated for it.
    EXPECT_EQ(ParseProject("v4\r\nx\r\n2000000000\r\n", "a.stm").Error,
              "Файл \"a.stm\", строка 3: количество узлов (2000000000) не умещается в файле (строк в файле: 3).");
    EXPECT_EQ(ParseProject("v4\nx\n5000\n" + std::string(10000, '\n') + "end", "a.stm").Error,
              "Файл \"a.stm\", строка 3: количество узлов (5000) не умещается в файле (строк в файле: 10004).");
}

// Long files are read line by line in place; every number must read as the
// standard library reads it, whatever its form, and the line count behind
// the messages must hold for files of any length.
TEST(ProjectFileTest, NumbersOfLongFilesReadAsTheLibraryReadsThem)
{
    std::mt19937 rng(7);
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    // Reals as people write them and as the writer writes them.
    std::vector<std::string> reals;
    for (int i = 0; i < 4000; ++i) {
        std::string digits = std::to_string(rng() % 100000000000ull);
        if (pick(3) == 0) digits = digits.substr(0, 1 + pick(static_cast<int>(digits.size())));
        const std::size_t point = static_cast<std::size_t>(pick(static_cast<int>(digits.size()) + 1));
        std::string text = digits.substr(0, point);
        if (text.empty()) text = "0";
        if (point < digits.size()) text += (pick(2) ? "," : ".") + digits.substr(point);
        switch (pick(8)) {
        case 0: text = "-" + text; break;
        case 1: text += "E" + std::to_string(pick(40) - 20); break;
        case 2: text = " " + text + "\t"; break;
        case 3: text = "+" + text; break;
        case 4: text += std::string(static_cast<std::size_t>(pick(12)), '7'); break;  // more than 15 digits
        default: break;
        }
        reals.push_back(text);
    }
    TPipeLine s;
    for (std::size_t i = 0; i < reals.size(); ++i)
        s.Nodes.push_back(TNode{.X = pick(100000) - 500, .Y = pick(3000), .Kind = kJunction, .Etag = 1});
    std::vector<std::string> lines = Lines(ProjectText(s, ',', nullptr).value());
    const int firstF = 16;  // line of node 1's f; blocks of nine lines
    for (std::size_t i = 0; i < reals.size(); ++i) lines[firstF - 1 + 9 * i] = reals[i];
    const ProjectReadResult read = ParseProject(Join(lines), "long.stm");
    ASSERT_TRUE(read.Scheme) << read.Error;
    for (std::size_t i = 0; i < reals.size(); ++i) {
        std::string text = reals[i];
        std::erase_if(text, [](char c) { return c == ' ' || c == '\t' || c == '+'; });
        std::replace(text.begin(), text.end(), ',', '.');
        double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_EQ(read.Scheme->Nodes[i + 1].F, expected) << reals[i];
        ASSERT_EQ(read.Scheme->Nodes[i + 1].X, s.Nodes[i + 1].X);
    }

    lines[2] = std::to_string(reals.size() + 1);
    EXPECT_EQ(ParseProject(Join(lines), "long.stm").Error,
              "Файл \"long.stm\", строка 3: количество узлов (" + std::to_string(reals.size() + 1) +
                  ") не умещается в файле (строк в файле: " + std::to_string(lines.size()) + ").");
}

// Reals are written as the value rounded to 15 significant digits, without
// trailing zeros: values of every magnitude, the short decimals a
// calculation leaves, neighbours of powers of ten and subnormal numbers.
TEST(ProjectFileTest, RealsAreWrittenAsTheirFifteenDigitRounding)
{
    std::mt19937_64 rng(11);
    std::vector<double> values;
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = rng();
        double any = 0;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any)) values.push_back(any);
        values.push_back(static_cast<double>(rng() % 100000000) / std::pow(10.0, static_cast<int>(rng() % 12)));
        values.push_back(-std::ldexp(static_cast<double>(rng() >> 11), static_cast<int>(rng() % 1200) - 1100));
    }
    for (int e = -20; e <= 20; ++e) {
        double below = std::pow(10.0, e), above = below;
        for (int i = 0; i < 4; ++i) {
            values.insert(values.end(), {below, above, below * 9.99999999999999});
            below = std::nextafter(below, 0.0);
            above = std::nextafter(above, 1e300);
        }
    }
    // The texts remembered by a report are those made anew, whether found
    // or made again after another value took their place.
    RealTexts remembered(',');
    for (const double x : values) {
        const std::string text = FormatReal(x, '.');
        char rounded[48];
        std::snprintf(rounded, sizeof rounded, "%.14e", x);
        ASSERT_EQ(ParseReal(text), std::strtod(rounded, nullptr)) << text << " for " << rounded;
        const std::string mantissa = text.substr(0, text.find('E'));
        ASSERT_TRUE(mantissa.find('.') == std::string::npos || mantissa.back() != '0') << text;
        std::string comma = text;
        std::replace(comma.begin(), comma.end(), '.', ',');
        ASSERT_EQ(FormatReal(x, ','), comma);
        ASSERT_EQ(remembered.Of(x), comma);
    }
    for (auto x = values.rbegin(); x != values.rend(); ++x) ASSERT_EQ(remembered.Of(*x), FormatReal(*x, ','));
}

TEST(ProjectFileTest, NamesThatCannotBeStoredRefuseTheSave)
{
    TempDir dir;
    TPipeLine s = Sample();
    s.Nodes[2].Name = "Узел 中";
    std::string error;
    EXPECT_FALSE(ProjectText(s, ',', &error));
    const std::string expected =
        "Обозначение узла №2 «Узел 中» содержит символы, которые нельзя сохранить в файле проекта "
        "(кодировка Windows-1251).";
    EXPECT_EQ(error, expected);
    EXPECT_EQ(SaveProjectFile(s, dir / "plan.stm", ','), expected);
    EXPECT_FALSE(fs::exists(dir / "plan.stm"));

    s.Nodes[2].Name = "А\r\nБ";
    EXPECT_EQ(SaveProjectFile(s, dir / "plan.stm", ','),
              "Обозначение узла №2 «А\r\nБ» содержит перевод строки, который нельзя сохранить в файле проекта.");
}

TEST(ProjectFileTest, PictureFileNames)
{
    EXPECT_EQ(PictureFileName("/d/plans/school.stm", 2), "/d/plans/school.im2");
    EXPECT_EQ(PictureFileName("/d/план.стм", 1), "/d/план.im1");
    EXPECT_EQ(PictureFileName("/d/plan.STM", 255), "/d/plan.im255");
    EXPECT_EQ(PictureFileName("ab", 1), "im1");
}

TEST(ProjectFileTest, PicturesAreSavedAndLoadedPerFloor)
{
    TempDir dir;
    const std::string path = dir / "plan.stm";
    TPipeLine s = Sample();
    const auto picture = std::make_shared<const Bitmap>(Bitmap{2, 1, {0xFF0000FF, 0x80FFFFFF}});
    s.Backgrounds[1] = picture;
    ASSERT_EQ(SaveProjectFile(s, path, ','), std::nullopt);
    EXPECT_EQ(ReadAll(path), SampleText());
    EXPECT_EQ(ReadAll(dir / "plan.im1"), EncodeBmp(*picture));
    EXPECT_FALSE(fs::exists(dir / "plan.im2"));
    EXPECT_EQ(dir.Entries(), 2);

    // A picture left from an earlier save is loaded again; a damaged one only
    // warns.
    WriteAll(dir / "plan.im2", EncodeBmp(Bitmap{1, 1, {0xFF123456}}));
    WriteAll(dir / "plan.im3", "BM broken");
    const ProjectReadResult read = ReadProjectFile(path);
    ASSERT_TRUE(read.Scheme) << read.Error;
    ASSERT_TRUE(read.Scheme->Backgrounds[1]);
    EXPECT_EQ(read.Scheme->Backgrounds[1]->Pixels, picture->Pixels);
    ASSERT_TRUE(read.Scheme->Backgrounds[2]);
    EXPECT_EQ(read.Scheme->Backgrounds[2]->Pixels[0], 0xFF123456u);
    EXPECT_FALSE(read.Scheme->Backgrounds[3]);
    ASSERT_EQ(read.Warnings.size(), 1u);
    EXPECT_EQ(read.Warnings[0], "Не удалось загрузить фон этажа №3 из файла \"" + (dir / "plan.im3") +
                                    "\": файл поврежден или имеет неподдерживаемый формат.");

    EXPECT_FALSE(ReadProjectFile(path, false).Scheme->Backgrounds[1]);
    EXPECT_EQ(ReadProjectFile(dir / "none.stm").Error,
              "Не удалось прочитать файл \"" + (dir / "none.stm") + "\": файл не найден.");
}

// A failed save names its cause: every failure used to say that write
// permission was missing. Nothing is replaced and no temporary is left.
TEST(ProjectFileTest, FailedSaveNamesItsCauseAndLeavesTheOldFiles)
{
    TempDir dir;
    const std::string failed = "Ошибка сохранения проекта!\r\n";
    EXPECT_EQ(SaveProjectFile(Sample(), dir / "missing/plan.stm", ','),
              failed + "Папка \"" + (dir / "missing") + "\" не найдена.");

    const std::string path = dir / "plan.stm";
    WriteAll(path, "old project");
    fs::create_directories(dir / "plan.im1/inside");
    TPipeLine s = Sample();
    s.Backgrounds[1] = std::make_shared<const Bitmap>(Bitmap{1, 1, {0}});
    EXPECT_EQ(SaveProjectFile(s, path, ','),
              failed + "\"" + (dir / "plan.im1") + "\" — это папка, а не файл. Выберите другое имя файла.");
    EXPECT_EQ(ReadAll(path), "old project");
    EXPECT_EQ(dir.Entries(), 2);
    fs::remove_all(dir / "plan.im1");

    const std::string fifo = dir / "pipe.stm";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(SaveProjectFile(Sample(), fifo, ','),
              failed + "\"" + fifo + "\" — это не обычный файл (устройство, канал или сокет). Выберите другое имя файла.");

    // A folder without write permission keeps the sentence about
    // permissions (root writes anyway).
    if (::geteuid() != 0) {
        fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(SaveProjectFile(Sample(), path, ','),
                  failed + "Возможно у вас отсутствуют права записи на жесткий диск\r\n(нет прав на запись \"" + path +
                      "\").");
        EXPECT_EQ(ReadAll(path), "old project");
        fs::permissions(dir.Path(), fs::perms::owner_all);
    }

    // A full disk: a small file system of its own where the system lets us
    // make one.
    const std::string small = dir / "small";
    fs::create_directory(small);
    if (::geteuid() != 0 || ::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no small file system can be made for the full disk";
    TPipeLine big = Sample();
    big.Backgrounds[1] = std::make_shared<const Bitmap>(Bitmap{200, 200, std::vector<std::uint32_t>(40000)});
    WriteAll(small + "/plan.stm", "old project");
    const std::optional<std::string> full = SaveProjectFile(big, small + "/plan.stm", ',');
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(small)) left.push_back(e.path().filename().string());
    ::umount2(small.c_str(), MNT_DETACH);
    EXPECT_EQ(full, failed + "Недостаточно места на диске: файл \"" + small + "/plan.im1\" не записан.");
    EXPECT_EQ(left, std::vector<std::string>{"plan.stm"});
}

// A pipe has no end a reader could wait for: neither a project nor a
// picture is read from anything but a regular file.
TEST(ProjectFileTest, PipesAndDevicesAreRefusedWithoutWaiting)
{
    TempDir dir;
    const std::string fifo = dir / "fifo.stm";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string notRegular = "это не обычный файл (устройство, канал или сокет)";
    EXPECT_EQ(ReadProjectFile(fifo).Error, "Не удалось прочитать файл \"" + fifo + "\": " + notRegular + ".");
    EXPECT_EQ(ReadProjectFile("/dev/zero").Error, "Не удалось прочитать файл \"/dev/zero\": " + notRegular + ".");

    const std::string path = dir / "plan.stm";
    ASSERT_EQ(SaveProjectFile(Sample(), path, ','), std::nullopt);
    ASSERT_EQ(::mkfifo((dir / "plan.im2").c_str(), 0600), 0);
    const ProjectReadResult read = ReadProjectFile(path);
    ASSERT_TRUE(read.Scheme) << read.Error;
    EXPECT_FALSE(read.Scheme->Backgrounds[2]);
    EXPECT_EQ(read.Warnings, std::vector<std::string>{"Не удалось загрузить фон этажа №2 из файла \"" +
                                                      (dir / "plan.im2") + "\": " + notRegular + "."});
}

// Saving through a link replaced the link by a file and left the project
// it pointed to stale; the pictures belong beside that project.
TEST(ProjectFileTest, ProjectThroughALinkStaysOneProject)
{
    TempDir dir;
    fs::create_directory(dir / "real");
    fs::create_directory(dir / "desk");
    TPipeLine s = Sample();
    s.Backgrounds[1] = std::make_shared<const Bitmap>(Bitmap{1, 1, {0xFF010203}});
    ASSERT_EQ(SaveProjectFile(s, dir / "real/plan.stm", ','), std::nullopt);
    fs::create_symlink("../real/plan.stm", dir / "desk/plan.stm");

    ProjectReadResult read = ReadProjectFile(dir / "desk/plan.stm");
    ASSERT_TRUE(read.Scheme) << read.Error;
    ASSERT_TRUE(read.Scheme->Backgrounds[1]);
    EXPECT_EQ(read.Scheme->FileName, dir / "desk/plan.stm");

    read.Scheme->Nodes[1].People = 77;
    read.Scheme->Backgrounds[1] = std::make_shared<const Bitmap>(Bitmap{1, 1, {0xFF0A0B0C}});
    ASSERT_EQ(SaveProjectFile(*read.Scheme, dir / "desk/plan.stm", ','), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir / "desk/plan.stm"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "desk"), fs::directory_iterator()), 1);
    const ProjectReadResult back = ReadProjectFile(dir / "real/plan.stm");
    ASSERT_TRUE(back.Scheme) << back.Error;
    EXPECT_EQ(back.Scheme->Nodes[1].People, 77);
    EXPECT_EQ(back.Scheme->Backgrounds[1]->Pixels[0], 0xFF0A0B0Cu);
}

// Every picture the program accepts as a background comes back from the
// project's picture files, up to the largest side.
TEST(ProjectFileTest, PicturesAtTheSizeLimitAreReadBack)
{
    TempDir dir;
    const std::string path = dir / "plan.stm";
    TPipeLine s = Sample();
    Bitmap wide{kMaxPictureSide, 2, std::vector<std::uint32_t>(2 * kMaxPictureSide, 0xFF00FF00)};
    wide.Pixels.back() = 0xFF0000FF;
    Bitmap tall{1, kMaxPictureSide, std::vector<std::uint32_t>(kMaxPictureSide, 0x80123456)};
    s.Backgrounds[1] = std::make_shared<const Bitmap>(wide);
    s.Backgrounds[2] = std::make_shared<const Bitmap>(tall);
    ASSERT_EQ(SaveProjectFile(s, path, ','), std::nullopt);
    const ProjectReadResult read = ReadProjectFile(path);
    ASSERT_TRUE(read.Scheme) << read.Error;
    EXPECT_TRUE(read.Warnings.empty());
    ASSERT_TRUE(read.Scheme->Backgrounds[1] && read.Scheme->Backgrounds[2]);
    EXPECT_EQ(read.Scheme->Backgrounds[1]->Width, kMaxPictureSide);
    EXPECT_EQ(read.Scheme->Backgrounds[1]->Pixels, wide.Pixels);
    EXPECT_EQ(read.Scheme->Backgrounds[2]->Height, kMaxPictureSide);
    EXPECT_EQ(read.Scheme->Backgrounds[2]->Pixels, tall.Pixels);
}

TEST(ProjectFileTest, AtomicFileWriterReplacesOnlyOnCommit)
{
    TempDir dir;
    const std::string path = dir / "report.rtf";
    WriteAll(path, "old");
    {
        AtomicFileWriter abandoned(path);
        abandoned.Stream() << "half";
    }
    EXPECT_EQ(ReadAll(path), "old");
    AtomicFileWriter writer(path);
    writer.Stream() << "new";
    EXPECT_EQ(writer.Commit(), std::nullopt);
    EXPECT_EQ(ReadAll(path), "new");
    EXPECT_EQ(dir.Entries(), 1);

    AtomicFileWriter nowhere(dir / "missing/report.rtf");
    nowhere.Stream() << "x";
    EXPECT_TRUE(nowhere.Commit());
}

TEST(ProjectFileTest, AdoptProjectReplacesOnlyTheProject)
{
    TPipeLine live;
    live.Tool = 4;
    live.AreaFrom = 2;
    live.Opened = false;
    live.AreaWidth = 9;
    live.ExitTimes = {0, 1.5};
    live.ClipNodes.resize(2);
    live.Reports.resize(3);
    live.Backgrounds[7] = std::make_shared<const Bitmap>();

    TPipeLine loaded = ParseProject(SampleText(), "/x/plan.stm").Scheme.value();
    loaded.Backgrounds[2] = std::make_shared<const Bitmap>(Bitmap{1, 1, {1}});
    AdoptProject(live, std::move(loaded));

    ExpectSameProject(Sample(), live);
    EXPECT_EQ(live.FileName, "/x/plan.stm");
    EXPECT_TRUE(live.Backgrounds[2]);
    EXPECT_FALSE(live.Backgrounds[7]);
    EXPECT_TRUE(live.Reports.empty() && live.ExitTimes.empty());
    EXPECT_EQ(live.Tool + live.AreaFrom, 0);
    EXPECT_TRUE(live.Opened);
    EXPECT_FALSE(live.Modified);
    EXPECT_EQ(live.AreaWidth, 9);
    EXPECT_EQ(live.ClipNodes.size(), 2u);
}

}  // namespace
}  // namespace stelmar
