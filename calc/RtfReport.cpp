#include "calc/RtfReport.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <utility>
#include <vector>

#include "calc/RtfFragments.h"
#include "calc/RtfStepTemplates.h"
#include "model/TextCodec.h"

namespace stelmar {

namespace {

std::string_view AlignmentWord(Align a)
{
    switch (a) {
    case Align::Center: return "qc";
    case Align::Right: return "qr";
    default: return "ql";
    }
}

// A whole number in decimal, without a string of its own.
void AppendNumber(std::string& out, std::uint32_t n)
{
    char digits[10];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out.append(digits, end);
}

void AppendSize(std::string& out, int size)
{
    out.append("\\fs");
    AppendNumber(out, static_cast<std::uint32_t>(size));
}

// The first character of UTF-8 `text` as a code point.
std::uint32_t FirstCodePoint(std::string_view text)
{
    if (text.empty()) return '?';
    const auto b = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    if (b(0) < 0x80) return b(0);
    if ((b(0) & 0xE0) == 0xC0 && text.size() >= 2) return ((b(0) & 0x1Fu) << 6) | (b(1) & 0x3Fu);
    if ((b(0) & 0xF0) == 0xE0 && text.size() >= 3)
        return ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
    return '?';
}

// A Greek letter in its own paragraph group in the Greek font f84.
void AppendGreek(std::string& out, std::string_view letter, int size)
{
    out.append("{\\pard\\ql");
    AppendSize(out, size);
    out.append("\\f84 \\u");
    AppendNumber(out, FirstCodePoint(letter));
    out.append("\\'3f}");
}

// Where each token's markup lies in the output, by token.
using TokenPieces = std::vector<std::pair<std::size_t, std::size_t>>;

void AppendContent(std::string& out, const ReportBlock& block, TokenPieces* pieces = nullptr)
{
    if (pieces) pieces->resize(block.Tokens.size());
    // What each open part writes when its End arrives.
    std::array<std::string_view, 32> closers{};
    std::size_t depth = 0;
    const auto open = [&](std::string_view opener, std::string_view closer) {
        out.append(opener);
        if (depth < closers.size()) closers[depth] = closer;
        ++depth;
    };
    for (std::size_t i = 0; i < block.Tokens.size(); ++i) {
        const ReportToken& t = block.Tokens[i];
        const std::string_view text = block.TextOf(t);
        if (pieces) (*pieces)[i].first = out.size();
        switch (t.Kind) {
        case TokenKind::Text: AppendRtfText(out, text); break;
        case TokenKind::Dot: out.append(R"(\'b7)"); break;
        case TokenKind::Greek: AppendGreek(out, text, t.Size); break;
        case TokenKind::Bookmark:
            out.append(R"({\*\bkmkstart )");
            AppendCp1251Rtf(out, text);
            out.append("}");
            break;
        case TokenKind::CellEnd: out.append(R"(\cell )"); break;
        case TokenKind::Sub: open(R"({\sub )", "}"); break;
        case TokenKind::Super: open(R"({\super )", "}"); break;
        case TokenKind::Lowered: open(R"(\\s\\do3()", ")"); break;
        case TokenKind::Raised: open(R"(\\s\\up3()", ")"); break;
        case TokenKind::Fraction: open(R"(\\f()", ")"); break;
        case TokenKind::FractionBar: out += ';'; break;
        case TokenKind::Sum: open(R"(\\i\\su(;;)", ")"); break;
        case TokenKind::Strong:
            out.append("{\\pard\\ql\\b");
            AppendSize(out, t.Size);
            open("\\f1 ", "}");
            break;
        case TokenKind::Link:
            out.append(R"({\field{\*\fldinst { HYPERLINK  \\l ")");
            AppendCp1251Rtf(out, text);
            out.append(R"(" }}{\fldrslt {\cs15)");
            AppendSize(out, t.Size);
            open(R"(\ql\b\ul\f1 )", "}}}");
            break;
        case TokenKind::End:
            if (depth > 0 && --depth < closers.size()) out.append(closers[depth]);
            break;
        }
        if (pieces) (*pieces)[i].second = out.size();
    }
}

// The plain rendering of an equation block, the field's result: what the
// EQ formula of the block renders to (EquationText), made from the tokens
// and the pieces of `formula` they wrote instead of parsing the formula
// again. Fractions become "(a)/(b)", the sum "Σ" with its operand, raised
// and lowered parts superscripts and subscripts, Greek letters leave their
// paragraph group; the arguments of fractions and sums lose the blanks at
// their ends, as in the formula. Everything else is copied as written.
void AppendPlainContent(std::string& out, const ReportBlock& block, std::string_view formula,
                        const TokenPieces& pieces)
{
    std::array<TokenKind, 32> open{};
    std::size_t depth = 0;
    bool argumentStart = false;                // blanks at the start of the next text are dropped
    std::size_t trailing = std::string::npos;  // where the blanks ending the last text start
    const auto innermost = [&] { return depth > 0 && depth <= open.size() ? open[depth - 1] : TokenKind::End; };
    const auto endArgument = [&] {
        if (trailing != std::string::npos) out.resize(trailing);
    };
    for (std::size_t i = 0; i < block.Tokens.size(); ++i) {
        const ReportToken& t = block.Tokens[i];
        std::string_view written = formula.substr(pieces[i].first, pieces[i].second - pieces[i].first);
        if (t.Kind == TokenKind::Text) {
            // Blanks are ASCII, the same in the converted text.
            if (argumentStart) written.remove_prefix(std::min(written.find_first_not_of(' '), written.size()));
            if (written.empty()) continue;
            argumentStart = false;
            out.append(written);
            const std::size_t kept = written.find_last_not_of(' ');
            const std::size_t blanks = kept == std::string_view::npos ? written.size() : written.size() - 1 - kept;
            trailing = blanks > 0 ? out.size() - blanks : std::string::npos;
            continue;
        }
        const bool bar = t.Kind == TokenKind::FractionBar && innermost() == TokenKind::Fraction;
        const TokenKind closed = t.Kind == TokenKind::End ? innermost() : TokenKind::End;
        if (bar || closed == TokenKind::Fraction || closed == TokenKind::Sum) endArgument();
        argumentStart = false;
        trailing = std::string::npos;
        if (t.Kind == TokenKind::End && depth > 0) --depth;
        if (t.Kind >= TokenKind::Sub && t.Kind < TokenKind::End && t.Kind != TokenKind::FractionBar) {
            if (depth < open.size()) open[depth] = t.Kind;
            ++depth;
        }
        if (bar) {
            out.append(")/(");
            argumentStart = true;
        } else if (t.Kind == TokenKind::Greek) {
            out.append("\\u");
            AppendNumber(out, FirstCodePoint(block.TextOf(t)));
            out.append("\\'3f");
        } else if (t.Kind == TokenKind::Lowered) {
            out.append(R"({\sub )");
        } else if (t.Kind == TokenKind::Raised) {
            out.append(R"({\super )");
        } else if (t.Kind == TokenKind::Fraction) {
            out += '(';
            argumentStart = true;
        } else if (t.Kind == TokenKind::Sum) {
            out.append(R"(\u931\'3f )");
            argumentStart = true;
        } else if (closed == TokenKind::Fraction) {
            out += ')';
        } else if (closed == TokenKind::Lowered || closed == TokenKind::Raised) {
            out += '}';
        } else if (closed != TokenKind::Sum) {
            out.append(written);
        }
    }
}

void AppendBreaks(std::string& out, int breaks)
{
    for (int i = 0; i < breaks; ++i) out.append("\\par");
}

void AppendParagraph(std::string& out, const ReportBlock& b)
{
    if (b.Loose) {
        AppendContent(out, b);
        AppendBreaks(out, b.Breaks);
        if (b.Shrinks) out.append("\\fs8");
        return;
    }
    std::string alignment(AlignmentWord(b.Alignment));
    if (b.Bold) alignment += "\\b";
    if (b.Underline) alignment += "\\ul";
    if (!b.Link.empty()) {
        std::string text;
        AppendContent(text, b);
        AppendBreaks(text, b.Breaks);
        out += RtfHyperlink(text, Utf8ToCp1251Rtf(b.Link), alignment, "f1", "fs" + std::to_string(b.Size));
        return;
    }
    // RtfParagraph's group, written in place: reports hold millions.
    out.append("{\\pard\\").append(alignment);
    AppendSize(out, b.Size);
    out.append("\\f1 ");
    AppendContent(out, b);
    AppendBreaks(out, b.Breaks);
    out += '}';
}

void AppendTableRow(std::string& out, const ReportBlock& b)
{
    out += RtfTableRowStart(b.Cells, b.Header ? 30 : 10);
    out.append("{\\pard\\intbl\\").append(AlignmentWord(b.Alignment));
    AppendSize(out, b.Size);
    out.append(b.Header ? "\\b " : " ");
    AppendContent(out, b);
    // The last cell closes the cells' group.
    if (out.ends_with("\\cell ")) out.back() = '}';
    out += kRtfRowEnd;
}

}  // namespace

void RtfBlockSetter::Add(const ReportBlock& block)
{
    switch (block.Kind) {
    case BlockKind::Paragraph: AppendParagraph(out_, block); break;
    case BlockKind::Equation:
        formula_.clear();
        AppendContent(formula_, block, &pieces_);
        AppendRtfEquationField(out_, formula_, AlignmentWord(block.Alignment), "f1", "fs" + std::to_string(block.Size));
        AppendPlainContent(out_, block, formula_, pieces_);
        AppendRtfEquationEnd(out_);
        break;
    case BlockKind::TableRow: AppendTableRow(out_, block); break;
    case BlockKind::EmptyLine: out_ += RtfEmptyParagraph(); break;
    }
}

RtfReportWriter::RtfReportWriter(std::ostream& out)
    : out_(out), text_(RtfDocumentStart()), templates_(std::make_unique<RtfStepTemplates>())
{
}

RtfReportWriter::~RtfReportWriter() = default;

void RtfReportWriter::Add(const ReportBlock& block)
{
    setter_.Add(block);
    WriteLarge();
}

void RtfReportWriter::Add(const BlockRecorder& step)
{
    templates_->Append(text_, step);
    WriteLarge();
}

void RtfReportWriter::Finish()
{
    text_ += RtfDocumentEnd();
    Write();
}

void RtfReportWriter::WriteLarge()
{
    constexpr std::size_t kChunk = 1 << 16;
    if (text_.size() >= kChunk) Write();
}

void RtfReportWriter::Write()
{
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
}

}  // namespace stelmar
