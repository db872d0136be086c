#pragma once

// A step of a report recorded instead of composed: the calls that would
// compose its blocks, with their fixed texts, form the step's shape, and
// the values put in (numbers, labels) are kept apart. Steps that differ
// only in their values have equal shapes, so a writer can set a shape once
// and put each step's values into it. The recorder offers the calls of
// BlockStream and ReportBlock that a report's steps use, so one template
// of a report's text composes blocks or records them.

#include <cstdint>
#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calc/ReportCommon.h"
#include "calc/ReportDocument.h"

namespace stelmar {

class BlockRecorder {
public:
    // Starting a block.
    BlockRecorder& Paragraph(Align alignment, std::uint8_t size, std::uint8_t breaks = 0, bool underline = false);
    BlockRecorder& Equation();

    // The block's content, as ReportBlock takes it.
    BlockRecorder& Text(std::string_view text);
    BlockRecorder& Value(std::string_view text);
    BlockRecorder& Dot();
    BlockRecorder& Greek(std::string_view letter, std::uint8_t size);
    BlockRecorder& Begin(TokenKind kind, std::uint8_t size = 0, std::string_view name = {});
    BlockRecorder& Bar();
    BlockRecorder& End();
    BlockRecorder& Part(TokenKind kind, std::string_view text);

    // Forgets the recorded step.
    void Clear();

    std::string_view Shape() const { return shape_.View(); }
    std::size_t ValueCount() const { return valueEnds_.size(); }
    std::string_view ValueAt(std::size_t i) const;

    // Composes the recorded blocks into `out`, the i-th value put in as
    // `values[i]`; the last block stays with `out` until it is flushed.
    void Replay(BlockStream& out, std::span<const std::string_view> values) const;

private:
    // Bytes appended with one check for room: a large report records
    // millions of small calls.
    class Bytes {
    public:
        std::string_view View() const { return {bytes_.data(), used_}; }
        void Clear() { used_ = 0; }
        // The next n bytes, counted as written.
        char* Take(std::size_t n)
        {
            if (bytes_.size() - used_ < n) bytes_.resize(std::max(2 * bytes_.size(), used_ + n + 1024));
            char* at = bytes_.data() + used_;
            used_ += n;
            return at;
        }

    private:
        std::vector<char> bytes_;
        std::size_t used_ = 0;
    };

    // Room for a call of `fixed` bytes and its fixed text, the text written.
    char* PutText(std::size_t fixed, std::string_view text);

    Bytes shape_;
    Bytes values_;
    std::vector<std::uint32_t> valueEnds_;
};

}  // namespace stelmar
