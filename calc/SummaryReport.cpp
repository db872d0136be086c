// The summary report: one table per flow with a heading that links to the
// flow's row in the table of flows, then the tables of flows and of areas.

#include <vector>

#include "calc/MovementTables.h"
#include "calc/ReportCommon.h"
#include "calc/ReportWriter.h"
#include "calc/RtfFragments.h"
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

// Text accumulated before it is converted and written, to keep the writes
// large without holding a whole table in memory.
constexpr std::size_t kChunk = 1 << 16;

const std::string kNbsp(kNoBreakSpace);

class SummaryReportText {
public:
    SummaryReportText(const TPipeLine& s, char separator) : s_(s), separator_(separator) {}

    // Writes flow k and returns its numbers for the table of flows.
    FlowTotals Flow(int k, const FlowOrder& order, std::string& text)
    {
        FlowTotals totals;
        double running = 0;
        for (int i : order.Steps(k)) {
            const TReport& r = s_.Reports[i];
            if (r.StartsFlow) {
                Heading(r, k, order, text);
                running = 0;
                totals = FlowTotals{r.People, r.ProjArea, 0, 0};
            }
            running += r.AreaTime;
            StepRow(r, running, text);
            totals.Time = r.TotalTime;
            totals.Length += r.Length;
        }
        text += RtfTableRow(R"({\pard\intbl\qr\fs20 Общее время потока: )" + Para(Num(totals.Time), R"(ql\b)", "fs22") +
                                R"(\cell})",
                            1, 10);
        text += R"(\par\fs8)";
        return totals;
    }

    std::string FlowRow(int k, const FlowTotals& t) const
    {
        const std::string number = std::to_string(k);
        return RtfTableRow(R"({\pard\intbl\qc\fs20 {\*\bkmkstart pt)" + number + "}" +
                               RtfHyperlink(number, "p" + number, R"(ql\b\ul)", "f1", "fs20") + R"(\cell )" +
                               std::to_string(t.People) + R"(\cell )" + Num(t.ProjArea) + R"(\cell )" +
                               Num(t.Length) + R"(\cell )" + Num(t.Time) + R"(\cell})",
                           5, 10);
    }

    void AreaRow(const TArea& a, std::string& text) const
    {
        text += RtfTableRowStart(5, 10);
        text += R"({\pard\intbl\qc\fs20 )";
        AppendEscapedLabel(text, NodeLabel(s_, a.Node1));
        text += '-';
        AppendEscapedLabel(text, NodeLabel(s_, a.Node2));
        std::string people = "-";
        for (std::int32_t end : {a.Node2, a.Node1}) {
            if (s_.Nodes[end].Kind == kInput) {
                people = std::to_string(s_.Nodes[end].People);
                break;
            }
        }
        Cell(text, people);
        Cell(text, KindName(a.Kind));
        Cell(text, Num(a.Length));
        Cell(text, Num(a.Width));
        text += R"(\cell})";
        text += kRtfRowEnd;
    }

private:
    std::string Num(double x) const { return FormatReal(x, separator_); }

    void Heading(const TReport& r, int k, const FlowOrder& order, std::string& text)
    {
        const std::string number = std::to_string(k);
        text += RtfHyperlink(R"( {\*\bkmkstart p)" + number + "} Поток №" + number + R"(\par)", "pt" + number, "qc",
                             "f1", "fs28");
        text += MergedFlowNote(r, order);
        text += Para("N = " + std::to_string(r.People) + ", f = " + Num(r.ProjArea) + R"( м{\super 2})", "ql", "fs24");
        if (r.FirstArea) text += Para(", D = " + Num(r.Density) + R"( м{\super 2}/м{\super 2})", "ql", "fs24");
        if (r.GroupCode > 1) text += Para(", " + GroupName(r.GroupCode - 1), "ql", "fs24");
        text += R"(.\par\fs8)";
        if (footnotePending_) {
            text += Para(R"(Где N - количество людей, f - средняя площадь горизонтальной проекции человека, )"
                         R"(D - плотность потока.\par)",
                         "ql", "fs18");
            footnotePending_ = false;
        }
        text += R"(\par\fs8)";
        text += RtfTableRow(R"({\pard\intbl\qc\fs20\b Участок\cell Тип\cell Длина,)" + kNbsp + R"(м.\cell Ширина,)" +
                                kNbsp + R"(м.\cell Интенсивность,)" + kNbsp + R"(м/мин.\cell Скорость,)" + kNbsp +
                                R"(м/мин.\cell Время,)" + kNbsp + R"(мин. \cell})",
                            7, 30);
    }

    void StepRow(const TReport& r, double running, std::string& text) const
    {
        text += RtfTableRowStart(7, 10);
        text += R"({\pard\intbl\qc\fs20 )";
        AppendEscapedLabel(text, r.FromNode);
        text += '-';
        AppendEscapedLabel(text, r.ToNode);
        Cell(text, KindName(r.PathKind));
        Cell(text, Num(r.Length));
        Cell(text, Num(r.Width));
        Cell(text, Num(r.Intensity));
        Cell(text, Num(r.Speed));
        Cell(text, Num(r.AreaTime));
        text += kNbsp;
        text += '(';
        text += Num(running);
        text += ") ";
        if (r.DelayTime > 0) {
            text += "(время задержки ";
            text += Num(r.DelayTime);
            text += " мин.";
            if (s_.VrSk) {
                text += ", время скопления ";
                text += Num(r.AccumTime);
                text += " мин.)";
            } else {
                text += ")";
            }
        }
        text += R"(\cell})";
        text += kRtfRowEnd;
    }

    // "\cell " and the next cell's text.
    static void Cell(std::string& text, std::string_view value)
    {
        text += R"(\cell )";
        text += value;
    }

    const TPipeLine& s_;
    char separator_;
    // The footnote explaining N, f and D follows the first flow's heading.
    bool footnotePending_ = true;
};

}  // namespace

void BuildSummaryReport(const TPipeLine& s, char separator, std::ostream& out)
{
    DocumentOutput document(out);
    const FlowOrder order(s);
    SummaryReportText report(s, separator);
    std::vector<FlowTotals> flows(order.Count() + 1);

    document.Write(RtfDocumentStart());
    std::string text;
    for (int k = 1; k <= order.Count(); ++k) {
        text.clear();
        flows[k] = report.Flow(k, order, text);
        document.Write(text);
    }

    const std::string empty = RtfEmptyParagraph();
    text = empty + empty + Para(R"(Сводная таблица по потокам:\par)", "ql", "fs24") + empty;
    text += RtfTableRow(R"({\pard\intbl\qc\fs20\b № потока\cell Количество людей\cell Средняя площадь )"
                        R"(горизонтальной проекции человека, м{\super 2}\cell Длина, м\cell Время)" +
                            kNbsp + R"(, мин. \cell})",
                        5, 30);
    for (int k = 1; k <= order.Count(); ++k) {
        text += report.FlowRow(k, flows[k]);
        if (text.size() >= kChunk) {
            document.Write(text);
            text.clear();
        }
    }
    text += empty + empty + empty + Para(R"(Сводная таблица по участкам:\par)", "ql", "fs24") + empty;
    text += RtfTableRow(R"({\pard\intbl\qc\fs20\b № участка\cell Количество людей\cell Тип участка\cell )"
                        R"(Длина, м.\cell Ширина , м.\cell})",
                        5, 30);
    for (int a = 1; a <= AreaCount(s); ++a) {
        report.AreaRow(s.Areas[a], text);
        if (text.size() >= kChunk) {
            document.Write(text);
            text.clear();
        }
    }
    text += empty;
    text += TotalTimeSection(s, separator, "fs24", "fs24", Para(FormatReal(s.EvacuationTime, separator), R"(ql\b)", "fs24"));
    text += RtfDocumentEnd();
    document.Write(text);
}

}  // namespace stelmar
