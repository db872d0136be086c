#pragma once

// Pieces shared by the full and the summary report: the order in which the
// report prints the flows, the texts both reports write, and the conversion
// of finished text to the document's code page.

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

inline constexpr std::string_view kDelta = R"(\u948\'3f)";
inline constexpr std::string_view kTau = R"(\u964\'3f)";
inline constexpr std::string_view kDot = R"(\'b7)";
inline constexpr std::string_view kNoBreakSpace = "\xC2\xA0";

// The calculation numbers flows as it creates them; the report numbers them
// in the order of their first step in `Reports`. The records themselves are
// left untouched: the new numbers live here.
class FlowOrder {
public:
    explicit FlowOrder(const TPipeLine& s);

    // Number of flows the report prints.
    int Count() const { return count_; }
    // Report number of calculation flow `flowNo`, 0 when it has none.
    int Number(std::int32_t flowNo) const;
    // Indices into `Reports` of the steps of report flow k (1 … Count), in
    // list order.
    std::span<const int> Steps(int k) const;

private:
    std::vector<int> numbers_;  // by calculation flow number
    int count_ = 0;
    std::vector<int> start_;    // steps of flow k: steps_[start_[k] … start_[k + 1])
    std::vector<int> steps_;
};

// Number of entries of the merged-flow lists: `ArrivingCount`, limited to
// what the lists hold.
int ArrivingEntries(const TReport& r);

// A label typed by the user as RTF text: "\", "{" and "}" escaped.
std::string EscapeLabel(std::string_view label);
void AppendEscapedLabel(std::string& out, std::string_view label);

// Paragraph in the text font "f1".
std::string Para(std::string_view text, std::string_view alignment, std::string_view size);
// A Greek letter escape in its own font.
std::string Greek(std::string_view letter, std::string_view size);
// Centered equation at size 20.
std::string Equation(std::string_view formula);

const std::string& KindName(int kind);

// "(Образован слиянием потоков №№ …)" for a step that starts a flow out of
// several arriving ones; empty otherwise.
std::string MergedFlowNote(const TReport& r, const FlowOrder& order);

// The closing section with t_p. `total` is how the total time appears in
// the last sentence.
std::string TotalTimeSection(const TPipeLine& s, char separator, std::string_view headingSize,
                             std::string_view resultSize, std::string_view total);

// Writes UTF-8 document text to a stream in Windows-1251, in large blocks:
// a report may run to gigabytes, and small writes cost more than the text.
class DocumentOutput {
public:
    explicit DocumentOutput(std::ostream& out) : out_(out) {}
    ~DocumentOutput() { Flush(); }
    DocumentOutput(const DocumentOutput&) = delete;
    DocumentOutput& operator=(const DocumentOutput&) = delete;

    void Write(std::string_view utf8);
    void Flush();

private:
    std::ostream& out_;
    std::string bytes_;
};

}  // namespace stelmar
