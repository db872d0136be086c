#include <gtest/gtest.h>

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
