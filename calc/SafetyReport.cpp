#include "calc/SafetyReport.h"

#include "calc/ReportCommon.h"
#include "model/NumberText.h"
#include "model/Scenarios.h"

namespace stelmar {

namespace {

constexpr Align kLeft = Align::Left;

class SafetySection {
public:
    SafetySection(const TPipeLine& drawn, const ScenarioRun& run, char separator, BlockStream& out)
        : drawn_(drawn), run_(run), scenario_(ScenarioAt(drawn, run.Index)), separator_(separator), out_(out)
    {
    }

    void Heading()
    {
        // The derivation's last line has no line end of its own.
        out_.EmptyLine();
        out_.EmptyLine();
        out_.Paragraph(kLeft, 26, 2, true).Text("Проверка условия безопасной эвакуации");
        ReportBlock& condition = out_.Paragraph(kLeft, 24, 1);
        condition.Text("Условие безопасной эвакуации: ");
        Sum(condition, "р");
        condition.Text(" ≤ " + Num(0.8)).Dot();
        Time(condition, "бл").Text(", время существования скоплений людей ");
        Time(condition, "ск").Text(" ≤ " + Num(kMaxAccumulationTime) + " мин.");
        ReportBlock& times = out_.Paragraph(kLeft, 24, 2);
        Time(times, "нэ").Text(" = " + Num(scenario_.StartDelay) + " мин, ");
        Time(times, "бл");
        times.Text(scenario_.BlockTime ? " = " + Num(*scenario_.BlockTime) + " мин." : " не задано.");
    }

    void Derivation()
    {
        for (const InputCheck& c : run_.Check.Inputs) Input(c);
        for (const PointCheck& p : run_.Check.Points) Point(p);
    }

    void Table()
    {
        const SafetyCheck& check = run_.Check;
        out_.Paragraph(kLeft, 24, 1).Text("Сводная таблица проверки условия:");
        ReportBlock& head = out_.Row(9, true);
        head.Text("Вход").CellEnd().Text("N").CellEnd();
        for (const char* index : {"р", "нэ", "бл"}) Time(head, index).Text(", мин").CellEnd();
        head.Text(Num(0.8)).Dot();
        Time(head, "бл").Text(", мин").CellEnd();
        Sum(head, "р").Text(", мин").CellEnd();
        Time(head, "ск").Text(", мин").CellEnd().Text("Вывод").CellEnd();
        for (const InputCheck& c : check.Inputs) {
            const bool checked = c.BlockTime.has_value() && c.Result != Verdict::NotChecked;
            out_.Row(9, false)
                .Text(c.Label)
                .CellEnd()
                .Text(std::to_string(c.People))
                .CellEnd()
                .Text(Num(c.EvacuationTime))
                .CellEnd()
                .Text(Num(c.StartDelay))
                .CellEnd()
                .Text(c.BlockTime ? Num(*c.BlockTime) : "-")
                .CellEnd()
                .Text(checked ? Num(c.Allowed) : "-")
                .CellEnd()
                .Text(Num(c.Total))
                .CellEnd()
                .Text(Num(c.AccumTime))
                .CellEnd()
                .Text(VerdictText(c.Result))
                .CellEnd();
        }
        out_.EmptyLine();
        ReportBlock& verdict = out_.Paragraph(kLeft, 24, 2);
        verdict.Bold = true;
        verdict.Text("Условие безопасной эвакуации" + ScenarioWords());
        switch (check.Result) {
        case Verdict::Met: verdict.Text(" выполняется."); break;
        case Verdict::Failed: verdict.Text(" не выполняется."); break;
        default:
            verdict.Text(" не проверено: не задано время блокирования путей эвакуации ");
            Time(verdict, "бл").Text(".");
            break;
        }
    }

private:
    std::string Num(double x) const { return FormatReal(x, separator_); }

    std::string ScenarioWords() const
    {
        return ScenarioCount(drawn_) > 1 ? " в сценарии «" + run_.Name + "»" : "";
    }

    static ReportBlock& Time(ReportBlock& b, std::string_view index) { return b.Text("t").Part(TokenKind::Sub, index); }

    // "t_р + t_нэ", or "t + t_нэ" for a check point.
    static ReportBlock& Sum(ReportBlock& b, std::string_view index)
    {
        if (index.empty()) b.Text("t");
        else Time(b, index);
        return Time(b.Text(" + "), "нэ");
    }

    // "… = a + b = c мин ≤ 0,8 · t_бл = 0,8 · x = y мин"
    void Condition(std::string_view index, double time, double delay, double total, bool met, double block,
                   double allowed)
    {
        ReportBlock& e = out_.Equation();
        Sum(e, index).Text(" = " + Num(time) + " + " + Num(delay) + " = " + Num(total) + " мин");
        e.Text((met ? " ≤ " : " > ") + Num(0.8) + " ").Dot().Text(" ");
        Time(e, "бл").Text(" = " + Num(0.8) + " ").Dot().Text(" " + Num(block) + " = " + Num(allowed) + " мин");
    }

    void Input(const InputCheck& c)
    {
        out_.Paragraph(kLeft, 24, 1).Text("Вход №" + c.Label + " (N = " + std::to_string(c.People) + "):");
        const bool checked = c.BlockTime.has_value() && c.Result != Verdict::NotChecked;
        if (checked) {
            Condition("р", c.EvacuationTime, c.StartDelay, c.Total, c.TimeMet, *c.BlockTime, c.Allowed);
        } else {
            ReportBlock& p = out_.Paragraph(kLeft, 24, 1);
            Time(p, "р").Text(" = " + Num(c.EvacuationTime) + " мин; время блокирования ");
            Time(p, "бл").Text(" не задано, условие по времени не проверяется.");
        }
        ReportBlock& accumulation = out_.Equation();
        Time(accumulation, "ск")
            .Text(" = " + Num(c.AccumTime) + " мин" + (c.AccumulationMet ? " ≤ " : " > ") + Num(kMaxAccumulationTime) +
                  " мин");
        out_.Paragraph(kLeft, 24, 2).Text(std::string("Условие ") + VerdictText(c.Result) + ".");
    }

    void Point(const PointCheck& p)
    {
        out_.Paragraph(kLeft, 24, 1)
            .Text("Узел №" + p.Label + ", поток №" + std::to_string(p.Flow) + " (N = " + std::to_string(p.People) +
                  "):");
        Condition("", p.PassTime, p.StartDelay, p.Total, p.Result == Verdict::Met, p.BlockTime, p.Allowed);
        out_.Paragraph(kLeft, 24, 2).Text(std::string("Условие ") + VerdictText(p.Result) + ".");
    }

    const TPipeLine& drawn_;
    const ScenarioRun& run_;
    const TScenario& scenario_;
    char separator_;
    BlockStream& out_;
};

const char* NodeWord(const TNode& n)
{
    switch (n.Kind) {
    case kInput: return "вход";
    case kExit: return "выход";
    default: return "узел";
    }
}

}  // namespace

std::string ExcludedText(const TPipeLine& drawn, const TScenario& scenario)
{
    std::string text;
    const auto add = [&text](const std::string& item) {
        if (!text.empty()) text += ", ";
        text += item;
    };
    for (const int n : scenario.ExcludedNodes)
        if (n >= 1 && n <= NodeCount(drawn)) add(std::string(NodeWord(drawn.Nodes[n])) + " №" + NodeLabel(drawn, n));
    for (const int a : scenario.ExcludedAreas)
        if (a >= 1 && a <= AreaCount(drawn)) add("участок №" + AreaLabel(drawn, drawn.Areas[a]));
    return text;
}

void ComposeSafetySection(const TPipeLine& drawn, const ScenarioRun& run, bool full, char separator,
                          ReportSink& sink)
{
    BlockStream out(sink);
    SafetySection section(drawn, run, separator, out);
    section.Heading();
    if (full) section.Derivation();
    section.Table();
    out.Flush();
}

}  // namespace stelmar
