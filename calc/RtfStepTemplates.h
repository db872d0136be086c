#pragma once

// The RTF of a report's recorded steps, set once per shape: the first step
// of a shape is set as blocks with a marker in place of each value, and
// the text is kept with the markers' places; every further step of that
// shape is the kept text with its own values put in. A step whose values
// could change the text around them (empty, starting or ending with a
// blank, not whole UTF-8 characters) is set as blocks, as is a shape whose
// kept text does not give back its first step exactly.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "calc/BlockRecorder.h"
#include "calc/RtfReport.h"

namespace stelmar {

class RtfStepTemplates {
public:
    RtfStepTemplates() = default;
    RtfStepTemplates(const RtfStepTemplates&) = delete;
    RtfStepTemplates& operator=(const RtfStepTemplates&) = delete;

    // Appends the step's RTF to `out`, byte for byte what its blocks set.
    void Append(std::string& out, const BlockRecorder& step);

private:
    struct Slot {
        std::uint32_t At = 0;  // where in the text the value goes
        std::uint32_t Value = 0;
    };
    struct Template {
        bool Usable = false;
        std::string Text;  // without the values
        std::vector<Slot> Slots;
    };

    // The template of the step's shape, checked against the step set as
    // blocks with its values.
    Template Build(const BlockRecorder& step);
    // The template of the step's shape, made when it is new; nullptr when
    // too many shapes are kept.
    const Template* Find(const BlockRecorder& step);
    // The step set as blocks, with `values` put in.
    void SetBlocks(std::string& out, const BlockRecorder& step, std::span<const std::string_view> values);
    // The template with the RTF texts of the values put in.
    static void Fill(std::string& out, const Template& t, std::span<const std::string_view> values);

    // Found by a shape's bytes without copying them into a string.
    struct ShapeHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view shape) const { return std::hash<std::string_view>{}(shape); }
    };
    using Templates = std::unordered_map<std::string, Template, ShapeHash, std::equal_to<>>;
    Templates templates_;
    std::array<const Templates::value_type*, 4> recent_{};  // the last used first
    std::size_t keptBytes_ = 0;
    // The values of the step being set, and their RTF texts.
    std::vector<std::string_view> values_;
    std::vector<std::string_view> rtfValues_;
    std::vector<std::string> converted_;  // by value, the RTF texts that differ from their values
    std::string scratch_;
    RtfBlockSetter setter_{scratch_};
};

}  // namespace stelmar
