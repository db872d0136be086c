#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "calc/BlockRecorder.h"
#include "calc/EquationText.h"
#include "calc/FlowCalculation.h"
#include "calc/MovementTables.h"
#include "calc/ReportWriter.h"
#include "calc/RtfReport.h"
#include "calc/RtfFragments.h"
#include "calc/RtfStepTemplates.h"
#include "calc/Validation.h"
#include "model/TextCodec.h"
#include "tests/TestSchemes.h"

namespace stelmar {
namespace {

const std::string kNb = "\u00A0";
const std::string kD25 = R"({\pard\ql\fs25\f84 \u948\'3f})";
const std::string kD24 = R"({\pard\ql\fs24\f84 \u948\'3f})";
const std::string kD20 = R"({\pard\ql\fs20\f84 \u948\'3f})";
const std::string kT20 = R"({\pard\ql\fs20\f84 \u964\'3f})";

std::string P(const std::string& text, const std::string& alignment, const std::string& size)
{
    return RtfParagraph(text, alignment, "f1", size);
}
std::string Eq(const std::string& formula) { return RtfEquation(formula, "qc", "f1", "fs20"); }
std::string Empty() { return RtfEmptyParagraph(); }

std::string Decoded(const std::string& bytes)
{
    const std::optional<std::string> text = Cp1251ToUtf8(bytes);
    EXPECT_TRUE(text.has_value());
    return text.value_or("");
}
std::string FullBytes(const TPipeLine& s, char separator = ',')
{
    std::ostringstream out;
    BuildFullReport(s, separator, out);
    return out.str();
}
std::string SummaryBytes(const TPipeLine& s, char separator = ',')
{
    std::ostringstream out;
    BuildSummaryReport(s, separator, out);
    return out.str();
}
std::string Full(const TPipeLine& s, char separator = ',') { return Decoded(FullBytes(s, separator)); }
std::string Summary(const TPipeLine& s, char separator = ',') { return Decoded(SummaryBytes(s, separator)); }

// The document is one group and every group closes.
bool Balanced(const std::string& doc)
{
    int depth = 0;
    for (std::size_t i = 0; i < doc.size(); ++i) {
        if (doc[i] == '\\') {
            ++i;
        } else if (doc[i] == '{') {
            ++depth;
        } else if (doc[i] == '}' && (--depth < 0 || (depth == 0 && i + 1 != doc.size()))) {
            return false;
        }
    }
    return depth == 0;
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Text between the first `from` and the following `to`.
std::string Between(const std::string& text, const std::string& from, const std::string& to)
{
    const std::size_t start = text.find(from);
    if (start == std::string::npos) return "<missing " + from + ">";
    return text.substr(start, text.find(to, start) - start);
}

TReport FirstStep(int from, int to, int flowNo, int people, double density, double length, double width,
                  double speed, double intensity, double time, double total)
{
    return TReport{.Upstream = from, .Downstream = to, .StartsFlow = true, .FirstArea = true,
                   .PathKind = kHorizontal, .GroupCode = 1, .FlowNo = flowNo, .People = people,
                   .Density = density, .Width = width, .AreaTime = time, .Speed = speed, .Intensity = intensity,
                   .Length = length, .TotalTime = total, .ProjArea = 0.1};
}

// Steps name their ends by node: nodes labelled by these names, in order.
void AddNamedNodes(TPipeLine& s, std::initializer_list<const char*> names)
{
    for (const char* name : names) s.Nodes.push_back(TNode{.Kind = kJunction, .Name = name});
}

// Input 1 -> exit 2 with one flow of 60 people.
TPipeLine SingleFlow()
{
    TPipeLine s;
    s.Nodes.push_back(TNode{.Kind = kInput, .People = 60, .F = 0.1, .Name = kDefaultNodeName});
    s.Nodes.push_back(TNode{.Kind = kExit, .Name = kDefaultNodeName});
    s.Areas.push_back(TArea{.Node1 = 1, .Node2 = 2, .Length = 20, .Width = 2, .Kind = kHorizontal});
    s.Reports = {TReport{}, FirstStep(1, 2, 1, 60, 0.15, 20, 2, 100, 15, 0.2, 0.2)};
    s.ExitTimes = {0, 0.2};
    s.EvacuationTime = 0.2;
    s.FlowCounter = 1;
    return s;
}

// Flows of 60 and 40 people meet at node 3 and pass a 1 m doorway (delayed),
// then a 2 m horizontal path to the exit.
TPipeLine MergedFlows(bool vrSk)
{
    TPipeLine s;
    s.VrSk = vrSk;
    AddNamedNodes(s, {kDefaultNodeName, kDefaultNodeName, kDefaultNodeName, kDefaultNodeName, kDefaultNodeName});
    s.Reports = {TReport{},
                 FirstStep(1, 3, 1, 60, 0.15, 20, 2, 100, 15, 0.2, 0.2),
                 FirstStep(2, 3, 2, 40, 0.1, 20, 2, 100, 10, 0.2, 0.3),
                 TReport{.Area = 3, .Upstream = 3, .Downstream = 4, .StartsFlow = true, .PathKind = kDoorway,
                         .GroupCode = 1, .Merged = {{1, 15, 2}, {2, 10, 2}}, .FlowNo = 3, .ArrivingCount = 2,
                         .People = 100, .RawIntensity = 25, .Width = 1, .AreaTime = 0.5, .DelayTime = 0.3,
                         .AccumTime = 0.4, .Speed = 15, .Intensity = 6.25, .Length = 3, .TotalTime = 0.8,
                         .ProjArea = 0.1, .StreamPeople = 100, .StreamProjArea = 0.1},
                 TReport{.Upstream = 4, .Downstream = 5, .PathKind = kHorizontal, .GroupCode = 1,
                         .Merged = {{3, 6.25, 1}}, .FlowNo = 3, .ArrivingCount = 1, .People = 100,
                         .RawIntensity = 3.125, .Width = 2, .AreaTime = 0.1, .Speed = 50, .Intensity = 3.125,
                         .Length = 5, .TotalTime = 0.9, .ProjArea = 0.1}};
    s.ExitTimes = {0, 0.9};
    s.EvacuationTime = 0.9;
    s.FlowCounter = 3;
    return s;
}

TEST(ReportWriterTest, FullReportOfOneFirstAreaFlow)
{
    const TPipeLine s = SingleFlow();
    const std::string expected =
        RtfDocumentStart() + P(R"(Поток №1\par)", "qc", "fs30") + P(R"(Участок 1-2\par)", R"(ql\ul)", "fs26") +
        P("Горизонтальный" + kNb + "путь. l = 20 м, ", "ql", "fs24") + P(kD25 + " = 2 м, ", "ql", "fs24") +
        P(R"(N = 60, f = 0,1 м{\super 2}*.\par)", "ql", "fs24") +
        P(R"(Определим плотность потока (D):\par)", "ql", "fs24") +
        Eq(R"(D = \\f(N \'b7 f;l \'b7 {\pard\ql\fs25\f84 \u948\'3f}) = \\f(60 \'b7 0,1;20\'b72) = 0,15 м\\s\\up3(2)/м\\s\\up3(2))") +
        P(R"(Определим скорость и интенсивность:\par)", "ql", "fs24") + Eq("v = 100 м/мин") + Eq("q = 15 м/мин") +
        P(R"(Рассчитаем время на участке:\par)", "ql", "fs24") +
        Eq(kT20 + R"( := \\f(l;v) = \\f(20;100) = 0,2 мин.)") +
        P(R"(Общее время от начала эвакуации 0,2 мин.\par\par)", "ql", "fs24") +
        P("*Где l - длина участка," + kD25 +
              R"( - ширина участка, N - количество людей на участке, f - средняя площадь горизонтальной проекции человека.\par\par)",
          "ql", "fs18") +
        P(R"(Определим общее расчетное время эвакуации\par\par)", R"(ql\ul)", "fs26") +
        P(R"(t{\sub p} = 0,2 мин. \par\par)", "qc", "fs24") +
        P("Итак, общее расчетное время эвакуации равно 0,2 мин. (или 12 сек.)", R"(ql\ul)", "fs26") + "}";
    const std::string bytes = FullBytes(s);
    EXPECT_EQ(Decoded(bytes), expected);
    // Cyrillic, "№" and the no-break space are single Windows-1251 bytes.
    EXPECT_NE(bytes.find("\xCF\xEE\xF2\xEE\xEA \xB9" "1"), std::string::npos);
    EXPECT_NE(bytes.find("\xE9\xA0\xEF"), std::string::npos);
    EXPECT_TRUE(Balanced(Decoded(bytes)));

    EXPECT_NE(Full(s, '.').find(R"(\\f(60 \'b7 0.1;20\'b72) = 0.15 м)"), std::string::npos);
}

TEST(ReportWriterTest, SummaryReportOfOneFirstAreaFlow)
{
    const TPipeLine s = SingleFlow();
    const std::string expected =
        RtfDocumentStart() +
        R"({\field{\*\fldinst { HYPERLINK  \\l "pt1" }}{\fldrslt {\cs15\fs28\qc\f1  {\*\bkmkstart p1} Поток №1\par}}})" +
        P(R"(N = 60, f = 0,1 м{\super 2})", "ql", "fs24") +
        P(R"(, D = 0,15 м{\super 2}/м{\super 2})", "ql", "fs24") + R"(.\par\fs8)" +
        P(R"(Где N - количество людей, f - средняя площадь горизонтальной проекции человека, D - плотность потока.\par)",
          "ql", "fs18") +
        R"(\par\fs8)" +
        RtfTableRow(R"({\pard\intbl\qc\fs20\b Участок\cell Тип\cell Длина,)" + kNb + R"(м.\cell Ширина,)" + kNb +
                        R"(м.\cell Интенсивность,)" + kNb + R"(м/мин.\cell Скорость,)" + kNb +
                        R"(м/мин.\cell Время,)" + kNb + R"(мин. \cell})",
                    7, 30) +
        RtfTableRow(R"({\pard\intbl\qc\fs20 1-2\cell Горизонтальный)" + kNb + R"(путь\cell 20\cell 2\cell 15\cell 100\cell 0,2)" +
                        kNb + R"((0,2) \cell})",
                    7, 10) +
        RtfTableRow(R"({\pard\intbl\qr\fs20 Общее время потока: {\pard\ql\b\fs22\f1 0,2}\cell})", 1, 10) +
        R"(\par\fs8)" + Empty() + Empty() + P(R"(Сводная таблица по потокам:\par)", "ql", "fs24") + Empty() +
        RtfTableRow(R"({\pard\intbl\qc\fs20\b № потока\cell Количество людей\cell Средняя площадь горизонтальной проекции человека, м{\super 2}\cell Длина, м\cell Время)" +
                        kNb + R"(, мин. \cell})",
                    5, 30) +
        RtfTableRow(
            R"({\pard\intbl\qc\fs20 {\*\bkmkstart pt1}{\field{\*\fldinst { HYPERLINK  \\l "p1" }}{\fldrslt {\cs15\fs20\ql\b\ul\f1 1}}}\cell 60\cell 0,1\cell 20\cell 0,2\cell})",
            5, 10) +
        Empty() + Empty() + Empty() + P(R"(Сводная таблица по участкам:\par)", "ql", "fs24") + Empty() +
        RtfTableRow(R"({\pard\intbl\qc\fs20\b № участка\cell Количество людей\cell Тип участка\cell Длина, м.\cell Ширина , м.\cell})",
                    5, 30) +
        RtfTableRow(R"({\pard\intbl\qc\fs20 1-2\cell 60\cell Горизонтальный)" + kNb + R"(путь\cell 20\cell 2\cell})", 5,
                    10) +
        Empty() + P(R"(Определим общее расчетное время эвакуации\par\par)", R"(ql\ul)", "fs24") +
        P(R"(t{\sub p} = 0,2 мин. \par\par)", "qc", "fs24") +
        P(R"(Итак, общее расчетное время эвакуации равно {\pard\ql\b\fs24\f1 0,2} мин. (или 12 сек.))", R"(ql\ul)",
          "fs24") +
        "}";
    EXPECT_EQ(Summary(s), expected);
    EXPECT_TRUE(Balanced(expected));
}

TEST(ReportWriterTest, FullReportOfMergedFlowWithDelay)
{
    const std::string doc = Full(MergedFlows(true));
    const std::string expected =
        P(R"(Поток №3\par)", "qc", "fs30") + P(R"((Образован слиянием потоков №№ 1, 2)\par)", "ql", "fs24") +
        P(R"(Участок 3-4\par)", R"(ql\ul)", "fs26") + P("Дверной" + kNb + "проем. l = 3 м, ", "ql", "fs24") +
        P(kD25 + " = 1 м, ", "ql", "fs24") + P(R"(N = 100, f = 0,1 м{\super 2}.\par)", "ql", "fs24") +
        P(R"(Определим интенсивность потока (q):\par)", "ql", "fs24") +
        Eq(R"(q = \\f(\\i\\su(;;q\\s\\do3(i-1) \'b7 )" + kD20 + R"(\\s\\do3(i-1)); )" + kD20 +
           R"(\\s\\do3(i)) = \\f((15\'b72)+(10\'b72);1) = 25 м/мин)") +
        Eq(R"(т.к. q>q{\sub max} примем q = q{\sub пред} = 6,25 м/мин)") + P(R"(\par)", "ql", "fs24") +
        P(R"(Определим скорость:\par)", "ql", "fs24") + Eq(R"(v{\sub пред} = 15 м/мин)") +
        P(R"(Т.к. интенсивность движения на участке больше максимальной вычислим время задержки: \par)", "ql",
          "fs24") +
        Eq(kT20 + R"({\super з} = N \'b7 f ( \\f(1;q{\sub пред}\'b7)" + kD20 + R"({\sub i}) - \\f(1;q{\sub i-1}\'b7)" +
           kD20 + R"({\sub i-1}) ) = 100 \'b7 0,1 ( \\f(1;6,25\'b71) - \\f(1;(15\'b72)+(10\'b72)) ) = 0,3 мин.)") +
        P(R"(Вычислим время скопления: \par)", "ql", "fs24") +
        Eq(kT20 + R"({\sub ск} = \\f(N \'b7 f;q{\sub пред}\'b7)" + kD20 +
           R"({\sub i}) = \\f(100 \'b7 0,1;6,25\'b71) = 0,4 мин.)") +
        P(R"(Рассчитаем время на участке: \par)", "ql", "fs24") +
        Eq(kT20 + R"( = \\f(l;v{\sub пред}) + )" + kT20 + R"({\super з} = \\f(3;15)+0,3 = 0,5 мин.)") +
        P(R"(Общее время от начала эвакуации 0,8 мин.\par\par)", "ql", "fs24") +
        // A continuation step: δ at size 24, no star, no delay.
        P(R"(Участок 4-5\par)", R"(ql\ul)", "fs26") + P("Горизонтальный" + kNb + "путь. l = 5 м, ", "ql", "fs24") +
        P(kD24 + " = 2 м, ", "ql", "fs24") + P(R"(N = 100, f = 0,1 м{\super 2}.\par)", "ql", "fs24") +
        P(R"(Определим интенсивность потока (q):\par)", "ql", "fs24") +
        Eq(R"(q = \\f(\\i\\su(;;q\\s\\do3(i-1) \'b7 )" + kD20 + R"(\\s\\do3(i-1)); )" + kD20 +
           R"(\\s\\do3(i)) = \\f((6,25\'b71);2) = 3,125 м/мин)") +
        P(R"(Определим скорость:\par)", "ql", "fs24") + Eq("v = 50 м/мин") +
        P(R"(Рассчитаем время на участке: \par)", "ql", "fs24") +
        Eq(kT20 + R"( = \\f(l;v) = \\f(5;50) = 0,1 мин. )") +
        P(R"(Общее время от начала эвакуации 0,9 мин.\par\par)", "ql", "fs24");
    EXPECT_EQ(Between(doc, R"({\pard\qc\fs30\f1 Поток №3)", "Определим общее расчетное"),
              expected + R"({\pard\ql\ul\fs26\f1 )");
    EXPECT_TRUE(Balanced(doc));

    const std::string withoutAccumulation = Full(MergedFlows(false));
    EXPECT_EQ(withoutAccumulation.find("Вычислим время скопления"), std::string::npos);
    EXPECT_NE(withoutAccumulation.find(R"(\\f(1;(15\'b72)+(10\'b72)) ) = 0,3 мин.)"), std::string::npos);
}

TEST(ReportWriterTest, SummaryReportOfMergedFlowWithDelay)
{
    const std::string doc = Summary(MergedFlows(true));
    EXPECT_NE(doc.find(RtfTableRow(R"({\pard\intbl\qc\fs20 3-4\cell Дверной)" + kNb +
                                       R"(проем\cell 3\cell 1\cell 6,25\cell 15\cell 0,5)" + kNb +
                                       R"((0,5) (время задержки 0,3 мин., время скопления 0,4 мин.)\cell})",
                                   7, 10)),
              std::string::npos);
    // The running time adds up the times on the flow's areas.
    EXPECT_NE(doc.find(R"(\cell 3,125\cell 50\cell 0,1)" + kNb + R"((0,6) \cell})"), std::string::npos);
    EXPECT_NE(doc.find(R"({\pard\intbl\qr\fs20 Общее время потока: {\pard\ql\b\fs22\f1 0,9}\cell})"),
              std::string::npos);
    EXPECT_NE(doc.find(P(R"((Образован слиянием потоков №№ 1, 2)\par)", "ql", "fs24") +
                       P(R"(N = 100, f = 0,1 м{\super 2})", "ql", "fs24") + R"(.\par\fs8\par\fs8)"),
              std::string::npos);
    // Table of flows: people and f of the head, length summed over the flow, time of the last area.
    EXPECT_NE(doc.find(R"({\fldrslt {\cs15\fs20\ql\b\ul\f1 3}}}\cell 100\cell 0,1\cell 8\cell 0,9\cell})"),
              std::string::npos);
    EXPECT_TRUE(Balanced(doc));

    EXPECT_NE(Summary(MergedFlows(false)).find(R"((время задержки 0,3 мин.)\cell})"), std::string::npos);
}

// The delay and accumulation formulas print the N and f they were computed
// from (the whole stream of both groups, 75 people) and join the arriving
// flows' q·δ with "+"; worked by hand in FlowCalculationTest.
TEST(ReportWriterTest, DelayFormulasReproduceTheirValues)
{
    TPipeLine s = test::GroupMergeAtDoorway(true);
    ASSERT_TRUE(ValidateScheme(s).empty());
    Calculate(s, ',');
    const std::string full = Full(s);
    const std::string terms = R"( - \\f(1;(3\'b72,5)+(12\'b72,5)) ) = )";
    EXPECT_NE(full.find(R"() ) = 75 \'b7 0,1 ( \\f(1;9,84\'b71))" + terms + "0,56 мин.}"), std::string::npos);
    EXPECT_NE(full.find(R"() ) = 75 \'b7 0,1 ( \\f(1;6,25\'b71))" + terms + "1 мин.}"), std::string::npos);
    EXPECT_NE(full.find(R"( = \\f(75 \'b7 0,1;9,84\'b71) = 0,76 мин.})"), std::string::npos);
    EXPECT_NE(full.find(R"( = \\f(75 \'b7 0,1;6,25\'b71) = 1,2 мин.})"), std::string::npos);
    // The shown result of the field reads the same.
    EXPECT_NE(full.find(R"(75 \'b7 0,1 ( (1)/(6,25\'b71) - (1)/((3\'b72,5)+(12\'b72,5)) ) = 1 мин.)"),
              std::string::npos);
    // Each flow keeps its own N in its head lines.
    EXPECT_NE(full.find(R"(N = 25, f = 0,1 м{\super 2}.\par)"), std::string::npos);
    EXPECT_NE(full.find(R"(N = 50, f = 0,1 м{\super 2}.\par)"), std::string::npos);
}

TEST(ReportWriterTest, FlowsAreNumberedInOrderOfAppearance)
{
    TPipeLine s;
    AddNamedNodes(s, {"a", "b", "c", "d", "e"});
    TReport merged{.Upstream = 3, .Downstream = 5, .StartsFlow = true, .PathKind = kHorizontal, .GroupCode = 1,
                   .Merged = {{1, 1, 1}, {3, 1, 1}}, .FlowNo = 2, .ArrivingCount = 2, .People = 30};
    TReport continuation = FirstStep(3, 4, 3, 10, 0.1, 1, 1, 1, 1, 1, 2);
    continuation.StartsFlow = continuation.FirstArea = false;
    s.Reports = {TReport{}, FirstStep(1, 3, 3, 10, 0.1, 1, 1, 1, 1, 1, 1),
                 FirstStep(2, 3, 1, 20, 0.1, 1, 1, 1, 1, 1, 1), continuation, merged};
    s.FlowCounter = 3;
    const TPipeLine original = s;

    const std::string full = Full(s);
    EXPECT_NE(Between(full, "Поток №1", "Поток №2").find("Участок a-c"), std::string::npos);
    EXPECT_NE(Between(full, "Поток №1", "Поток №2").find("Участок c-d"), std::string::npos);
    EXPECT_NE(Between(full, "Поток №2", "Поток №3").find("Участок b-c"), std::string::npos);
    EXPECT_NE(Between(full, "Поток №3", "Участок").find("(Образован слиянием потоков №№ 2, 1)"),
              std::string::npos);
    EXPECT_EQ(full.find("Поток №4"), std::string::npos);

    const std::string summary = Summary(s);
    EXPECT_NE(Between(summary, "bkmkstart p1}", "bkmkstart p2}").find("c-d\\cell"), std::string::npos);
    EXPECT_NE(summary.find("(Образован слиянием потоков №№ 2, 1)"), std::string::npos);
    EXPECT_NE(summary.find(R"(\ul\f1 1}}}\cell 10\cell)"), std::string::npos);
    EXPECT_NE(summary.find(R"(\ul\f1 2}}}\cell 20\cell)"), std::string::npos);

    // The records are not touched, so a second report is the same.
    EXPECT_EQ(s.Reports[1].FlowNo, original.Reports[1].FlowNo);
    EXPECT_EQ(s.Reports[4].Merged, original.Reports[4].Merged);
    EXPECT_EQ(FullBytes(s), FullBytes(s));
    EXPECT_EQ(Full(s), full);
    EXPECT_EQ(Summary(s), summary);
}

TEST(ReportWriterTest, StarAndFootnoteAppearOnce)
{
    TPipeLine s;
    AddNamedNodes(s, {"m", "n", "a", "b"});
    // A merged head first: sum skips the zero first term and starts with "+(".
    TReport head{.Upstream = 1, .Downstream = 2, .StartsFlow = true, .PathKind = kHorizontal, .GroupCode = 3,
                 .Merged = {{2, 0, 1}, {3, 5, 2}}, .FlowNo = 1, .ArrivingCount = 2, .People = 5,
                 .RawIntensity = 10, .Width = 1, .Speed = 1, .ProjArea = 0.1};
    s.Reports = {TReport{}, head, FirstStep(3, 1, 2, 10, 0.1, 1, 1, 1, 1, 1, 1),
                 FirstStep(4, 1, 3, 10, 0.1, 1, 1, 1, 1, 1, 1)};
    s.FlowCounter = 3;

    const std::string full = Full(s);
    EXPECT_EQ(Count(full, R"(м{\super 2}*.\par)"), 2u);
    EXPECT_EQ(Count(full, "*Где l - длина участка"), 1u);
    EXPECT_NE(Between(full, "Поток №2", "Поток №3").find("*Где l"), std::string::npos);
    EXPECT_EQ(Between(full, "Поток №3", "Определим общее").find("*."), std::string::npos);
    // The merged head gets its head lines, the group line and the transition, not the density.
    const std::string first = Between(full, "Поток №1", "Поток №2");
    EXPECT_NE(first.find(P(GroupName(2) + R"(.\par)", "ql", "fs24") +
                         P(R"(Определим интенсивность потока (q):\par)", "ql", "fs24")),
              std::string::npos);
    EXPECT_EQ(first.find("плотность"), std::string::npos);
    EXPECT_NE(first.find(R"(\\f(+(5\'b72);1) = 10 м/мин)"), std::string::npos);

    const std::string summary = Summary(s);
    EXPECT_EQ(Count(summary, "Где N - количество людей"), 1u);
    EXPECT_NE(Between(summary, "Поток №1", "Участок\\cell").find("Где N"), std::string::npos);
    EXPECT_NE(summary.find(P(", " + GroupName(2), "ql", "fs24") + R"(.\par\fs8)"), std::string::npos);
    // No density for a head that is not a first area.
    EXPECT_EQ(Between(summary, "Поток №1", "Где N").find(", D ="), std::string::npos);
}

TEST(ReportWriterTest, ReportsWithoutSteps)
{
    TPipeLine s;
    s.Nodes.push_back(TNode{.Kind = kInput, .People = 7, .Name = "A"});
    s.Nodes.push_back(TNode{.Kind = kInput, .People = 9, .Name = kDefaultNodeName});
    s.Nodes.push_back(TNode{.Kind = kJunction, .Name = "J"});
    s.Areas.push_back(TArea{.Node1 = 1, .Node2 = 2, .Length = 1.5, .Width = 2, .Kind = kHorizontal});
    s.Areas.push_back(TArea{.Node1 = 3, .Node2 = 1, .Length = 4, .Width = 1.2, .Kind = kStairsDown});
    s.Areas.push_back(TArea{.Node1 = 2, .Node2 = 3, .Length = 2, .Width = 1, .Kind = kDoorway});
    s.Areas.push_back(TArea{.Node1 = 3, .Node2 = 3, .Length = 2, .Width = 1, .Kind = kRampUp});
    s.ExitTimes = {0};

    const std::string total = P(R"(Определим общее расчетное время эвакуации\par\par)", R"(ql\ul)", "fs26") +
                              P(R"(t{\sub p} = 0 мин. \par\par)", "qc", "fs24") +
                              P("Итак, общее расчетное время эвакуации равно 0 мин. (или 0 сек.)", R"(ql\ul)", "fs26");
    EXPECT_EQ(Full(s), RtfDocumentStart() + total + "}");
    s.ExitTimes.clear();
    EXPECT_EQ(Full(s), RtfDocumentStart() + total + "}");

    const std::string expected =
        RtfDocumentStart() + Empty() + Empty() + P(R"(Сводная таблица по потокам:\par)", "ql", "fs24") + Empty() +
        RtfTableRow(R"({\pard\intbl\qc\fs20\b № потока\cell Количество людей\cell Средняя площадь горизонтальной проекции человека, м{\super 2}\cell Длина, м\cell Время)" +
                        kNb + R"(, мин. \cell})",
                    5, 30) +
        Empty() + Empty() + Empty() + P(R"(Сводная таблица по участкам:\par)", "ql", "fs24") + Empty() +
        RtfTableRow(R"({\pard\intbl\qc\fs20\b № участка\cell Количество людей\cell Тип участка\cell Длина, м.\cell Ширина , м.\cell})",
                    5, 30) +
        // Both ends inputs: the people of the second end.
        RtfTableRow(R"({\pard\intbl\qc\fs20 A-2\cell 9\cell Горизонтальный)" + kNb + R"(путь\cell 1,5\cell 2\cell})", 5, 10) +
        RtfTableRow(R"({\pard\intbl\qc\fs20 J-A\cell 7\cell Лестница)" + kNb + R"(вниз\cell 4\cell 1,2\cell})", 5, 10) +
        RtfTableRow(R"({\pard\intbl\qc\fs20 2-J\cell 9\cell Дверной)" + kNb + R"(проем\cell 2\cell 1\cell})", 5, 10) +
        RtfTableRow(R"({\pard\intbl\qc\fs20 J-J\cell -\cell Пандус)" + kNb + R"(вверх\cell 2\cell 1\cell})", 5, 10) +
        Empty() + P(R"(Определим общее расчетное время эвакуации\par\par)", R"(ql\ul)", "fs24") +
        P(R"(t{\sub p} = 0 мин. \par\par)", "qc", "fs24") +
        P(R"(Итак, общее расчетное время эвакуации равно {\pard\ql\b\fs24\f1 0} мин. (или 0 сек.))", R"(ql\ul)",
          "fs24") +
        "}";
    EXPECT_EQ(Summary(s), expected);
}

TEST(ReportWriterTest, TotalTimeSection)
{
    TPipeLine s = SingleFlow();
    EXPECT_NE(Full(s).find(P(R"(t{\sub p} = 0,2 мин. \par\par)", "qc", "fs24")), std::string::npos);

    s.ExitTimes = {0, 0.1, 0.25, 0.125};
    s.EvacuationTime = 0.25;
    const std::string several = P(R"(t{\sub p} = max \{0,1;0,25;0,125\} = 0,25 мин. \par\par)", "qc", "fs24");
    EXPECT_NE(Full(s).find(several), std::string::npos);
    EXPECT_NE(Summary(s).find(several), std::string::npos);

    const auto result = [&](double t) {
        s.EvacuationTime = t;
        return Between(Full(s), "Итак", "}");
    };
    EXPECT_EQ(result(0.5), "Итак, общее расчетное время эвакуации равно 0,5 мин. (или 30 сек.)");
    EXPECT_EQ(result(2.5), "Итак, общее расчетное время эвакуации равно 2,5 мин. (или 2 мин. 30 сек.)");
    // 1.15 is stored slightly below itself: 8.999… seconds print as 8.
    EXPECT_EQ(result(1.15), "Итак, общее расчетное время эвакуации равно 1,15 мин. (или 1 мин. 8 сек.)");
    EXPECT_EQ(result(1), "Итак, общее расчетное время эвакуации равно 1 мин. (или 1 мин. 0 сек.)");

    s.EvacuationTime = 2.5;
    EXPECT_NE(Summary(s).find(P(R"(Итак, общее расчетное время эвакуации равно {\pard\ql\b\fs24\f1 2,5} мин. (или 2 мин. 30 сек.))",
                                R"(ql\ul)", "fs24")),
              std::string::npos);
}

TEST(ReportWriterTest, LabelsCannotBreakTheDocument)
{
    TPipeLine s = SingleFlow();
    s.Nodes[1].Name = R"(a{b})";
    s.Nodes[2].Name = R"(c\d中)";

    const std::string label = R"(a\{b\}-c\\d\u20013\'3f)";
    const std::string full = Full(s);
    EXPECT_NE(full.find(P("Участок " + label + R"(\par)", R"(ql\ul)", "fs26")), std::string::npos);
    EXPECT_TRUE(Balanced(full));
    const std::string summary = Summary(s);
    EXPECT_NE(summary.find(R"({\pard\intbl\qc\fs20 )" + label + R"(\cell Горизонтальный)"), std::string::npos);
    EXPECT_NE(summary.find(R"({\pard\intbl\qc\fs20 )" + label + R"(\cell 60\cell)"), std::string::npos);
    EXPECT_TRUE(Balanced(summary));
}

// The shown result of every equation field is the rendering of its formula,
// over full reports with merges, delays, mobility groups and labels holding
// braces, backslashes and characters outside Windows-1251.
TEST(ReportWriterTest, EquationResultsRenderTheirFormulas)
{
    const std::string fieldStart = R"(\insrsid1 EQ )";
    const std::string resultStart = R"(}{\insrsid1}}{\fldrslt{\)";
    int fields = 0;
    const auto check = [&](const std::string& doc) {
        for (std::size_t at = doc.find(fieldStart); at != std::string::npos; at = doc.find(fieldStart, at + 1)) {
            const std::size_t formulaStart = at + fieldStart.size();
            const std::size_t formulaEnd = doc.find(resultStart, formulaStart);
            ASSERT_NE(formulaEnd, std::string::npos);
            const std::size_t shown = doc.find(' ', formulaEnd + resultStart.size()) + 1;
            const std::size_t shownEnd = doc.find("}}}" + RtfEmptyParagraph(), shown);
            ASSERT_NE(shownEnd, std::string::npos);
            const std::string formula = doc.substr(formulaStart, formulaEnd - formulaStart);
            ASSERT_EQ(doc.substr(shown, shownEnd - shown), EquationText(formula)) << formula;
            ++fields;
        }
    };
    // Every kind of part, with blanks at the ends of the arguments.
    ReportBlock b;
    b.Reset(BlockKind::Equation).Text("t = ").Begin(TokenKind::Fraction).Text("  N ").Dot().Text(" f  ").Bar();
    b.Begin(TokenKind::Fraction).Greek(kDeltaLetter, 20).Bar().Text(" 2 ").End().Text(" ").End();
    b.Begin(TokenKind::Sum).Text(" q").Part(TokenKind::Lowered, "i ").Text("  ").End().Text(" + x");
    b.Part(TokenKind::Raised, " 2 ").Part(TokenKind::Sub, "н{э}").Text(" ;(").Part(TokenKind::Super, "\\").Text(")");
    std::ostringstream handmade;
    RtfReportWriter writer(handmade);
    writer.Add(b);
    writer.Finish();
    check(handmade.str());
    for (unsigned seed = 1; seed <= 6; ++seed) {
        TPipeLine s = test::RandomTree(seed, 12, 8, seed % 2 ? 9 : 0);
        s.RazVr = seed % 3 == 0;
        s.VrSk = true;
        s.Nodes[2].Name = R"(a{b} \c 中)";
        if (!ValidateScheme(s).empty()) continue;
        Calculate(s, ',');
        check(FullBytes(s));
    }
    EXPECT_GT(fields, 200);
}

// The full report sets each shape of step once and puts every step's
// numbers and labels into it: byte for byte the document its blocks make,
// over merges, delays, mobility groups, either separator, and labels that
// could run into the text around them or look like the writer's markers.
TEST(ReportWriterTest, StepsSetByShapeAreTheirBlocks)
{
    const std::vector<std::string> labels = {"",     " 5",           "5 ",           "Вход 1", R"(a{b}\)", "\xD0",
                                             "\x90x", "\xEE\x80\x80", "\xEE\x80\x81", "中",     "\xF0\x9D\x84\x9E"};
    int compared = 0;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        TPipeLine s = test::RandomTree(seed, 15, 10, seed % 2 ? 9 : 0);
        s.RazVr = seed % 3 == 0;
        s.VrSk = seed % 4 != 1;
        if (!ValidateScheme(s).empty()) continue;
        for (std::size_t n = 1; n < s.Nodes.size(); ++n) {
            if (n % 3 == seed % 3) s.Nodes[n].Name = labels[(n + seed) % labels.size()];
        }
        const char separator = seed % 2 ? ',' : '.';
        Calculate(s, separator);
        std::ostringstream blocks;
        RtfReportWriter writer(blocks);
        ComposeFullReport(s, separator, writer);
        writer.Finish();
        ASSERT_EQ(FullBytes(s, separator), blocks.str()) << "seed " << seed;
        ++compared;
    }
    EXPECT_GE(compared, 6);
}

// Steps recorded and set by shape are the blocks they stand for, where a
// value would be set differently alone than amid its text (with a blank the
// equation's shown result drops, empty, or half a character the next value
// completes) and where a fixed text holds the character marking values,
// after earlier steps of the same shape were set from the template.
TEST(ReportWriterTest, StepsWithValuesBoundToTheirTextAreSetAsBlocks)
{
    const std::string marker = "\xEE\x80\x80";
    const auto fraction = [](auto& out, std::string_view a, std::string_view b) {
        out.Equation().Text("x = ").Begin(TokenKind::Fraction).Value(a).Value(b).Bar().Text("2").End();
    };
    const auto marked = [&](auto& out, std::string_view a, std::string_view) {
        out.Paragraph(Align::Left, 24).Text(marker + " = ").Value(a);
    };
    const std::vector<std::pair<std::string, std::string>> values = {
        {marker, ""}, {"6", ""}, {"5", "1"}, {" 5", "1"}, {"5", "1 "}, {"", "1"}, {"\xD0", "\x90"}, {"5", "1"}};
    RtfStepTemplates templates;
    for (const auto& [a, b] : values) {
        const auto check = [&](const auto& compose) {
            BlockRecorder step;
            compose(step, a, b);
            std::string recorded;
            templates.Append(recorded, step);

            std::string expected;
            RtfBlockSetter setter(expected);
            BlockStream blocks(setter);
            compose(blocks, a, b);
            blocks.Flush();
            ASSERT_EQ(recorded, expected) << "values \"" << a << "\", \"" << b << "\"";
        };
        check(fraction);
        check(marked);
    }
}

TEST(ReportWriterTest, WritesFileOrReportsFailure)
{
    const TPipeLine s = MergedFlows(true);
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "stelmar-report-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "report.rtf").string();
    const auto read = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };

    TPipeLine options = s;
    options.FullReport = true;
    EXPECT_EQ(WriteReport(options, path, ','), std::nullopt);
    EXPECT_EQ(read(), FullBytes(s));
    std::ostringstream built;
    BuildReport(options, ',', built);
    EXPECT_EQ(built.str(), FullBytes(s));
    options.FullReport = false;
    EXPECT_EQ(WriteReport(options, path, ','), std::nullopt);
    EXPECT_EQ(read(), SummaryBytes(s));
    built.str("");
    BuildReport(options, ',', built);
    EXPECT_EQ(built.str(), SummaryBytes(s));

    const std::string missing = (dir / "missing" / "report.rtf").string();
    options.FullReport = true;
    const std::optional<std::string> error = WriteReport(options, missing, ',');
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->starts_with("Не удалось записать отчет в файл \"" + missing + "\": ")) << *error;
    options.FullReport = false;
    EXPECT_TRUE(WriteReport(options, missing, ',').has_value());
    EXPECT_FALSE(std::filesystem::exists(missing));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace stelmar
