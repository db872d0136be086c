#include "calc/RtfFragments.h"

#include <map>
#include <utility>

#include "calc/EquationText.h"

namespace stelmar {

namespace {

constexpr std::string_view kPrologue =
    R"(\rtf1\ansi\ansicpg1251\uc1\deff0\stshfdbch37\stshfloch37\stshfhich37\stshfbi37\deflang1049\deflangfe1049)";

constexpr std::string_view kFontTable =
    R"({\fonttbl)"
    R"({\f0\froman\fcharset204\fprq2{\*\panose 02020603050405020304}Times New Roman;})"
    R"({\f37\froman\fcharset204\fprq2{\*\panose 00000000000000000000};})"
    R"({\f83\froman\fcharset0\fprq2 Times New Roman;})"
    R"({\f81\froman\fcharset238\fprq2 Times New Roman CE;})"
    R"({\f84\froman\fcharset161\fprq2 Times New Roman Greek;})"
    R"({\f85\froman\fcharset162\fprq2 Times New Roman Tur;})"
    R"({\f86\froman\fcharset177\fprq2 Times New Roman (Hebrew);})"
    R"({\f87\froman\fcharset178\fprq2 Times New Roman (Arabic);})"
    R"({\f88\froman\fcharset186\fprq2 Times New Roman Baltic;})"
    R"({\f89\froman\fcharset163\fprq2 Times New Roman (Vietnamese);})"
    R"(})";

constexpr std::string_view kColorTable =
    R"({\colortbl;)"
    R"(\red0\green0\blue0;\red0\green0\blue255;\red0\green255\blue255;\red0\green255\blue0;)"
    R"(\red255\green0\blue255;\red255\green0\blue0;\red255\green255\blue0;\red255\green255\blue255;)"
    R"(\red0\green0\blue128;\red0\green128\blue128;\red0\green128\blue0;\red128\green0\blue128;)"
    R"(\red128\green0\blue0;\red128\green128\blue0;\red128\green128\blue128;\red192\green192\blue192;)"
    R"(})";

constexpr std::string_view kStyleSheet =
    R"({\stylesheet)"
    R"({\ql \li0\ri0\widctlpar\aspalpha\aspnum\faauto\adjustright\rin0\lin0\itap0 )"
    R"(\fs24\lang1049\langfe1049\cgrid\langnp1049\langfenp1049 \snext0 Normal;})"
    R"({\*\cs10 \additive \ssemihidden Default Paragraph Font;})"
    R"({\*\ts11\tsrowd\trftsWidthB3\trpaddl108\trpaddr108\trpaddfl3\trpaddft3\trpaddfb3\trpaddfr3)"
    R"(\trcbpat1\trcfpat1\tscellwidthfts0\tsvertalt\tsbrdrt\tsbrdrl\tsbrdrb\tsbrdrr\tsbrdrdgl\tsbrdrdgr)"
    R"(\tsbrdrh\tsbrdrv\ql \li0\ri0\widctlpar\aspalpha\aspnum\faauto\adjustright\rin0\lin0\itap0 )"
    R"(\fs20\lang1024\langfe1024\cgrid\langnp1024\langfenp1024 \snext11 \ssemihidden Normal Table;})"
    R"(})";

constexpr std::string_view kRevisionAndGenerator =
    R"({\*\rsidtbl \rsid1\rsid15864250}{\*\generator Microsoft Word 10.0.2627;})";

constexpr std::string_view kInfo =
    R"({\info{\author Stelmar}{\operator Stelmar})"
    R"({\creatim\yr2007\mo7\dy10\hr19\min34}{\revtim\yr2007\mo7\dy10\hr19\min34})"
    R"({\version2}{\edmins0}{\nofpages1}{\nofwords1}{\nofchars12}{\*\company Stelmar})"
    R"({\nofcharsws12}{\vern16437}})";

constexpr std::string_view kDocumentFormat =
    R"(\margl1701\margr850\margt1134\margb1134)"
    R"(\widowctrl\ftnbj\aenddoc\noxlattoyen\expshrtn\noultrlspc\dntblnsbdb\nospaceforul\hyphcaps0)"
    R"(\horzdoc\dghspace120\dgvspace120\dghorigin1701\dgvorigin1984\dghshow0\dgvshow3\jcompress)"
    R"(\viewkind1\viewscale100\nolnhtadjtbl\rsidroot15864250 \fet0\sectd\linex0\sectdefaultcl\sftnbj )";

constexpr std::string_view kOutlineLevels =
    R"({\*\pnseclvl1\pnucrm\pnstart1\pnindent720\pnhang {\pntxta .}})"
    R"({\*\pnseclvl2\pnucltr\pnstart1\pnindent720\pnhang {\pntxta .}})"
    R"({\*\pnseclvl3\pndec\pnstart1\pnindent720\pnhang {\pntxta .}})"
    R"({\*\pnseclvl4\pnlcltr\pnstart1\pnindent720\pnhang {\pntxta )}})"
    R"({\*\pnseclvl5\pndec\pnstart1\pnindent720\pnhang {\pntxtb (}{\pntxta )}})"
    R"({\*\pnseclvl6\pnlcltr\pnstart1\pnindent720\pnhang {\pntxtb (}{\pntxta )}})"
    R"({\*\pnseclvl7\pnlcrm\pnstart1\pnindent720\pnhang {\pntxtb (}{\pntxta )}})"
    R"({\*\pnseclvl8\pnlcltr\pnstart1\pnindent720\pnhang {\pntxtb (}{\pntxta )}})"
    R"({\*\pnseclvl9\pnlcrm\pnstart1\pnindent720\pnhang {\pntxtb (}{\pntxta )}})";

constexpr std::string_view kDefaultParagraph =
    R"(\pard\plain \ql \li0\ri0\nowidctlpar\faauto\rin0\lin0\itap0\fs24\lang1049\langfe1049\cgrid\langnp1049\langfenp1049)";

// 10000 / n to the nearest integer, ties to even.
int CellStep(int n)
{
    const int quotient = 10000 / n;
    const int twiceRemainder = 2 * (10000 % n);
    if (twiceRemainder > n || (twiceRemainder == n && quotient % 2 != 0)) return quotient + 1;
    return quotient;
}

}  // namespace

std::string RtfDocumentStart()
{
    std::string out = "{";
    for (std::string_view part : {kPrologue, kFontTable, kColorTable, kStyleSheet, kRevisionAndGenerator, kInfo,
                                  kDocumentFormat, kOutlineLevels, kDefaultParagraph})
        out += part;
    return out;
}

std::string RtfParagraph(std::string_view text, std::string_view alignment, std::string_view font,
                         std::string_view size)
{
    std::string out;
    out.reserve(text.size() + alignment.size() + font.size() + size.size() + 12);
    out.append("{\\pard\\").append(alignment).append("\\").append(size).append("\\").append(font);
    out.append(" ").append(text).append("}");
    return out;
}

std::string RtfEquation(std::string_view formula, std::string_view alignment, std::string_view font,
                        std::string_view size)
{
    std::string out;
    AppendRtfEquation(out, formula, alignment, font, size);
    return out;
}

void AppendRtfEquation(std::string& out, std::string_view formula, std::string_view alignment,
                       std::string_view font, std::string_view size)
{
    AppendRtfEquationField(out, formula, alignment, font, size);
    AppendEquationText(out, formula);
    AppendRtfEquationEnd(out);
}

void AppendRtfEquationField(std::string& out, std::string_view formula, std::string_view alignment,
                            std::string_view font, std::string_view size)
{
    out.append("{\\pard\\").append(alignment).append(R"({\field{\*\fldinst{\insrsid1}{\)");
    out.append(size).append("\\").append(font).append(R"(\insrsid1 EQ )").append(formula);
    out.append(R"(}{\insrsid1}}{\fldrslt{\)").append(size).append("\\").append(font).append(" ");
}

void AppendRtfEquationEnd(std::string& out) { out.append("}}}").append(RtfEmptyParagraph()).append("}"); }

std::string RtfHyperlink(std::string_view text, std::string_view bookmark, std::string_view alignment,
                         std::string_view font, std::string_view size)
{
    std::string out = R"({\field{\*\fldinst { HYPERLINK  \\l ")";
    out.append(bookmark).append(R"(" }}{\fldrslt {\cs15\)").append(size).append("\\").append(alignment);
    out.append("\\").append(font).append(" ").append(text).append("}}}");
    return out;
}

std::string RtfEmptyParagraph() { return R"({\lang1\langfe1\langnp1\insrsid1 \par})"; }

// A report writes thousands of rows of a few shapes, so each shape is
// built once.
const std::string& RtfTableRowStart(int n, int w)
{
    if (n < 1) n = 1;
    thread_local std::map<std::pair<int, int>, std::string> cache;
    std::string& out = cache[{n, w}];
    if (!out.empty()) return out;
    const std::string width = std::to_string(w);
    const int step = CellStep(n);
    out = R"({\trowd\trbrdrt\brdrs\brdrw)";
    out.append(width).append(R"(\trautofit1\trpaddl1\trpaddr1\trpaddf1\trpaddfr3)");
    for (int i = 1; i <= n; ++i) {
        out.append(R"(\clvertalt\clbrdrt\brdrs\brdrw)").append(width);
        out.append(R"(\clbrdrl\brdrs\brdrw)").append(width);
        out.append(R"(\clbrdrb\brdrs\brdrw)").append(width);
        out.append(R"(\clbrdrr\brdrs\brdrw)").append(width);
        out.append(R"(\cellx)").append(std::to_string(i * step));
    }
    return out;
}

std::string RtfTableRow(std::string_view cells, int n, int w)
{
    std::string out = RtfTableRowStart(n, w);
    out.append(cells).append(kRtfRowEnd);
    return out;
}

std::string RtfDocumentEnd() { return "}"; }

}  // namespace stelmar
