#include "calc/ReportCommon.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "calc/MovementTables.h"
#include "calc/RtfFragments.h"
#include "model/NumberText.h"
#include "model/TextCodec.h"

namespace stelmar {

FlowOrder::FlowOrder(const TPipeLine& s)
{
    const int records = ReportCount(s);
    std::int32_t highest = std::max(s.FlowCounter, 0);
    for (int i = 1; i <= records; ++i) highest = std::max(highest, s.Reports[i].FlowNo);
    numbers_.assign(static_cast<std::size_t>(highest) + 1, 0);
    for (int i = 1; i <= records; ++i) {
        const std::int32_t flowNo = s.Reports[i].FlowNo;
        if (flowNo >= 0 && numbers_[flowNo] == 0) numbers_[flowNo] = ++count_;
    }

    // Counting sort of the steps by report number, keeping list order.
    start_.assign(count_ + 2, 0);
    for (int i = 1; i <= records; ++i) {
        if (s.Reports[i].FlowNo >= 0) ++start_[numbers_[s.Reports[i].FlowNo] + 1];
    }
    for (int k = 1; k <= count_ + 1; ++k) start_[k] += start_[k - 1];
    steps_.resize(start_[count_ + 1]);
    std::vector<int> fill(start_.begin(), start_.end() - 1);
    for (int i = 1; i <= records; ++i) {
        if (s.Reports[i].FlowNo >= 0) steps_[fill[numbers_[s.Reports[i].FlowNo]]++] = i;
    }
}

int FlowOrder::Number(std::int32_t flowNo) const
{
    return flowNo >= 0 && static_cast<std::size_t>(flowNo) < numbers_.size() ? numbers_[flowNo] : 0;
}

std::span<const int> FlowOrder::Steps(int k) const
{
    return std::span<const int>(steps_).subspan(start_[k], start_[k + 1] - start_[k]);
}

int ArrivingEntries(const TReport& r)
{
    const std::size_t listed = std::min({r.MergedFlows.size(), r.MergedIntensity.size(), r.MergedWidth.size()});
    return std::clamp<int>(r.ArrivingCount, 0, static_cast<int>(listed) - 1);
}

void AppendEscapedLabel(std::string& out, std::string_view label)
{
    for (char c : label) {
        if (c == '\\' || c == '{' || c == '}') out += '\\';
        out += c;
    }
}

std::string EscapeLabel(std::string_view label)
{
    std::string out;
    AppendEscapedLabel(out, label);
    return out;
}

std::string Para(std::string_view text, std::string_view alignment, std::string_view size)
{
    return RtfParagraph(text, alignment, "f1", size);
}

std::string Greek(std::string_view letter, std::string_view size) { return RtfParagraph(letter, "ql", "f84", size); }

std::string Equation(std::string_view formula) { return RtfEquation(formula, "qc", "f1", "fs20"); }

const std::string& KindName(int kind)
{
    static const auto names = [] {
        std::array<std::string, 8> all;
        for (int k = 0; k < 8; ++k) PathKindName(k, all[k]);
        return all;
    }();
    static const std::string none;
    return kind >= 0 && kind < 8 ? names[kind] : none;
}

std::string MergedFlowNote(const TReport& r, const FlowOrder& order)
{
    if (!r.StartsFlow || r.ArrivingCount <= 1) return {};
    std::string list;
    const int entries = ArrivingEntries(r);
    for (int j = 1; j <= entries; ++j) {
        const int number = order.Number(r.MergedFlows[j]);
        if (number <= 0) continue;
        if (!list.empty()) list += ", ";
        list += std::to_string(number);
    }
    return Para("(Образован слиянием потоков №№ " + list + ")" + R"(\par)", "ql", "fs24");
}

namespace {

// A whole number held in a double, as a decimal integer.
std::string WholeText(double x)
{
    char buf[400];
    const auto end = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 0).ptr;
    return std::string(buf, end);
}

}  // namespace

std::string TotalTimeSection(const TPipeLine& s, char separator, std::string_view headingSize,
                             std::string_view resultSize, std::string_view total)
{
    const double t = s.EvacuationTime;
    std::string text = Para(R"(Определим общее расчетное время эвакуации\par\par)", R"(ql\ul)", headingSize);

    std::string line = R"(t{\sub p} = )";
    const std::size_t exits = s.ExitTimes.empty() ? 0 : s.ExitTimes.size() - 1;
    if (exits > 1) {
        line += R"(max \{)";
        for (std::size_t j = 1; j <= exits; ++j) {
            if (j > 1) line += ';';
            line += FormatReal(s.ExitTimes[j], separator);
        }
        line += R"(\} = )";
    }
    line += FormatReal(t, separator);
    text += Para(line + R"( мин. \par\par)", "qc", "fs24");

    const double minutes = std::floor(t);
    const double seconds = std::floor((t - minutes) * 60);
    std::string result = "Итак, общее расчетное время эвакуации равно ";
    result.append(total).append(" мин. (или ");
    if (t >= 1) result += WholeText(minutes) + " мин. ";
    result += WholeText(seconds) + " сек.)";
    text += Para(result, R"(ql\ul)", resultSize);
    return text;
}

void DocumentOutput::Write(std::string_view utf8)
{
    constexpr std::size_t kBlock = 256 << 10;
    AppendCp1251Rtf(bytes_, utf8);
    if (bytes_.size() >= kBlock) Flush();
}

void DocumentOutput::Flush()
{
    out_.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
    bytes_.clear();
}

}  // namespace stelmar
