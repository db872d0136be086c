#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "calc/EquationText.h"
#include "calc/RtfFragments.h"

namespace stelmar {
namespace {

std::vector<int> CellEdges(const std::string& row)
{
    std::vector<int> edges;
    const std::regex cellx(R"(\\cellx(\d+))");
    for (auto it = std::sregex_iterator(row.begin(), row.end(), cellx); it != std::sregex_iterator(); ++it)
        edges.push_back(std::stoi((*it)[1]));
    return edges;
}

TEST(RtfFragmentsTest, ParagraphHyperlinkAndEmptyParagraph)
{
    EXPECT_EQ(RtfParagraph("", "ql", "f1", "fs24"), R"({\pard\ql\fs24\f1 })");
    EXPECT_EQ(RtfParagraph(R"(Поток №1\par)", "qc", "f1", "fs30"), R"({\pard\qc\fs30\f1 Поток №1\par})");
    // Text is inserted unchanged, RTF syntax included.
    EXPECT_EQ(RtfParagraph(R"(a{\b}\\)", R"(ql\ul)", "f84", "fs25"), R"({\pard\ql\ul\fs25\f84 a{\b}\\})");
    EXPECT_EQ(RtfHyperlink("3", "p3", R"(ql\b\ul)", "f1", "fs20"),
              R"({\field{\*\fldinst { HYPERLINK  \\l "p3" }}{\fldrslt {\cs15\fs20\ql\b\ul\f1 3}}})");
    EXPECT_EQ(RtfEmptyParagraph(), R"({\lang1\langfe1\langnp1\insrsid1 \par})");
    EXPECT_EQ(RtfDocumentEnd(), "}");
}

TEST(RtfFragmentsTest, EquationCarriesRenderedResult)
{
    EXPECT_EQ(RtfEquation("v = 70 м/мин", "qc", "f1", "fs20"),
              R"({\pard\qc{\field{\*\fldinst{\insrsid1}{\fs20\f1\insrsid1 EQ v = 70 м/мин}{\insrsid1}})"
              R"({\fldrslt{\fs20\f1 v = 70 м/мин}}}{\lang1\langfe1\langnp1\insrsid1 \par}})");
    EXPECT_EQ(RtfEquation(R"(\\f(l;v))", "ql", "f1", "fs24"),
              R"({\pard\ql{\field{\*\fldinst{\insrsid1}{\fs24\f1\insrsid1 EQ \\f(l;v)}{\insrsid1}})"
              R"({\fldrslt{\fs24\f1 (l)/(v)}}}{\lang1\langfe1\langnp1\insrsid1 \par}})");
}

TEST(RtfFragmentsTest, TableRowWrapsCellsInCompleteRow)
{
    const std::string cells = R"({\pard\intbl\qc\fs20 a\cell})";
    EXPECT_EQ(RtfTableRow(cells, 1, 10),
              R"({\trowd\trbrdrt\brdrs\brdrw10\trautofit1\trpaddl1\trpaddr1\trpaddf1\trpaddfr3)"
              R"(\clvertalt\clbrdrt\brdrs\brdrw10\clbrdrl\brdrs\brdrw10\clbrdrb\brdrs\brdrw10\clbrdrr\brdrs\brdrw10)"
              R"(\cellx10000{\pard\intbl\qc\fs20 a\cell}\row})");

    EXPECT_EQ(CellEdges(RtfTableRow("", 5, 30)), (std::vector<int>{2000, 4000, 6000, 8000, 10000}));
    EXPECT_EQ(CellEdges(RtfTableRow("", 7, 10)), (std::vector<int>{1429, 2858, 4287, 5716, 7145, 8574, 10003}));
    // 10000 / 32 = 312.5 goes to the even neighbour.
    EXPECT_EQ(CellEdges(RtfTableRow("", 32, 10)).front(), 312);
    // No cells asked for: one full-width cell instead of a division by zero.
    EXPECT_EQ(RtfTableRow(cells, 0, 10), RtfTableRow(cells, 1, 10));
    EXPECT_EQ(RtfTableRow(cells, -4, 10), RtfTableRow(cells, 1, 10));

    const std::string wide = RtfTableRow("", 5, 30);
    EXPECT_NE(wide.find(R"(\trbrdrt\brdrs\brdrw30\trautofit1)"), std::string::npos);
    EXPECT_NE(wide.find(R"(\clbrdrr\brdrs\brdrw30\cellx2000)"), std::string::npos);
}

TEST(RtfFragmentsTest, DocumentStartIsOneOpenGroup)
{
    const std::string start = RtfDocumentStart();
    EXPECT_TRUE(start.starts_with(
        R"({\rtf1\ansi\ansicpg1251\uc1\deff0\stshfdbch37\stshfloch37\stshfhich37\stshfbi37\deflang1049\deflangfe1049{\fonttbl{\f0\froman\fcharset204\fprq2{\*\panose 02020603050405020304}Times New Roman;})"));
    EXPECT_TRUE(start.ends_with(
        R"({\*\pnseclvl9\pnlcrm\pnstart1\pnindent720\pnhang {\pntxtb (}{\pntxta )}}\pard\plain \ql \li0\ri0\nowidctlpar\faauto\rin0\lin0\itap0\fs24\lang1049\langfe1049\cgrid\langnp1049\langfenp1049)"));
    for (const char* part : {
             R"({\f84\froman\fcharset161\fprq2 Times New Roman Greek;})",
             R"({\colortbl;\red0\green0\blue0;\red0\green0\blue255;)",
             R"(\red192\green192\blue192;})",
             R"({\*\cs10 \additive \ssemihidden Default Paragraph Font;})",
             R"({\info{\author Stelmar}{\operator Stelmar}{\creatim\yr2007\mo7\dy10\hr19\min34})",
             R"({\*\company Stelmar}{\nofcharsws12}{\vern16437}})",
             R"(\margl1701\margr850\margt1134\margb1134\widowctrl)",
             R"(\sectdefaultcl\sftnbj {\*\pnseclvl1\pnucrm)",
         })
        EXPECT_NE(start.find(part), std::string::npos) << part;
    EXPECT_EQ(start.find('\n'), std::string::npos);
    int depth = 0;
    for (char c : start) depth += c == '{' ? 1 : c == '}' ? -1 : 0;
    EXPECT_EQ(depth, 1);
}

TEST(RtfFragmentsTest, EquationTextRendersEachConstruct)
{
    EXPECT_EQ(EquationText(R"(\\f(l;v))"), "(l)/(v)");
    EXPECT_EQ(EquationText(R"(\\f(1;\\f(a;b)))"), "(1)/((a)/(b))");
    EXPECT_EQ(EquationText(R"(\\f(1;(0,5\'b72)(1\'b73)))"), R"((1)/((0,5\'b72)(1\'b73)))");
    EXPECT_EQ(EquationText(R"(м\\s\\up3(2)/м\\s\\up3(2))"), R"(м{\super 2}/м{\super 2})");
    EXPECT_EQ(EquationText(R"(q\\s\\do3(i-1))"), R"(q{\sub i-1})");
    EXPECT_EQ(EquationText(R"(\\i\\su(;;x))"), R"(\u931\'3f x)");
    EXPECT_EQ(EquationText(R"({\pard\ql\fs25\f84 \u948\'3f} = 2)"), R"(\u948\'3f = 2)");
    // Everything else is left as it is.
    for (const char* same : {R"(q{\sub max} \'b7 \u948\'3f)", "( a ) ;", "v = 70 м/мин", ""})
        EXPECT_EQ(EquationText(same), same);
    // An unclosed construct stays as written.
    EXPECT_EQ(EquationText(R"(\\f(a;b)"), R"(\\f(a;b)");

    const std::string delta = R"({\pard\ql\fs20\f84 \u948\'3f})";
    EXPECT_EQ(EquationText(R"(q = \\f(\\i\\su(;;q\\s\\do3(i-1) \'b7 )" + delta + R"(\\s\\do3(i-1)); )" + delta +
                           R"(\\s\\do3(i)) = \\f((1\'b72)+(3\'b74);5) = 2 м/мин)"),
              R"(q = (\u931\'3f q{\sub i-1} \'b7 \u948\'3f{\sub i-1})/(\u948\'3f{\sub i}) = ((1\'b72)+(3\'b74))/(5) = 2 м/мин)");
    EXPECT_EQ(EquationText(R"(D = \\f(N \'b7 f;l \'b7 {\pard\ql\fs25\f84 \u948\'3f}) = \\f(60 \'b7 0,1;20\'b72) = 0,15 м\\s\\up3(2)/м\\s\\up3(2))"),
              R"(D = (N \'b7 f)/(l \'b7 \u948\'3f) = (60 \'b7 0,1)/(20\'b72) = 0,15 м{\super 2}/м{\super 2})");
}

}  // namespace
}  // namespace stelmar
