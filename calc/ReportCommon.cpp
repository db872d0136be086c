#include "calc/ReportCommon.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "calc/MovementTables.h"
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
    return std::max(0, std::min(r.ArrivingCount, static_cast<int>(r.Merged.size())));
}

std::string FromLabel(const TPipeLine& s, const TReport& r) { return NodeLabel(s, r.Upstream); }
std::string ToLabel(const TPipeLine& s, const TReport& r) { return NodeLabel(s, r.Downstream); }

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

ReportBlock& BlockStream::Start(BlockKind kind)
{
    Flush();
    pending_ = true;
    return block_.Reset(kind);
}

ReportBlock& BlockStream::Paragraph(Align alignment, std::uint8_t size, std::uint8_t breaks, bool underline)
{
    ReportBlock& b = Start(BlockKind::Paragraph);
    b.Alignment = alignment;
    b.Size = size;
    b.Breaks = breaks;
    b.Underline = underline;
    return b;
}

ReportBlock& BlockStream::Gap()
{
    ReportBlock& b = Start(BlockKind::Paragraph);
    b.Loose = true;
    b.Shrinks = true;
    b.Breaks = 1;
    return b;
}

ReportBlock& BlockStream::Equation() { return Start(BlockKind::Equation); }

ReportBlock& BlockStream::Row(int cells, bool header, Align alignment)
{
    ReportBlock& b = Start(BlockKind::TableRow);
    b.Cells = cells;
    b.Header = header;
    b.Alignment = alignment;
    return b;
}

void BlockStream::EmptyLine() { Start(BlockKind::EmptyLine); }

void BlockStream::Progress(std::int64_t done, std::int64_t total)
{
    Flush();
    sink_.Progress(done, total);
}

void BlockStream::Flush()
{
    if (!pending_) return;
    pending_ = false;
    sink_.Add(block_);
}

std::string MergedFlowList(const TReport& r, const FlowOrder& order)
{
    std::string list;
    const int entries = ArrivingEntries(r);
    for (int j = 0; j < entries; ++j) {
        const int number = order.Number(r.Merged[j].FlowNo);
        if (number <= 0) continue;
        if (!list.empty()) list += ", ";
        list += std::to_string(number);
    }
    return list;
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

void TotalTimeSection(const TPipeLine& s, char separator, std::uint8_t headingSize, std::uint8_t resultSize,
                      bool boldTotal, BlockStream& out)
{
    const double t = s.EvacuationTime;
    // The result is never alone on a page: the total time stays with it.
    out.Paragraph(Align::Left, headingSize, 2, true).Text("Определим общее расчетное время эвакуации").KeepWithNext = true;

    ReportBlock& line = out.Paragraph(Align::Center, 24, 2);
    line.KeepWithNext = true;
    line.Text("t").Part(TokenKind::Sub, "p").Text(" = ");
    const std::size_t exits = s.ExitTimes.empty() ? 0 : s.ExitTimes.size() - 1;
    if (exits > 1) {
        line.Text("max {");
        for (std::size_t j = 1; j <= exits; ++j) {
            if (j > 1) line.Text(";");
            line.Text(FormatReal(s.ExitTimes[j], separator));
        }
        line.Text("} = ");
    }
    line.Text(FormatReal(t, separator)).Text(" мин. ");

    const double minutes = std::floor(t);
    const double seconds = std::floor((t - minutes) * 60);
    ReportBlock& result = out.Paragraph(Align::Left, resultSize, 0, true);
    result.Text("Итак, общее расчетное время эвакуации равно ");
    if (boldTotal)
        result.Begin(TokenKind::Strong, 24).Text(FormatReal(t, separator)).End();
    else
        result.Text(FormatReal(t, separator));
    result.Text(" мин. (или ");
    if (t >= 1) result.Text(WholeText(minutes) + " мин. ");
    result.Text(WholeText(seconds) + " сек.)");
}

}  // namespace stelmar
