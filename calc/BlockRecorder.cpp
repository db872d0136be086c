#include "calc/BlockRecorder.h"

#include <cstring>

namespace stelmar {

namespace {

// The calls as they are written into the shape: a letter, then their small
// arguments a byte each, then a fixed text as its length and bytes.
enum CallCode : char {
    kParagraph = 'P',
    kEquation = 'E',
    kText = 'T',
    kValue = 'V',
    kDot = 'D',
    kGreek = 'G',
    kBegin = 'B',
    kBar = '|',
    kEnd = ')',
};

}  // namespace

char* BlockRecorder::PutText(std::size_t fixed, std::string_view text)
{
    const auto length = static_cast<std::uint32_t>(text.size());
    char* at = shape_.Take(fixed + sizeof length + text.size());
    std::memcpy(at + fixed, &length, sizeof length);
    if (!text.empty()) std::memcpy(at + fixed + sizeof length, text.data(), text.size());
    return at;
}

BlockRecorder& BlockRecorder::Paragraph(Align alignment, std::uint8_t size, std::uint8_t breaks, bool underline)
{
    char* at = shape_.Take(5);
    at[0] = kParagraph;
    at[1] = static_cast<char>(alignment);
    at[2] = static_cast<char>(size);
    at[3] = static_cast<char>(breaks);
    at[4] = static_cast<char>(underline);
    return *this;
}

BlockRecorder& BlockRecorder::Equation()
{
    *shape_.Take(1) = kEquation;
    return *this;
}

BlockRecorder& BlockRecorder::Text(std::string_view text)
{
    *PutText(1, text) = kText;
    return *this;
}

BlockRecorder& BlockRecorder::Value(std::string_view text)
{
    *shape_.Take(1) = kValue;
    if (!text.empty()) std::memcpy(values_.Take(text.size()), text.data(), text.size());
    valueEnds_.push_back(static_cast<std::uint32_t>(values_.View().size()));
    return *this;
}

BlockRecorder& BlockRecorder::Dot()
{
    *shape_.Take(1) = kDot;
    return *this;
}

BlockRecorder& BlockRecorder::Greek(std::string_view letter, std::uint8_t size)
{
    char* at = PutText(2, letter);
    at[0] = kGreek;
    at[1] = static_cast<char>(size);
    return *this;
}

BlockRecorder& BlockRecorder::Begin(TokenKind kind, std::uint8_t size, std::string_view name)
{
    char* at = PutText(3, name);
    at[0] = kBegin;
    at[1] = static_cast<char>(kind);
    at[2] = static_cast<char>(size);
    return *this;
}

BlockRecorder& BlockRecorder::Bar()
{
    *shape_.Take(1) = kBar;
    return *this;
}

BlockRecorder& BlockRecorder::End()
{
    *shape_.Take(1) = kEnd;
    return *this;
}

BlockRecorder& BlockRecorder::Part(TokenKind kind, std::string_view text) { return Begin(kind).Text(text).End(); }

void BlockRecorder::Clear()
{
    shape_.Clear();
    values_.Clear();
    valueEnds_.clear();
}

std::string_view BlockRecorder::ValueAt(std::size_t i) const
{
    const std::uint32_t start = i == 0 ? 0 : valueEnds_[i - 1];
    return values_.View().substr(start, valueEnds_[i] - start);
}

void BlockRecorder::Replay(BlockStream& out, std::span<const std::string_view> values) const
{
    std::size_t at = 0;
    std::size_t value = 0;
    const std::string_view shape = shape_.View();
    const auto byte = [&] { return static_cast<std::uint8_t>(shape[at++]); };
    const auto literal = [&] {
        std::uint32_t length = 0;
        std::memcpy(&length, shape.data() + at, sizeof length);
        at += sizeof length;
        const std::string_view text = shape.substr(at, length);
        at += length;
        return text;
    };
    // Content before the first block has no block to go to; the recorder's
    // users always start with one.
    ReportBlock* block = nullptr;
    while (at < shape.size()) {
        const char op = shape[at++];
        if (op == kParagraph) {
            const auto alignment = static_cast<Align>(byte());
            const std::uint8_t size = byte();
            const std::uint8_t breaks = byte();
            const bool underline = byte() != 0;
            block = &out.Paragraph(alignment, size, breaks, underline);
        } else if (op == kEquation) {
            block = &out.Equation();
        } else if (op == kText) {
            const std::string_view text = literal();
            if (block) block->Text(text);
        } else if (op == kValue) {
            if (block && value < values.size()) block->Value(values[value]);
            ++value;
        } else if (op == kDot) {
            if (block) block->Dot();
        } else if (op == kGreek) {
            const std::uint8_t size = byte();
            const std::string_view letter = literal();
            if (block) block->Greek(letter, size);
        } else if (op == kBegin) {
            const auto kind = static_cast<TokenKind>(byte());
            const std::uint8_t size = byte();
            const std::string_view name = literal();
            if (block) block->Begin(kind, size, name);
        } else if (op == kBar) {
            if (block) block->Bar();
        } else if (op == kEnd) {
            if (block) block->End();
        }
    }
}

}  // namespace stelmar
