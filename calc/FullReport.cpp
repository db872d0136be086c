// The full report: every step of every flow derived formula by formula.

#include "calc/BlockRecorder.h"
#include "calc/MovementTables.h"
#include "calc/ReportCommon.h"
#include "calc/ReportWriter.h"
#include "calc/RtfReport.h"
#include "model/NumberText.h"

namespace stelmar {

namespace {

constexpr Align kLeft = Align::Left;

// Composes the steps into a BlockStream, or records them into a
// BlockRecorder; numbers and labels go in as values.
template <class Out>
class FullReportText {
public:
    FullReportText(const TPipeLine& s, char separator, Out& out) : s_(s), reals_(separator), out_(out) {}

    void Step(const TReport& r, int k, const FlowOrder& order)
    {
        if (r.StartsFlow) {
            out_.Paragraph(Align::Center, 30, 1).Text("Поток №").Value(std::to_string(k));
            MergedFlowNote(r, order, out_);
            AreaLines(r, 25, footnotePending_ ? "*" : "");
            if (r.GroupCode > 1) out_.Paragraph(kLeft, 24, 1).Value(GroupName(r.GroupCode - 1)).Text(".");
            if (r.FirstArea) FirstAreaDerivation(r);
        } else {
            AreaLines(r, 24, "");
        }
        if (!r.FirstArea) Transition(r);
    }

private:
    std::string Num(double x) { return reals_.Of(x); }

    // "Участок A-B", then the line with the kind, l, δ, N and f.
    void AreaLines(const TReport& r, std::uint8_t deltaSize, std::string_view star)
    {
        out_.Paragraph(kLeft, 26, 1, true).Text("Участок ").Value(FromLabel(s_, r)).Text("-").Value(ToLabel(s_, r));
        out_.Paragraph(kLeft, 24).Value(KindName(r.PathKind)).Text(". l = ").Value(Num(r.Length)).Text(" м, ");
        out_.Paragraph(kLeft, 24).Greek(kDeltaLetter, deltaSize).Text(" = ").Value(Num(r.Width)).Text(" м, ");
        out_.Paragraph(kLeft, 24, 1)
            .Text("N = ")
            .Value(std::to_string(r.People))
            .Text(", f = ")
            .Value(Num(r.ProjArea))
            .Text(" м")
            .Part(TokenKind::Super, "2")
            .Text(star)
            .Text(".");
    }

    // "N · f" with the numbers put in.
    template <class Block>
    void Product(Block& b, std::int32_t people, double f)
    {
        b.Value(std::to_string(people)).Text(" ").Dot().Text(" ").Value(Num(f));
    }

    void FirstAreaDerivation(const TReport& r)
    {
        out_.Paragraph(kLeft, 24, 1).Text("Определим плотность потока (D):");
        auto& density = out_.Equation();
        density.Text("D = ").Begin(TokenKind::Fraction).Text("N ").Dot().Text(" f").Bar().Text("l ").Dot().Text(" ");
        density.Greek(kDeltaLetter, 25).End().Text(" = ").Begin(TokenKind::Fraction);
        Product(density, r.People, r.ProjArea);
        density.Bar().Value(Num(r.Length)).Dot().Value(Num(r.Width)).End();
        density.Text(" = ").Value(Num(r.Density)).Text(" м").Part(TokenKind::Raised, "2").Text("/м").Part(TokenKind::Raised, "2");

        out_.Paragraph(kLeft, 24, 1).Text("Определим скорость и интенсивность:");
        out_.Equation().Text("v = ").Value(Num(r.Speed)).Text(" м/мин");
        out_.Equation().Text("q = ").Value(Num(r.Intensity)).Text(" м/мин");
        out_.Paragraph(kLeft, 24, 1).Text("Рассчитаем время на участке:");
        auto& time = out_.Equation();
        time.Greek(kTauLetter, 20).Text(" := ");
        Fraction(time, "l", "v").Text(" = ");
        Fraction(time, r.Length, r.Speed).Text(" = ").Value(Num(r.AreaTime)).Text(" мин.");
        TotalTime(r);
        if (footnotePending_) {
            out_.Paragraph(kLeft, 18, 2)
                .Text("*Где l - длина участка,")
                .Greek(kDeltaLetter, 25)
                .Text(" - ширина участка, N - количество людей на участке, f - средняя площадь "
                      "горизонтальной проекции человека.");
            footnotePending_ = false;
        }
    }

    template <class Block>
    static Block& Fraction(Block& b, std::string_view numerator, std::string_view denominator)
    {
        return b.Begin(TokenKind::Fraction).Text(numerator).Bar().Text(denominator).End();
    }

    template <class Block>
    Block& Fraction(Block& b, double numerator, double denominator)
    {
        return b.Begin(TokenKind::Fraction).Value(Num(numerator)).Bar().Value(Num(denominator)).End();
    }

    void TotalTime(const TReport& r)
    {
        out_.Paragraph(kLeft, 24, 2).Text("Общее время от начала эвакуации ").Value(Num(r.TotalTime)).Text(" мин.");
    }

    // "q_пред·δ_i" or "q_{i-1}·δ_{i-1}" of the delay formulas.
    template <class Block>
    static void Capacity(Block& b, std::string_view qIndex, std::string_view deltaIndex)
    {
        b.Text("q").Part(TokenKind::Sub, qIndex).Dot().Greek(kDeltaLetter, 20).Part(TokenKind::Sub, deltaIndex);
    }

    // The arriving flows' "(q·δ)" joined by "+": the sum the transition
    // divides and the delay takes the reciprocal of.
    template <class Block>
    void ArrivingSum(Block& b, const TReport& r)
    {
        const int entries = ArrivingEntries(r);
        for (int j = 0; j < entries; ++j) {
            const TMergedFlow& m = r.Merged[j];
            if (!(m.Intensity > 0)) continue;
            if (j > 0) b.Text("+");
            b.Text("(").Value(Num(m.Intensity)).Dot().Value(Num(m.Width)).Text(")");
        }
    }

    void Transition(const TReport& r)
    {
        const bool delayed = r.DelayTime > 0;

        out_.Paragraph(kLeft, 24, 1).Text("Определим интенсивность потока (q):");
        auto& q = out_.Equation();
        q.Text("q = ").Begin(TokenKind::Fraction).Begin(TokenKind::Sum).Text("q").Part(TokenKind::Lowered, "i-1");
        q.Text(" ").Dot().Text(" ").Greek(kDeltaLetter, 20).Part(TokenKind::Lowered, "i-1").End();
        q.Bar().Text(" ").Greek(kDeltaLetter, 20).Part(TokenKind::Lowered, "i").End();
        q.Text(" = ").Begin(TokenKind::Fraction);
        ArrivingSum(q, r);
        q.Bar().Value(Num(r.Width)).End().Text(" = ").Value(Num(r.RawIntensity)).Text(" м/мин");
        if (delayed) {
            out_.Equation()
                .Text("т.к. q>q")
                .Part(TokenKind::Sub, "max")
                .Text(" примем q = q")
                .Part(TokenKind::Sub, "пред")
                .Text(" = ")
                .Value(Num(r.Intensity))
                .Text(" м/мин");
            out_.Paragraph(kLeft, 24, 1);
        }
        out_.Paragraph(kLeft, 24, 1).Text("Определим скорость:");
        if (!delayed) {
            out_.Equation().Text("v = ").Value(Num(r.Speed)).Text(" м/мин");
            out_.Paragraph(kLeft, 24, 1).Text("Рассчитаем время на участке: ");
            auto& time = out_.Equation();
            time.Greek(kTauLetter, 20).Text(" = ");
            Fraction(time, "l", "v").Text(" = ");
            Fraction(time, r.Length, r.Speed).Text(" = ").Value(Num(r.AreaTime)).Text(" мин. ");
        } else {
            Delay(r);
        }
        TotalTime(r);
    }

    // The delay and accumulation use the N and f of the whole stream that
    // passes the area together, as the calculation does.
    void Delay(const TReport& r)
    {
        const std::string limit = Num(LimitIntensity(r.PathKind, r.GroupCode - 1, r.Width));
        out_.Equation().Text("v").Part(TokenKind::Sub, "пред").Text(" = ").Value(Num(r.Speed)).Text(" м/мин");
        out_.Paragraph(kLeft, 24, 1)
            .Text("Т.к. интенсивность движения на участке больше максимальной вычислим время задержки: ");
        auto& delay = out_.Equation();
        delay.Greek(kTauLetter, 20).Part(TokenKind::Super, "з").Text(" = N ").Dot().Text(" f ( ");
        delay.Begin(TokenKind::Fraction).Text("1").Bar();
        Capacity(delay, "пред", "i");
        delay.End().Text(" - ").Begin(TokenKind::Fraction).Text("1").Bar();
        Capacity(delay, "i-1", "i-1");
        delay.End().Text(" ) = ");
        Product(delay, r.StreamPeople, r.StreamProjArea);
        delay.Text(" ( ").Begin(TokenKind::Fraction).Text("1").Bar().Value(limit).Dot().Value(Num(r.Width)).End();
        delay.Text(" - ").Begin(TokenKind::Fraction).Text("1").Bar();
        ArrivingSum(delay, r);
        delay.End().Text(" ) = ").Value(Num(r.DelayTime)).Text(" мин.");
        if (s_.VrSk) {
            out_.Paragraph(kLeft, 24, 1).Text("Вычислим время скопления: ");
            auto& accumulation = out_.Equation();
            accumulation.Greek(kTauLetter, 20).Part(TokenKind::Sub, "ск").Text(" = ");
            accumulation.Begin(TokenKind::Fraction).Text("N ").Dot().Text(" f").Bar();
            Capacity(accumulation, "пред", "i");
            accumulation.End().Text(" = ").Begin(TokenKind::Fraction);
            Product(accumulation, r.StreamPeople, r.StreamProjArea);
            accumulation.Bar().Value(limit).Dot().Value(Num(r.Width)).End();
            accumulation.Text(" = ").Value(Num(r.AccumTime)).Text(" мин.");
        }
        out_.Paragraph(kLeft, 24, 1).Text("Рассчитаем время на участке: ");
        auto& time = out_.Equation();
        time.Greek(kTauLetter, 20).Text(" = ").Begin(TokenKind::Fraction).Text("l").Bar().Text("v");
        time.Part(TokenKind::Sub, "пред").End().Text(" + ").Greek(kTauLetter, 20).Part(TokenKind::Super, "з");
        time.Text(" = ");
        Fraction(time, r.Length, r.Speed).Text("+").Value(Num(r.DelayTime)).Text(" = ").Value(Num(r.AreaTime)).Text(" мин.");
    }

    const TPipeLine& s_;
    RealTexts reals_;
    Out& out_;
    // The star and the footnote explaining l, δ, N and f appear once.
    bool footnotePending_ = true;
};

}  // namespace

void ComposeFullReport(const TPipeLine& s, char separator, ReportSink& sink)
{
    BlockStream out(sink);
    const FlowOrder order(s);
    FullReportText<BlockStream> report(s, separator, out);
    const std::int64_t steps = ReportCount(s);
    std::int64_t done = 0;
    for (int k = 1; k <= order.Count(); ++k) {
        for (int i : order.Steps(k)) report.Step(s.Reports[i], k, order);
        done += static_cast<std::int64_t>(order.Steps(k).size());
        out.Progress(done, steps);
    }
    TotalTimeSection(s, separator, 26, 26, false, out);
    out.Flush();
}

// The same blocks, each step recorded and set by the writer once per shape.
void BuildFullReport(const TPipeLine& s, char separator, std::ostream& out)
{
    RtfReportWriter writer(out);
    const FlowOrder order(s);
    BlockRecorder step;
    FullReportText<BlockRecorder> report(s, separator, step);
    for (int k = 1; k <= order.Count(); ++k) {
        for (int i : order.Steps(k)) {
            step.Clear();
            report.Step(s.Reports[i], k, order);
            writer.Add(step);
        }
    }
    BlockStream closing(writer);
    TotalTimeSection(s, separator, 26, 26, false, closing);
    closing.Flush();
    writer.Finish();
}

}  // namespace stelmar
