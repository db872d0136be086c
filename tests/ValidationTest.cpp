#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "calc/Validation.h"
#include "tests/TestSchemes.h"

using namespace stelmar;
using namespace stelmar::test;
using Messages = std::vector<std::string>;

TEST(Validation, ValidSchemePasses)
{
    TPipeLine s;
    const int j = AddJunction(s);
    Join(s, AddInput(s, 10), j, 5, 1);
    Join(s, j, AddExit(s), 0, 1, kDoorway);  // a doorway may have length 0
    EXPECT_EQ(ValidateScheme(s), Messages{});
    EXPECT_FALSE(CheckData(s).Found);
}

TEST(Validation, DataChecksInOrder)
{
    TPipeLine s;
    const int in = AddInput(s, 0, 0);
    const int j = AddJunction(s);
    const int e = AddExit(s);
    s.Nodes[e].Name = "В1";
    Join(s, in, j, 0, 0, kStairsDown);
    Join(s, j, e, -1, 1, kDoorway);
    const Messages expected = {
        "Ошибка: длина на участке №1-2 должна быть больше нуля;",
        "Ошибка: Участок №1-2 должен иметь тип \"горизонтальный путь\";",
        "Ошибка: ширина на участке №1-2 должна быть больше нуля;",
        "Ошибка: длина на участке №2-В1 должна быть больше или равна (если это дверной проем <0.7) нулю;",
        "Ошибка: средняя площадь горизонтальной проекции человека на входе №1 должна быть больше нуля;",
        "Ошибка: количество людей на входе №1 должно быть больше нуля;",
    };
    const Messages all = ValidateScheme(s);
    ASSERT_GE(all.size(), expected.size());
    EXPECT_EQ(Messages(all.begin(), all.begin() + expected.size()), expected);

    const DataCheckResult data = CheckData(s);
    EXPECT_TRUE(data.Found);
    EXPECT_EQ(data.Text, MessagesText(expected));
    EXPECT_EQ(data.Text.substr(data.Text.size() - 2), "\r\n");
}

TEST(Validation, NotANumberFailsTheChecks)
{
    TPipeLine s;
    const int in = AddInput(s, 5, std::nan(""));
    Join(s, in, AddExit(s), std::nan(""), std::nan(""));
    EXPECT_EQ(ValidateScheme(s).size(), 3u);
}

TEST(Validation, NoAreas)
{
    TPipeLine s;
    AddInput(s, 0);
    EXPECT_EQ(ValidateScheme(s), (Messages{"Ошибка: количество людей на входе №1 должно быть больше нуля;",
                                           "Ошибка: не найдено ни одного участка;"}));
}

TEST(Validation, StructureMessages)
{
    {  // dead-end junction and an input with no area; the far node is reported first
        TPipeLine s;
        const int e = AddExit(s);
        const int j = AddJunction(s);
        Join(s, e, j, 3, 1);
        AddInput(s, 5);
        EXPECT_EQ(ValidateScheme(s),
                  (Messages{"Ошибка: поток не может прерываться узлом №2;",
                            "Ошибка: \"вход\" №3 не соединен ни с одним участком;",
                            "Ошибка: на схеме найден поток, который не имеет ни одного выхода;"}));
    }
    {  // two exits in one part
        TPipeLine s;
        const int j = AddJunction(s);
        Join(s, AddInput(s, 5), j, 3, 1);
        Join(s, j, AddExit(s), 3, 1);
        Join(s, j, AddExit(s), 3, 1);
        EXPECT_EQ(ValidateScheme(s),
                  Messages{"Ошибка: в одном потоке не допускается наличие двух выходов (Узел №4);"});
    }
    {  // a ring of three junctions closes at the third
        TPipeLine s;
        const int a = AddJunction(s), b = AddJunction(s), c = AddJunction(s);
        Join(s, a, b, 1, 1);
        Join(s, b, c, 1, 1);
        Join(s, c, a, 1, 1);
        Join(s, AddInput(s, 5), a, 1, 1);
        Join(s, a, AddExit(s), 1, 1);
        // The ring closes at node 1; the walk back from 1 finds 3 a second time.
        EXPECT_EQ(ValidateScheme(s), (Messages{"Ошибка: обнаружено зацикливание потока в узле №1;",
                                               "Ошибка: обнаружено зацикливание потока в узле №3;"}));
    }
    {  // a lone exit
        TPipeLine s;
        AddExit(s);
        const int j = AddJunction(s);
        Join(s, AddInput(s, 5), j, 3, 1);
        Join(s, j, AddExit(s), 3, 1);
        EXPECT_EQ(ValidateScheme(s), Messages{"Ошибка: \"выход\" №1 не соединен ни с одним участком;"});
    }
}

TEST(Validation, EveryPartNeedsAnExit)
{
    // The part without an exit is walked first: the last part has one.
    TPipeLine s;
    const int j = AddJunction(s);
    Join(s, AddInput(s, 5), j, 3, 1);
    Join(s, AddInput(s, 5), j, 3, 1);
    Join(s, AddInput(s, 5), AddExit(s), 3, 1);
    EXPECT_EQ(ValidateScheme(s),
              Messages{"Ошибка: на схеме найден поток, который не имеет ни одного выхода;"});
}

// The child does not follow either area back to its parent; the parent
// follows the second area and finds the child visited: one message, at the
// child.
TEST(Validation, ParallelAreasAreOneCycle)
{
    TPipeLine s;
    const int j = AddJunction(s);
    const int e = AddExit(s);
    Join(s, AddInput(s, 5), j, 3, 1);
    Join(s, j, e, 3, 1);
    Join(s, e, j, 3, 1);
    EXPECT_EQ(ValidateScheme(s), Messages{"Ошибка: обнаружено зацикливание потока в узле №2;"});

    // With other faults around it the pair still gives one message, in the
    // order of the walk: the dead end beyond the child is reported first.
    TPipeLine mixed;
    const int a = AddJunction(mixed);
    const int b = AddJunction(mixed);
    const int dead = AddJunction(mixed);
    Join(mixed, AddInput(mixed, 5), a, 3, 1);
    Join(mixed, a, b, 3, 1);
    Join(mixed, b, a, 3, 1);
    Join(mixed, b, dead, 3, 0);
    Join(mixed, b, AddExit(mixed), 3, 1);
    EXPECT_EQ(ValidateScheme(mixed),
              (Messages{"Ошибка: ширина на участке №2-3 должна быть больше нуля;",
                        "Ошибка: поток не может прерываться узлом №3;",
                        "Ошибка: обнаружено зацикливание потока в узле №2;"}));
}

TEST(Validation, InputWithTwoAreas)
{
    TPipeLine s;
    const int in = AddInput(s, 5);
    const int j = AddJunction(s);
    Join(s, in, j, 3, 1);
    Join(s, AddInput(s, 5), j, 3, 1);
    Join(s, j, AddExit(s), 3, 1);
    Join(s, in, AddJunction(s), 3, 1);
    const Messages m = ValidateScheme(s);
    EXPECT_NE(std::find(m.begin(), m.end(), "Ошибка: \"вход\" №1 должен соединяться только с одним участком;"),
              m.end());
}

TEST(Validation, MobilityGroupWithoutDataForAPathKind)
{
    TPipeLine s;
    const int j = AddJunction(s);
    const int k = AddJunction(s);
    s.Nodes[k].Name = "Л";
    const int e = AddExit(s);
    Join(s, AddInput(s, 5, 0.1, 3), j, 3, 1);  // М4 has no data for stairs
    Join(s, AddInput(s, 5, 0.1, 3), j, 3, 1);
    Join(s, j, k, 3, 1, kStairsDown);
    Join(s, k, e, 3, 1, kStairsUp);
    EXPECT_EQ(ValidateScheme(s),
              (Messages{"Ошибка: для группы мобильности входа №4 нет данных о движении по участку №1-Л;",
                        "Ошибка: для группы мобильности входа №4 нет данных о движении по участку №Л-3;"}));
    s.Nodes[4].Mobility = s.Nodes[5].Mobility = 4;  // preschool children: stairs up to D = 0.2
    EXPECT_EQ(ValidateScheme(s), Messages{});
}

// Every finding names its element: the area or the node the message is
// about, on its floor.
namespace {

std::vector<std::pair<std::string, ElementRef>> Pairs(const TPipeLine& s)
{
    std::vector<std::pair<std::string, ElementRef>> pairs;
    for (const Finding& f : CheckScheme(s)) pairs.emplace_back(f.Message, f.Element);
    return pairs;
}

ElementRef Node(int n, int floor = 1) { return {ElementKind::Node, n, floor}; }
ElementRef Area(int a, int floor = 1) { return {ElementKind::Area, a, floor}; }

}  // namespace

TEST(Validation, FindingsNameTheirElements)
{
    {  // data: areas, then inputs; the area's floor is its first end's
        TPipeLine s;
        s.EtagCount = 3;
        const int in = AddInput(s, 0, 0);
        const int j = AddJunction(s);
        s.Nodes[in].Etag = s.Nodes[j].Etag = 3;
        const int e = AddExit(s);
        Join(s, in, j, 0, 0, kStairsDown);
        Join(s, j, e, 5, 1);
        const auto pairs = Pairs(s);
        ASSERT_GE(pairs.size(), 5u);
        EXPECT_EQ(pairs[0].second, Area(1, 3));
        EXPECT_EQ(pairs[1].second, Area(1, 3));
        EXPECT_EQ(pairs[2].second, Area(1, 3));
        EXPECT_EQ(pairs[3], std::pair(std::string("Ошибка: средняя площадь горизонтальной проекции человека на входе "
                                                  "№1 должна быть больше нуля;"),
                                      Node(1, 3)));
        EXPECT_EQ(pairs[4].second, Node(1, 3));
    }
    {  // structure: cycle, dead end, loose input and exit, two exits
        TPipeLine s;
        const int a = AddJunction(s), b = AddJunction(s), c = AddJunction(s);
        Join(s, a, b, 1, 1);
        Join(s, b, c, 1, 1);
        Join(s, c, a, 1, 1);
        Join(s, AddInput(s, 5), a, 1, 1);
        Join(s, a, AddExit(s), 1, 1);
        const int dead = AddJunction(s);
        Join(s, b, dead, 1, 1);
        const int loose = AddInput(s, 5);
        const int lone = AddExit(s);
        const int second = AddExit(s);
        Join(s, c, second, 1, 1);
        const auto pairs = Pairs(s);
        std::vector<std::pair<std::string, ElementRef>> expected;
        for (const auto& [message, element] : pairs) {
            if (message.find("зацикливание") != std::string::npos) {
                EXPECT_EQ(element.Kind, ElementKind::Node);
            }
            if (message.find("прерываться узлом №" + std::to_string(dead)) != std::string::npos)
                expected.emplace_back(message, Node(dead));
            if (message.find("\"вход\" №" + std::to_string(loose)) != std::string::npos)
                expected.emplace_back(message, Node(loose));
            if (message.find("\"выход\" №" + std::to_string(lone)) != std::string::npos)
                expected.emplace_back(message, Node(lone));
            if (message.find("двух выходов") != std::string::npos) {
                EXPECT_EQ(element.Kind, ElementKind::Node);
            }
        }
        ASSERT_EQ(expected.size(), 3u);
        for (const auto& pair : expected)
            EXPECT_NE(std::find(pairs.begin(), pairs.end(), pair), pairs.end()) << pair.first;
    }
    {  // a part without an exit: its first node; no areas at all: nothing
        TPipeLine s;
        const int j = AddJunction(s);
        Join(s, AddInput(s, 5), j, 3, 1);
        Join(s, AddInput(s, 5), j, 3, 1);
        EXPECT_EQ(Pairs(s), (std::vector<std::pair<std::string, ElementRef>>{
                                {"Ошибка: на схеме найден поток, который не имеет ни одного выхода;", Node(1)}}));
        TPipeLine empty;
        EXPECT_EQ(Pairs(empty), (std::vector<std::pair<std::string, ElementRef>>{
                                    {"Ошибка: не найдено ни одного участка;", ElementRef{}}}));
    }
    {  // a group without data for the path kind: the area
        TPipeLine s;
        const int j = AddJunction(s);
        Join(s, AddInput(s, 5, 0.1, 3), j, 3, 1);  // М4 has no data for stairs
        Join(s, j, AddExit(s), 3, 1, kStairsDown);
        const auto pairs = Pairs(s);
        ASSERT_EQ(pairs.size(), 1u) << (pairs.empty() ? "" : pairs[0].first);
        EXPECT_NE(pairs[0].first.find("нет данных о движении по участку №1-3;"), std::string::npos) << pairs[0].first;
        EXPECT_EQ(pairs[0].second, Area(2));
    }
}

// Two inputs of 2 147 483 647 people used to merge into a flow of -2
// people. Where merged flows first hold more people than a count can, the
// node is reported with the inputs whose people come together there; the
// rest of the scheme downstream is not reported again.
TEST(Validation, MergedFlowBeyondACountIsRefused)
{
    constexpr int kMost = std::numeric_limits<std::int32_t>::max();
    TPipeLine s;
    const int j = AddJunction(s);
    const int k = AddJunction(s);
    const int e = AddExit(s);
    const int a = AddInput(s, kMost);
    const int b = AddInput(s, kMost);
    const int c = AddInput(s, 5);
    Join(s, a, j, 5, 1);
    Join(s, b, j, 5, 1);
    Join(s, j, k, 5, 1);
    Join(s, c, k, 5, 1);
    Join(s, k, e, 5, 1);
    const std::vector<Finding> findings = CheckScheme(s);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].Message, "Ошибка: в узле №1 сливаются потоки входов №4, №5: всего 4294967294 человек, "
                                   "больше допустимых 2147483647;");
    EXPECT_EQ(findings[0].Element, NodeRef(s, j));
    EXPECT_EQ(findings[0].Input, NodeRef(s, a));

    // Exactly a count's worth passes, one more does not.
    s.Nodes[a].People = kMost - 10;
    s.Nodes[b].People = 5;
    EXPECT_EQ(ValidateScheme(s), Messages{});
    s.Nodes[c].People = 6;
    EXPECT_EQ(ValidateScheme(s), Messages{"Ошибка: в узле №2 сливаются потоки входов №4, №5, №6: всего 2147483648 "
                                          "человек, больше допустимых 2147483647;"});
}
