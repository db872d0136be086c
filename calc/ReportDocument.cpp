#include "calc/ReportDocument.h"

namespace stelmar {

ReportBlock& ReportBlock::Reset(BlockKind kind)
{
    Kind = kind;
    Alignment = kind == BlockKind::Equation ? Align::Center : Align::Left;
    Size = kind == BlockKind::Paragraph || kind == BlockKind::EmptyLine ? 24 : 20;
    Bold = Underline = Loose = Shrinks = Header = KeepWithNext = false;
    Breaks = 0;
    Link.clear();
    Cells = 0;
    Tokens.clear();
    Chars.clear();
    return *this;
}

ReportToken& ReportBlock::Push(TokenKind kind, std::uint8_t size, std::string_view text)
{
    ReportToken& t = Tokens.emplace_back();
    t.Kind = kind;
    t.Size = size;
    t.Offset = static_cast<std::uint32_t>(Chars.size());
    t.Length = static_cast<std::uint32_t>(text.size());
    Chars.append(text);
    return t;
}

ReportBlock& ReportBlock::Text(std::string_view text)
{
    if (text.empty()) return *this;
    if (!Tokens.empty() && Tokens.back().Kind == TokenKind::Text &&
        Tokens.back().Offset + Tokens.back().Length == Chars.size()) {
        Tokens.back().Length += static_cast<std::uint32_t>(text.size());
        Chars.append(text);
        return *this;
    }
    Push(TokenKind::Text, 0, text);
    return *this;
}

ReportBlock& ReportBlock::Dot()
{
    Push(TokenKind::Dot, 0, {});
    return *this;
}

ReportBlock& ReportBlock::Greek(std::string_view letter, std::uint8_t size)
{
    Push(TokenKind::Greek, size, letter);
    return *this;
}

ReportBlock& ReportBlock::Bookmark(std::string_view name)
{
    Push(TokenKind::Bookmark, 0, name);
    return *this;
}

ReportBlock& ReportBlock::CellEnd()
{
    Push(TokenKind::CellEnd, 0, {});
    return *this;
}

ReportBlock& ReportBlock::Begin(TokenKind kind, std::uint8_t size, std::string_view name)
{
    Push(kind, size, name);
    return *this;
}

ReportBlock& ReportBlock::Bar()
{
    Push(TokenKind::FractionBar, 0, {});
    return *this;
}

ReportBlock& ReportBlock::End()
{
    Push(TokenKind::End, 0, {});
    return *this;
}

ReportBlock& ReportBlock::Part(TokenKind kind, std::string_view text) { return Begin(kind).Text(text).End(); }

}  // namespace stelmar
