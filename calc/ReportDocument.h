#pragma once

// The calculation report as a document of its own, independent of the file
// format: the report is composed once as a stream of blocks, and each
// writer (RTF, PDF) receives the same blocks with the same numbers and
// texts and sets them in its own way.
//
// A block is a paragraph, an equation, a table row or an empty line. Its
// content is a flat list of tokens: text, the multiplication dot, Greek
// letters, bookmarks, and parts that a Begin token opens and the matching
// End token closes (sub- and superscripts, fractions, sums, bold text,
// links). Consecutive paragraphs without line ends share one line, as the
// RTF report sets them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace stelmar {

enum class BlockKind : std::uint8_t {
    Paragraph,
    Equation,  // on a line of its own, centred
    TableRow,
    EmptyLine,
};

enum class Align : std::uint8_t { Left, Center, Right };

enum class TokenKind : std::uint8_t {
    Text,
    Dot,       // the multiplication dot
    Greek,     // a Greek letter; `Size` is its size in half-points
    Bookmark,  // an invisible bookmark named by the text
    CellEnd,   // closes a table cell
    // Parts closed by End:
    Sub,          // lowered text inside running text (an index)
    Super,        // raised text inside running text (an exponent)
    Lowered,      // an equation's lowered part
    Raised,       // an equation's raised part
    Fraction,     // numerator, FractionBar, denominator
    FractionBar,  // separates numerator and denominator (closes nothing)
    Sum,          // Σ over the part
    Strong,       // bold text at `Size`
    Link,         // text linking to the bookmark named by the token's text; bold, underlined, at `Size`
    End,
};

struct ReportToken {
    TokenKind Kind = TokenKind::Text;
    std::uint8_t Size = 0;
    std::uint32_t Offset = 0;  // text in the block's Chars
    std::uint32_t Length = 0;
};

// Sizes are in half-points, as RTF counts them: 24 is 12 pt.
class ReportBlock {
public:
    BlockKind Kind = BlockKind::Paragraph;
    Align Alignment = Align::Left;
    std::uint8_t Size = 24;
    bool Bold = false;
    bool Underline = false;
    // Line ends after the paragraph's content: 1 ends the line, 2 also
    // leaves an empty line.
    std::uint8_t Breaks = 0;
    // A paragraph outside any group of its own, in the document's current
    // size; `Shrinks` then sets that size to 4 pt after its line ends (the
    // narrow gaps of the summary report).
    bool Loose = false;
    bool Shrinks = false;
    // The paragraph stays on one page with what follows it (where a
    // format can keep it there).
    bool KeepWithNext = false;
    // A paragraph as a whole is a link to this bookmark when not empty.
    std::string Link;
    // Table rows: the number of cells of equal width; a header row is
    // bold, framed by wider lines, and is repeated where the table runs
    // onto a new page.
    int Cells = 0;
    bool Header = false;

    std::vector<ReportToken> Tokens;
    std::string Chars;

    // Starts a new block of `kind` with default formatting and no content.
    ReportBlock& Reset(BlockKind kind);

    // Adjacent text is joined into one token.
    ReportBlock& Text(std::string_view text);
    // A text that changes from step to step of a report (a number, a label),
    // in the document the same as Text; a recorder keeps it apart from the
    // fixed texts (BlockRecorder).
    ReportBlock& Value(std::string_view text) { return Text(text); }
    ReportBlock& Dot();
    ReportBlock& Greek(std::string_view letter, std::uint8_t size);
    ReportBlock& Bookmark(std::string_view name);
    ReportBlock& CellEnd();
    ReportBlock& Begin(TokenKind kind, std::uint8_t size = 0, std::string_view name = {});
    ReportBlock& Bar();
    ReportBlock& End();
    // Begin(kind), text, End.
    ReportBlock& Part(TokenKind kind, std::string_view text);

    std::string_view TextOf(const ReportToken& t) const { return std::string_view(Chars).substr(t.Offset, t.Length); }

private:
    ReportToken& Push(TokenKind kind, std::uint8_t size, std::string_view text);
};

// Receives the blocks of a report in document order.
class ReportSink {
public:
    virtual ~ReportSink() = default;
    virtual void Add(const ReportBlock& block) = 0;
    // Called after each flow of the derivation and after each part of the
    // tables: `done` of `total` units of the report are composed.
    virtual void Progress(std::int64_t done, std::int64_t total) { (void)done, (void)total; }
};

// The letters and symbols the report sets.
inline constexpr std::string_view kDeltaLetter = "δ";
inline constexpr std::string_view kTauLetter = "τ";
inline constexpr std::string_view kNoBreakSpace = "\xC2\xA0";

}  // namespace stelmar
