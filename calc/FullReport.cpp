// The full report: every step of every flow derived formula by formula.

#include "calc/MovementTables.h"
#include "calc/ReportCommon.h"
#include "calc/ReportWriter.h"
#include "calc/RtfFragments.h"
#include "model/NumberText.h"

namespace stelmar {

namespace {

class FullReportText {
public:
    FullReportText(const TPipeLine& s, char separator) : s_(s), separator_(separator) {}

    void Step(const TReport& r, int k, const FlowOrder& order, std::string& text)
    {
        if (r.StartsFlow) {
            text += Para("Поток №" + std::to_string(k) + R"(\par)", "qc", "fs30");
            text += MergedFlowNote(r, order);
            AreaLines(r, "fs25", footnotePending_ ? "*" : "", text);
            if (r.GroupCode > 1) text += Para(GroupName(r.GroupCode - 1) + R"(.\par)", "ql", "fs24");
            if (r.FirstArea) FirstAreaDerivation(r, text);
        } else {
            AreaLines(r, "fs24", "", text);
        }
        if (!r.FirstArea) Transition(r, text);
    }

private:
    std::string Num(double x) const { return FormatReal(x, separator_); }

    // "Участок A-B", then the line with the kind, l, δ, N and f.
    void AreaLines(const TReport& r, std::string_view deltaSize, std::string_view star, std::string& text) const
    {
        text += Para("Участок " + EscapeLabel(r.FromNode) + "-" + EscapeLabel(r.ToNode) + R"(\par)", R"(ql\ul)",
                     "fs26");
        text += Para(KindName(r.PathKind) + ". l = " + Num(r.Length) + " м, ", "ql", "fs24");
        text += Para(Greek(kDelta, deltaSize) + " = " + Num(r.Width) + " м, ", "ql", "fs24");
        text += Para("N = " + std::to_string(r.People) + ", f = " + Num(r.ProjArea) + R"( м{\super 2})" +
                         std::string(star) + R"(.\par)",
                     "ql", "fs24");
    }

    void FirstAreaDerivation(const TReport& r, std::string& text)
    {
        const std::string people = std::to_string(r.People);
        text += Para(R"(Определим плотность потока (D):\par)", "ql", "fs24");
        text += Equation(R"(D = \\f(N \'b7 f;l \'b7 )" + Greek(kDelta, "fs25") + R"() = \\f()" + people + R"( \'b7 )" +
                         Num(r.ProjArea) + ";" + Num(r.Length) + std::string(kDot) + Num(r.Width) + ") = " +
                         Num(r.Density) + R"( м\\s\\up3(2)/м\\s\\up3(2))");
        text += Para(R"(Определим скорость и интенсивность:\par)", "ql", "fs24");
        text += Equation("v = " + Num(r.Speed) + " м/мин");
        text += Equation("q = " + Num(r.Intensity) + " м/мин");
        text += Para(R"(Рассчитаем время на участке:\par)", "ql", "fs24");
        text += Equation(Greek(kTau, "fs20") + R"( := \\f(l;v) = \\f()" + Num(r.Length) + ";" + Num(r.Speed) +
                         ") = " + Num(r.AreaTime) + " мин.");
        text += Para("Общее время от начала эвакуации " + Num(r.TotalTime) + R"( мин.\par\par)", "ql", "fs24");
        if (footnotePending_) {
            text += Para("*Где l - длина участка," + Greek(kDelta, "fs25") +
                             " - ширина участка, N - количество людей на участке, f - средняя площадь "
                             R"(горизонтальной проекции человека.\par\par)",
                         "ql", "fs18");
            footnotePending_ = false;
        }
    }

    // "(q·δ)" of arriving flow j.
    std::string Term(const TReport& r, int j) const
    {
        return "(" + Num(r.MergedIntensity[j]) + std::string(kDot) + Num(r.MergedWidth[j]) + ")";
    }

    void Transition(const TReport& r, std::string& text) const
    {
        const int entries = ArrivingEntries(r);
        std::string sum;
        std::string terms;
        for (int j = 1; j <= entries; ++j) {
            if (!(r.MergedIntensity[j] > 0)) continue;
            if (j > 1) sum += '+';
            sum += Term(r, j);
            terms += Term(r, j);
        }
        const std::string delta = Greek(kDelta, "fs20");
        const std::string tau = Greek(kTau, "fs20");
        const bool delayed = r.DelayTime > 0;

        text += Para(R"(Определим интенсивность потока (q):\par)", "ql", "fs24");
        text += Equation(R"(q = \\f(\\i\\su(;;q\\s\\do3(i-1) \'b7 )" + delta + R"(\\s\\do3(i-1)); )" + delta +
                         R"(\\s\\do3(i)) = \\f()" + sum + ";" + Num(r.Width) + ") = " + Num(r.RawIntensity) +
                         " м/мин");
        if (delayed) {
            text += Equation(R"(т.к. q>q{\sub max} примем q = q{\sub пред} = )" + Num(r.Intensity) + " м/мин");
            text += Para(R"(\par)", "ql", "fs24");
        }
        text += Para(R"(Определим скорость:\par)", "ql", "fs24");
        if (!delayed) {
            text += Equation("v = " + Num(r.Speed) + " м/мин");
            text += Para(R"(Рассчитаем время на участке: \par)", "ql", "fs24");
            text += Equation(tau + R"( = \\f(l;v) = \\f()" + Num(r.Length) + ";" + Num(r.Speed) + ") = " +
                             Num(r.AreaTime) + " мин. ");
        } else {
            const std::string people = std::to_string(r.People);
            const std::string limit =
                Num(LimitIntensity(r.PathKind, r.GroupCode - 1, r.Width)) + std::string(kDot) + Num(r.Width);
            text += Equation(R"(v{\sub пред} = )" + Num(r.Speed) + " м/мин");
            text += Para(R"(Т.к. интенсивность движения на участке больше максимальной вычислим время задержки: \par)",
                         "ql", "fs24");
            text += Equation(tau + R"({\super з} = N \'b7 f ( \\f(1;q{\sub пред}\'b7)" + delta +
                             R"({\sub i}) - \\f(1;q{\sub i-1}\'b7)" + delta + R"({\sub i-1}) ) = )" + people +
                             R"( \'b7 )" + Num(r.ProjArea) + R"( ( \\f(1;)" + limit + R"() - \\f(1;)" + terms +
                             ") ) = " + Num(r.DelayTime) + " мин.");
            if (s_.VrSk) {
                text += Para(R"(Вычислим время скопления: \par)", "ql", "fs24");
                text += Equation(tau + R"({\sub ск} = \\f(N \'b7 f;q{\sub пред}\'b7)" + delta +
                                 R"({\sub i}) = \\f()" + people + R"( \'b7 )" + Num(r.ProjArea) + ";" + limit +
                                 ") = " + Num(r.AccumTime) + " мин.");
            }
            text += Para(R"(Рассчитаем время на участке: \par)", "ql", "fs24");
            text += Equation(tau + R"( = \\f(l;v{\sub пред}) + )" + tau + R"({\super з} = \\f()" + Num(r.Length) +
                             ";" + Num(r.Speed) + ")+" + Num(r.DelayTime) + " = " + Num(r.AreaTime) + " мин.");
        }
        text += Para("Общее время от начала эвакуации " + Num(r.TotalTime) + R"( мин.\par\par)", "ql", "fs24");
    }

    const TPipeLine& s_;
    char separator_;
    // The star and the footnote explaining l, δ, N and f appear once.
    bool footnotePending_ = true;
};

}  // namespace

void BuildFullReport(const TPipeLine& s, char separator, std::ostream& out)
{
    DocumentOutput document(out);
    const FlowOrder order(s);
    FullReportText report(s, separator);
    document.Write(RtfDocumentStart());
    std::string text;
    for (int k = 1; k <= order.Count(); ++k) {
        text.clear();
        for (int i : order.Steps(k)) report.Step(s.Reports[i], k, order, text);
        document.Write(text);
    }
    text = TotalTimeSection(s, separator, "fs26", "fs26", FormatReal(s.EvacuationTime, separator));
    text += RtfDocumentEnd();
    document.Write(text);
}

}  // namespace stelmar
