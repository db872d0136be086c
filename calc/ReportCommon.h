#pragma once

// Pieces shared by the full and the summary report: the order in which the
// report prints the flows and the texts both reports write.

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calc/ReportDocument.h"
#include "model/Scheme.h"

namespace stelmar {

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

// Number of entries of `Merged` that the report reads: no more than
// `ArrivingCount`.
int ArrivingEntries(const TReport& r);

// The labels of the step's ends (NodeLabel).
std::string FromLabel(const TPipeLine& s, const TReport& r);
std::string ToLabel(const TPipeLine& s, const TReport& r);

const std::string& KindName(int kind);

// Sends each block as the next one is started, so that a block is
// composed in place and no text is copied.
class BlockStream {
public:
    explicit BlockStream(ReportSink& sink) : sink_(sink) {}
    BlockStream(const BlockStream&) = delete;
    BlockStream& operator=(const BlockStream&) = delete;

    ReportBlock& Paragraph(Align alignment, std::uint8_t size, std::uint8_t breaks = 0, bool underline = false);
    // A paragraph outside any group: ends its line and shrinks the
    // document's size for the narrow gap that follows.
    ReportBlock& Gap();
    ReportBlock& Equation();
    ReportBlock& Row(int cells, bool header, Align alignment = Align::Center);
    void EmptyLine();
    // Sends the block in progress, then reports progress.
    void Progress(std::int64_t done, std::int64_t total);
    // Sends the block in progress.
    void Flush();

private:
    ReportBlock& Start(BlockKind kind);

    ReportSink& sink_;
    ReportBlock block_;
    bool pending_ = false;
};

// The report numbers of the flows that merge into the step's flow: "1, 2".
std::string MergedFlowList(const TReport& r, const FlowOrder& order);

// "(Образован слиянием потоков №№ …)" for a step that starts a flow out of
// several arriving ones; nothing otherwise. `out` is a BlockStream or a
// BlockRecorder.
template <class Out>
void MergedFlowNote(const TReport& r, const FlowOrder& order, Out& out)
{
    if (!r.StartsFlow || r.ArrivingCount <= 1) return;
    out.Paragraph(Align::Left, 24, 1).Text("(Образован слиянием потоков №№ ").Value(MergedFlowList(r, order)).Text(")");
}

// The closing section with t_p; the summary report sets the total in the
// last sentence in bold.
void TotalTimeSection(const TPipeLine& s, char separator, std::uint8_t headingSize, std::uint8_t resultSize,
                      bool boldTotal, BlockStream& out);

}  // namespace stelmar
