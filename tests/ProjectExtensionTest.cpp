#include "model/ProjectExtension.h"

#include <gtest/gtest.h>

#include "model/ProjectFile.h"
#include "model/TextCodec.h"

namespace stelmar {
namespace {

TPipeLine TwoNodes()
{
    TPipeLine s;
    s.Nodes.push_back(TNode{.X = 10, .Y = 20, .Kind = kInput, .Etag = 1, .People = 5, .F = 0.1,
                            .Name = kDefaultNodeName});
    s.Nodes.push_back(TNode{.X = 90, .Y = 20, .Kind = kExit, .Etag = 1, .Name = "Выход"});
    s.Areas.push_back(TArea{1, 2, 1, 8, 1.2, kHorizontal});
    return s;
}

std::string Cp1251(const char* utf8) { return Utf8ToCp1251(utf8).value(); }

TEST(ProjectExtension, UnknownEntriesSurviveReadingAndWritingAndEarlierReadersSeeTheSameScheme)
{
    TPipeLine s = TwoNodes();
    const std::string fixedPart = ProjectText(s, ',', nullptr).value();
    s.KeptExtension = {{"future.note", "Лестница ≤ 6 мин \\ 😀"}, {"future.lines", "a=b\r\nc"}, {"x", ""}};

    const std::string text = ProjectText(s, ',', nullptr).value();
    // The fixed lines come first, exactly as a file without the block.
    ASSERT_EQ(text.substr(0, fixedPart.size()), fixedPart);
    EXPECT_EQ(text.substr(fixedPart.size()),
              Cp1251("Дополнительные данные:\r\nВерсия: 1\r\nfuture.note=Лестница \\u2264 6 мин \\\\ "
                     "\\uD83D\\uDE00\r\nfuture.lines=a=b\\r\\nc\r\nx=\r\n"));

    const ProjectReadResult read = ParseProject(text, "/p/plan.stm");
    ASSERT_TRUE(read.Scheme) << read.Error;
    EXPECT_TRUE(read.Warnings.empty());
    EXPECT_EQ(read.Scheme->KeptExtension, s.KeptExtension);
    EXPECT_EQ(ProjectText(*read.Scheme, ',', nullptr), text);

    // A reader that stops after the fixed lines gets the same scheme.
    const ProjectReadResult fixedOnly = ParseProject(fixedPart, "/p/plan.stm");
    EXPECT_EQ(ProjectText(fixedOnly.Scheme.value(), ',', nullptr), fixedPart);
    EXPECT_TRUE(fixedOnly.Scheme->KeptExtension.empty());
}

TEST(ProjectExtension, DamagedBlockKeepsTheSchemeAndNamesTheLines)
{
    const std::string fixedPart = ProjectText(TwoNodes(), '.', nullptr).value();
    const int lastFixedLine = 37;  // 11 header lines, 2 nodes of 9, a label, an area of 6, VrSk

    {
        const ProjectReadResult read = ParseProject(fixedPart + "\r\nчто-то\r\n", "a.stm");
        ASSERT_TRUE(read.Scheme);
        ASSERT_EQ(read.Warnings.size(), 1u);
        EXPECT_EQ(read.Warnings[0], "Файл \"a.stm\", строка " + std::to_string(lastFixedLine + 2) +
                                        ": после данных по участкам стоят нераспознанные строки; эти данные "
                                        "пропущены, схема прочитана.");
    }
    {
        const std::string block = Cp1251("Дополнительные данные:\r\nВерсия: x\r\nk=v\r\n");
        const ProjectReadResult read = ParseProject(fixedPart + block, "a.stm");
        ASSERT_TRUE(read.Scheme);
        ASSERT_EQ(read.Warnings.size(), 1u);
        EXPECT_NE(read.Warnings[0].find("строка " + std::to_string(lastFixedLine + 2) +
                                        ": ожидалась версия дополнительных данных"),
                  std::string::npos);
        EXPECT_TRUE(read.Scheme->KeptExtension.empty());
    }
    {
        // A line without "=", a bad key and a broken escape are left out; the
        // good entries around them are kept, and a later version's block is
        // read as far as it is understood.
        const std::string block =
            Cp1251("Дополнительные данные:\r\nВерсия: 7\r\nok.1=один\r\nбез знака\r\nbad key=1\r\nok.2=\\uD800x\r\n"
                   "ok.3=\\u0434\r\n");
        const ProjectReadResult read = ParseProject(fixedPart + block, "a.stm");
        ASSERT_TRUE(read.Scheme);
        EXPECT_EQ(read.Scheme->Nodes[2].Name, "Выход");
        EXPECT_EQ(read.Warnings.size(), 3u);
        EXPECT_NE(read.Warnings[0].find("строка " + std::to_string(lastFixedLine + 4)), std::string::npos);
        EXPECT_EQ(read.Scheme->KeptExtension, (std::vector<TExtensionEntry>{{"ok.1", "один"}, {"ok.3", "д"}}));
    }
}

}  // namespace
}  // namespace stelmar
