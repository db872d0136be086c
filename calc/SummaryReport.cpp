// The summary report: one table per flow with a heading that links to the
// flow's row in the table of flows, then the tables of flows and of areas.

#include <vector>

#include "calc/MovementTables.h"
#include "calc/ReportCommon.h"
#include "calc/ReportWriter.h"
#include "calc/RtfReport.h"
#include "model/NumberText.h"

namespace stelmar {

namespace {

// What the table of flows needs of one flow.
struct FlowTotals {
    std::int32_t People = 0;
    double ProjArea = 0;
    double Length = 0;
    double Time = 0;
};

// Rows of the tables between two reports of progress.
constexpr int kRowsPerProgress = 4096;

constexpr Align kLeft = Align::Left;

class SummaryReportText {
public:
    SummaryReportText(const TPipeLine& s, char separator, BlockStream& out) : s_(s), separator_(separator), out_(out)
    {
    }

    // Writes flow k and returns its numbers for the table of flows.
    FlowTotals Flow(int k, const FlowOrder& order)
    {
        FlowTotals totals;
        double running = 0;
        for (int i : order.Steps(k)) {
            const TReport& r = s_.Reports[i];
            if (r.StartsFlow) {
                Heading(r, k, order);
                running = 0;
                totals = FlowTotals{r.People, r.ProjArea, 0, 0};
            }
            running += r.AreaTime;
            StepRow(r, running);
            totals.Time = r.TotalTime;
            totals.Length += r.Length;
        }
        out_.Row(1, false, Align::Right)
            .Text("Общее время потока: ")
            .Begin(TokenKind::Strong, 22)
            .Text(Num(totals.Time))
            .End()
            .CellEnd();
        out_.Gap();
        return totals;
    }

    void FlowRow(int k, const FlowTotals& t)
    {
        const std::string number = std::to_string(k);
        ReportBlock& row = out_.Row(5, false);
        row.Bookmark("pt" + number).Begin(TokenKind::Link, 20, "p" + number).Text(number).End().CellEnd();
        row.Text(std::to_string(t.People)).CellEnd().Text(Num(t.ProjArea)).CellEnd();
        row.Text(Num(t.Length)).CellEnd().Text(Num(t.Time)).CellEnd();
    }

    void AreaRow(const TArea& a)
    {
        ReportBlock& row = out_.Row(5, false);
        row.Text(NodeLabel(s_, a.Node1)).Text("-").Text(NodeLabel(s_, a.Node2)).CellEnd();
        std::string people = "-";
        for (std::int32_t end : {a.Node2, a.Node1}) {
            if (s_.Nodes[end].Kind == kInput) {
                people = std::to_string(s_.Nodes[end].People);
                break;
            }
        }
        row.Text(people).CellEnd().Text(KindName(a.Kind)).CellEnd();
        row.Text(Num(a.Length)).CellEnd().Text(Num(a.Width)).CellEnd();
    }

private:
    std::string Num(double x) const { return FormatReal(x, separator_); }

    void Heading(const TReport& r, int k, const FlowOrder& order)
    {
        const std::string number = std::to_string(k);
        ReportBlock& heading = out_.Paragraph(Align::Center, 28, 1);
        heading.Link = "pt" + number;
        heading.Text(" ").Bookmark("p" + number).Text(" Поток №" + number);
        MergedFlowNote(r, order, out_);
        out_.Paragraph(kLeft, 24)
            .Text("N = " + std::to_string(r.People) + ", f = " + Num(r.ProjArea) + " м")
            .Part(TokenKind::Super, "2");
        if (r.FirstArea)
            out_.Paragraph(kLeft, 24)
                .Text(", D = " + Num(r.Density) + " м")
                .Part(TokenKind::Super, "2")
                .Text("/м")
                .Part(TokenKind::Super, "2");
        if (r.GroupCode > 1) out_.Paragraph(kLeft, 24).Text(", ").Text(GroupName(r.GroupCode - 1));
        out_.Gap().Text(".");
        if (footnotePending_) {
            out_.Paragraph(kLeft, 18, 1)
                .Text("Где N - количество людей, f - средняя площадь горизонтальной проекции человека, "
                      "D - плотность потока.");
            footnotePending_ = false;
        }
        out_.Gap();
        const std::string nb(kNoBreakSpace);
        out_.Row(7, true)
            .Text("Участок")
            .CellEnd()
            .Text("Тип")
            .CellEnd()
            .Text("Длина," + nb + "м.")
            .CellEnd()
            .Text("Ширина," + nb + "м.")
            .CellEnd()
            .Text("Интенсивность," + nb + "м/мин.")
            .CellEnd()
            .Text("Скорость," + nb + "м/мин.")
            .CellEnd()
            .Text("Время," + nb + "мин. ")
            .CellEnd();
    }

    void StepRow(const TReport& r, double running)
    {
        ReportBlock& row = out_.Row(7, false);
        row.Text(FromLabel(s_, r)).Text("-").Text(ToLabel(s_, r)).CellEnd();
        row.Text(KindName(r.PathKind)).CellEnd();
        row.Text(Num(r.Length)).CellEnd().Text(Num(r.Width)).CellEnd();
        row.Text(Num(r.Intensity)).CellEnd().Text(Num(r.Speed)).CellEnd();
        row.Text(Num(r.AreaTime)).Text(kNoBreakSpace).Text("(" + Num(running) + ") ");
        if (r.DelayTime > 0) {
            row.Text("(время задержки " + Num(r.DelayTime) + " мин.");
            if (s_.VrSk)
                row.Text(", время скопления " + Num(r.AccumTime) + " мин.)");
            else
                row.Text(")");
        }
        row.CellEnd();
    }

    const TPipeLine& s_;
    char separator_;
    BlockStream& out_;
    // The footnote explaining N, f and D follows the first flow's heading.
    bool footnotePending_ = true;
};

}  // namespace

void ComposeSummaryReport(const TPipeLine& s, char separator, ReportSink& sink)
{
    BlockStream out(sink);
    const FlowOrder order(s);
    SummaryReportText report(s, separator, out);
    std::vector<FlowTotals> flows(order.Count() + 1);
    // Progress counts the steps, the rows of flows and the rows of areas.
    const std::int64_t total = std::int64_t{ReportCount(s)} + order.Count() + AreaCount(s);
    std::int64_t done = 0;

    for (int k = 1; k <= order.Count(); ++k) {
        flows[k] = report.Flow(k, order);
        done += static_cast<std::int64_t>(order.Steps(k).size());
        out.Progress(done, total);
    }

    out.EmptyLine();
    out.EmptyLine();
    out.Paragraph(kLeft, 24, 1).Text("Сводная таблица по потокам:");
    out.EmptyLine();
    out.Row(5, true)
        .Text("№ потока")
        .CellEnd()
        .Text("Количество людей")
        .CellEnd()
        .Text("Средняя площадь горизонтальной проекции человека, м")
        .Part(TokenKind::Super, "2")
        .CellEnd()
        .Text("Длина, м")
        .CellEnd()
        .Text("Время")
        .Text(kNoBreakSpace)
        .Text(", мин. ")
        .CellEnd();
    for (int k = 1; k <= order.Count(); ++k) {
        report.FlowRow(k, flows[k]);
        if (++done % kRowsPerProgress == 0) out.Progress(done, total);
    }
    out.EmptyLine();
    out.EmptyLine();
    out.EmptyLine();
    out.Paragraph(kLeft, 24, 1).Text("Сводная таблица по участкам:");
    out.EmptyLine();
    out.Row(5, true)
        .Text("№ участка")
        .CellEnd()
        .Text("Количество людей")
        .CellEnd()
        .Text("Тип участка")
        .CellEnd()
        .Text("Длина, м.")
        .CellEnd()
        .Text("Ширина , м.")
        .CellEnd();
    for (int a = 1; a <= AreaCount(s); ++a) {
        report.AreaRow(s.Areas[a]);
        if (++done % kRowsPerProgress == 0) out.Progress(done, total);
    }
    out.EmptyLine();
    TotalTimeSection(s, separator, 24, 24, true, out);
    out.Progress(total, total);
}

void BuildSummaryReport(const TPipeLine& s, char separator, std::ostream& out)
{
    RtfReportWriter writer(out);
    ComposeSummaryReport(s, separator, writer);
    writer.Finish();
}

}  // namespace stelmar
