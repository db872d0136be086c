#pragma once

// Building blocks of the RTF report. Every function returns a fragment of
// ASCII markup with its arguments inserted unchanged, so they may carry RTF
// themselves and the fragment is in their code page.
// Formatting arguments are bare control words without the leading backslash
// ("qc", "ql\ul", "f1", "fs24").

#include <string>
#include <string_view>

namespace stelmar {

// The fixed document start; the document group stays open until
// RtfDocumentEnd.
std::string RtfDocumentStart();

// "{\pard\<alignment>\<size>\<font> <text>}": ends no paragraph by itself.
std::string RtfParagraph(std::string_view text, std::string_view alignment, std::string_view font,
                         std::string_view size);

// A paragraph holding an EQ field with `formula` as its instruction and a
// plain rendering of the formula as its result, for readers that show the
// stored result instead of evaluating the field.
std::string RtfEquation(std::string_view formula, std::string_view alignment, std::string_view font,
                        std::string_view size);
// The same paragraph appended to `out`.
void AppendRtfEquation(std::string& out, std::string_view formula, std::string_view alignment,
                       std::string_view font, std::string_view size);
// The same paragraph in two parts around the field's result, for a writer
// that renders the result itself.
void AppendRtfEquationField(std::string& out, std::string_view formula, std::string_view alignment,
                            std::string_view font, std::string_view size);
void AppendRtfEquationEnd(std::string& out);

// A HYPERLINK field to a bookmark of the same document.
std::string RtfHyperlink(std::string_view text, std::string_view bookmark, std::string_view alignment,
                         std::string_view font, std::string_view size);

std::string RtfEmptyParagraph();

// A complete table row of n cells of equal width (n below 1 counts as 1)
// framed by lines w twips wide. `cells` is the group holding the cell
// paragraphs: "{\pard\intbl ... first\cell ... last\cell}".
std::string RtfTableRow(std::string_view cells, int n, int w);

// The start of such a row, "{\trowd" with the row and cell definitions; the
// caller appends the cell group and kRtfRowEnd. For long tables.
const std::string& RtfTableRowStart(int n, int w);
inline constexpr std::string_view kRtfRowEnd = "\\row}";

std::string RtfDocumentEnd();

}  // namespace stelmar
