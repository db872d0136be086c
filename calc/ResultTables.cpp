#include "calc/ResultTables.h"

#include <algorithm>

#include "model/NumberText.h"
#include "model/PathKinds.h"

namespace stelmar {
namespace {

TableCell Text(std::string text) { return {std::move(text), 0, false}; }
TableCell Real(double x, char separator) { return {FormatReal(x, separator), x, true}; }
TableCell Whole(long long x) { return {std::to_string(x), static_cast<double>(x), true}; }

bool IsExit(const TPipeLine& s, int node) { return node >= 1 && node <= NodeCount(s) && s.Nodes[node].Kind == kExit; }

}  // namespace

const std::vector<std::string>& AreaTableHeaders()
{
    static const std::vector<std::string> headers = {
        "Этаж", "Участок", "Тип", "l, м", "δ, м", "Потоков", "N, чел.", "q, м/мин", "v, м/мин", "t, мин",
        "Задержка, мин", "Скопление, мин", "Время от начала, мин"};
    return headers;
}

const std::vector<std::string>& ExitTableHeaders()
{
    static const std::vector<std::string> headers = {"Этаж", "Выход", "Потоков", "N, чел.", "Время, мин"};
    return headers;
}

const std::vector<std::string>& FlowTableHeaders()
{
    static const std::vector<std::string> headers = {"№ потока", "N, чел.", "f, м²", "Длина, м", "Время, мин",
                                                     "Выход"};
    return headers;
}

int CalculatedArea(const FlowResults& results, const std::vector<int>& calculated, int area)
{
    if (calculated.empty()) return area >= 1 && area < int(results.Areas.size()) ? area : 0;
    return area >= 1 && area < int(calculated.size()) ? calculated[area] : 0;
}

std::vector<ExitResult> ExitResults(const TPipeLine& s, const FlowResults& results, const std::vector<int>& calculated)
{
    std::vector<int> index(s.Nodes.size(), -1);
    std::vector<ExitResult> exits;
    for (int i = 1; i <= NodeCount(s); ++i)
        if (s.Nodes[i].Kind == kExit) {
            index[i] = int(exits.size());
            exits.push_back({.Node = i});
        }
    // A flow over an area that ends on an exit leaves the building there.
    for (int i = 1; i <= AreaCount(s); ++i) {
        const int k = CalculatedArea(results, calculated, i);
        if (k == 0 || results.Areas[k].Steps.empty()) continue;
        const AreaResult& r = results.Areas[k];
        for (int end : {s.Areas[i].Node1, s.Areas[i].Node2}) {
            if (!IsExit(s, end)) continue;
            ExitResult& e = exits[std::size_t(index[end])];
            e.Flows += int(r.Steps.size());
            e.People += r.People;
            e.Time = std::max(e.Time, r.TotalTime);
        }
    }
    return exits;
}

TableCell AreaTableCell(const TPipeLine& s, int area, const AreaResult* r, AreaTableColumn column, char separator)
{
    const TArea& a = s.Areas[area];
    switch (column) {
    case AreaTableColumn::Floor: {
        const int f1 = s.Nodes[a.Node1].Etag;
        return f1 == s.Nodes[a.Node2].Etag ? Whole(f1) : Text(AreaFloorsLabel(s, a));
    }
    case AreaTableColumn::Label: return Text(AreaLabel(s, a));
    case AreaTableColumn::Kind: return Text(PathKindCaption(a.Kind));
    case AreaTableColumn::Length: return Real(a.Length, separator);
    case AreaTableColumn::Width: return Real(a.Width, separator);
    default: break;
    }
    if (!r || r->Steps.empty()) return {};
    switch (column) {
    case AreaTableColumn::Flows: return Whole(long(r->Steps.size()));
    case AreaTableColumn::People: return Whole(r->People);
    case AreaTableColumn::Intensity: return Real(r->Intensity, separator);
    case AreaTableColumn::Speed: return Real(r->Speed, separator);
    case AreaTableColumn::Time: return Real(r->AreaTime, separator);
    case AreaTableColumn::Delay: return Real(r->DelayTime, separator);
    case AreaTableColumn::Accumulation: return Real(r->AccumTime, separator);
    case AreaTableColumn::Total: return Real(r->TotalTime, separator);
    default: return {};
    }
}

TableCell ExitTableCell(const TPipeLine& s, const ExitResult& e, ExitTableColumn column, char separator)
{
    switch (column) {
    case ExitTableColumn::Floor: return Whole(s.Nodes[e.Node].Etag);
    case ExitTableColumn::Label: return Text(NodeLabel(s, e.Node));
    case ExitTableColumn::Flows: return Whole(e.Flows);
    case ExitTableColumn::People: return Whole(e.People);
    case ExitTableColumn::Time: return e.Time >= 0 ? Real(e.Time, separator) : TableCell{};
    default: return {};
    }
}

TableCell FlowTableCell(const TPipeLine& s, const FlowSummary& f, FlowTableColumn column, char separator)
{
    switch (column) {
    case FlowTableColumn::Number: return Whole(f.Number);
    case FlowTableColumn::People: return Whole(f.People);
    case FlowTableColumn::F: return Real(f.F, separator);
    case FlowTableColumn::Length: return Real(f.Length, separator);
    case FlowTableColumn::Time: return Real(f.Time, separator);
    case FlowTableColumn::Exit: return f.Exit >= 1 && f.Exit <= NodeCount(s) ? Text(NodeLabel(s, f.Exit)) : TableCell{};
    default: return {};
    }
}

std::vector<ResultTable> ResultTables(const TPipeLine& s, const FlowResults& results,
                                      const std::vector<int>& calculated, char separator)
{
    ResultTable areas{"Участки", "areas", AreaTableHeaders(), {}};
    for (int i = 1; i <= AreaCount(s); ++i) {
        const int k = CalculatedArea(results, calculated, i);
        const AreaResult* r = k != 0 ? &results.Areas[k] : nullptr;
        auto& row = areas.Rows.emplace_back();
        for (int c = 0; c < int(AreaTableColumn::kCount); ++c)
            row.push_back(AreaTableCell(s, i, r, AreaTableColumn(c), separator));
    }
    ResultTable exits{"Выходы", "exits", ExitTableHeaders(), {}};
    for (const ExitResult& e : ExitResults(s, results, calculated)) {
        auto& row = exits.Rows.emplace_back();
        for (int c = 0; c < int(ExitTableColumn::kCount); ++c)
            row.push_back(ExitTableCell(s, e, ExitTableColumn(c), separator));
    }
    ResultTable flows{"Потоки", "flows", FlowTableHeaders(), {}};
    for (const FlowSummary& f : FlowSummaries(s)) {
        auto& row = flows.Rows.emplace_back();
        for (int c = 0; c < int(FlowTableColumn::kCount); ++c)
            row.push_back(FlowTableCell(s, f, FlowTableColumn(c), separator));
    }
    return {std::move(areas), std::move(exits), std::move(flows)};
}

}  // namespace stelmar
