#include "calc/RtfStepTemplates.h"

#include <algorithm>
#include <charconv>

#include "model/TextCodec.h"

namespace stelmar {

namespace {

// Values are marked by the private-use characters U+E000…U+F8FF, which the
// RTF text holds as "\u-8192\'3f" … "\u-1793\'3f"; fixed texts never use
// them (a shape with a byte that could start one is set as blocks).
constexpr std::uint32_t kFirstMarker = 0xE000;
constexpr std::size_t kMarkers = 0xF900 - kFirstMarker;

std::string MarkerText(std::uint32_t value)
{
    const std::uint32_t code = kFirstMarker + value;
    return {static_cast<char>(0xE0 | code >> 12), static_cast<char>(0x80 | ((code >> 6) & 0x3F)),
            static_cast<char>(0x80 | (code & 0x3F))};
}

// The shapes kept at most, in bytes of RTF text: a report has a few dozen
// shapes, and a scheme that makes more sets the rest as blocks.
constexpr std::size_t kMaxKeptBytes = std::size_t{32} << 20;

// Whether a value is set the same alone as amid the text around it, and
// whether its RTF text is the value itself (most values are numbers).
struct ValueKind {
    bool Separable = true;
    bool Plain = true;
};

ValueKind KindOf(std::string_view value)
{
    ValueKind kind;
    for (const char c : value) {
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\\' || c == '{' || c == '}') kind.Plain = false;
    }
    kind.Separable = !value.empty() && value.front() != ' ' && value.back() != ' ' && (kind.Plain || IsValidUtf8(value));
    return kind;
}

// The marker "\u-N\'3f" at `at` of `text`: its value, or -1.
long MarkerAt(std::string_view text, std::size_t at, std::size_t values, std::size_t& length)
{
    constexpr std::string_view kStart = "\\u-", kEnd = "\\'3f";
    if (text.substr(at, kStart.size()) != kStart) return -1;
    const char* first = text.data() + at + kStart.size();
    long n = 0;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), n);
    if (error != std::errc() || end == first) return -1;
    const std::size_t after = static_cast<std::size_t>(end - text.data());
    if (text.substr(after, kEnd.size()) != kEnd) return -1;
    const long value = 0x10000 - n - static_cast<long>(kFirstMarker);
    if (value < 0 || static_cast<std::size_t>(value) >= values) return -1;
    length = after + kEnd.size() - at;
    return value;
}

}  // namespace

void RtfStepTemplates::SetBlocks(std::string& out, const BlockRecorder& step, std::span<const std::string_view> values)
{
    scratch_.clear();
    BlockStream blocks(setter_);
    step.Replay(blocks, values);
    blocks.Flush();
    out.append(scratch_);
}

RtfStepTemplates::Template RtfStepTemplates::Build(const BlockRecorder& step)
{
    Template t;
    const std::size_t count = step.ValueCount();
    if (count > kMarkers || step.Shape().find_first_of("\xEE\xEF") != std::string_view::npos) return t;

    std::vector<std::string> markers;
    std::vector<std::string_view> marked;
    for (std::size_t i = 0; i < count; ++i) markers.push_back(MarkerText(static_cast<std::uint32_t>(i)));
    marked.assign(markers.begin(), markers.end());
    std::string text;
    SetBlocks(text, step, marked);

    // The text without its markers; a control word or symbol is skipped
    // whole, so that an escaped backslash never starts a marker.
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        if (text[i] != '\\') {
            const std::size_t next = std::min(text.find('\\', i), text.size());
            t.Text.append(text, i, next - i);
            i = next;
        } else if (const long value = MarkerAt(text, i, count, length); value >= 0) {
            t.Slots.push_back({static_cast<std::uint32_t>(t.Text.size()), static_cast<std::uint32_t>(value)});
            i += length;
        } else {
            t.Text.append(text, i, 2);
            i += 2;
        }
    }
    // The kept text must give back the step it was made from.
    std::string filled, blocks;
    Fill(filled, t, rtfValues_);
    SetBlocks(blocks, step, values_);
    t.Usable = filled == blocks;
    return t;
}

void RtfStepTemplates::Fill(std::string& out, const Template& t, std::span<const std::string_view> values)
{
    std::size_t size = t.Text.size();
    for (const Slot& slot : t.Slots) size += values[slot.Value].size();
    const std::size_t start = out.size();
    out.resize(start + size);
    char* to = out.data() + start;
    const char* text = t.Text.data();
    std::size_t from = 0;
    for (const Slot& slot : t.Slots) {
        to = std::copy(text + from, text + slot.At, to);
        to = std::copy(values[slot.Value].begin(), values[slot.Value].end(), to);
        from = slot.At;
    }
    std::copy(text + from, text + t.Text.size(), to);
}

void RtfStepTemplates::Append(std::string& out, const BlockRecorder& step)
{
    // The values, and their RTF texts: most are numbers, their own text.
    const std::size_t count = step.ValueCount();
    values_.resize(count);
    rtfValues_.resize(count);
    if (converted_.size() < count) converted_.resize(count);  // not within the loop: views point into them
    bool separable = true;
    for (std::size_t i = 0; i < count; ++i) {
        values_[i] = rtfValues_[i] = step.ValueAt(i);
        const ValueKind kind = KindOf(values_[i]);
        separable = separable && kind.Separable;
        if (kind.Plain) continue;
        converted_[i].clear();
        AppendRtfText(converted_[i], values_[i]);
        rtfValues_[i] = converted_[i];
    }

    const Template* t = separable ? Find(step) : nullptr;
    if (t && t->Usable)
        Fill(out, *t, rtfValues_);
    else
        SetBlocks(out, step, values_);
}

const RtfStepTemplates::Template* RtfStepTemplates::Find(const BlockRecorder& step)
{
    // Steps of a few shapes alternate: the shapes used last are compared
    // first, which is cheaper than hashing the shape.
    const std::string_view shape = step.Shape();
    for (std::size_t i = 0; i < recent_.size() && recent_[i]; ++i) {
        if (recent_[i]->first != shape) continue;
        std::rotate(recent_.begin(), recent_.begin() + static_cast<std::ptrdiff_t>(i), recent_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        return &recent_[0]->second;
    }
    auto it = templates_.find(shape);
    if (it == templates_.end()) {
        if (keptBytes_ >= kMaxKeptBytes) return nullptr;
        it = templates_.emplace(std::string(shape), Build(step)).first;
        keptBytes_ += it->first.size() + it->second.Text.size();
    }
    std::rotate(recent_.begin(), recent_.end() - 1, recent_.end());
    recent_[0] = &*it;
    return &it->second;
}

}  // namespace stelmar
