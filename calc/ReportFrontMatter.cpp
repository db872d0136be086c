#include "calc/ReportFrontMatter.h"

#include <array>

#include "calc/ReportCommon.h"
#include "model/MobilityGroups.h"
#include "model/NumberText.h"
#include "model/ProgramVersion.h"

namespace stelmar {

namespace {

constexpr std::string_view kSignatureLine = "________________________________________";

void Line(BlockStream& out, std::string_view label, std::string_view value)
{
    out.Paragraph(Align::Left, 24, 1).Begin(TokenKind::Strong, 24).Text(label).End().Text(value);
}

}  // namespace

std::string CalculationTimeText(std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    std::array<char, 32> text{};
    const std::size_t n = std::strftime(text.data(), text.size(), "%d.%m.%Y %H:%M", &local);
    return std::string(text.data(), n);
}

std::string CalculationOptionsText(int precision, bool razVr, bool vrSk, bool fullReport)
{
    return "округление чисел до " + std::to_string(precision) +
           "-го знака после запятой; различное время подхода к точке слияния потоков " +
           (razVr ? "учитывается" : "не учитывается") + "; время скопления " +
           (vrSk ? "рассчитывается" : "не рассчитывается") + "; отчет " + (fullReport ? "полный" : "сводный");
}

std::string ProjectTitle(const std::string& fileName)
{
    const std::size_t slash = fileName.find_last_of("/\\");
    std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

void ComposeTitleBlock(const TPipeLine& s, const ReportTitle& title, ReportSink& sink)
{
    BlockStream out(sink);
    ReportBlock& heading = out.Paragraph(Align::Center, 32, 2);
    heading.Bold = true;
    heading.Text("Отчет о расчете времени эвакуации людей");
    Line(out, "Проект: ", ProjectTitle(s.FileName));
    Line(out, "Файл проекта: ", s.FileName);
    Line(out, "Дата и время расчета: ", title.CalculatedAt);
    Line(out, "Программа: ", std::string("Stelmar, версия ") + kProgramVersion);
    Line(out, "Параметры расчета: ", CalculationOptionsText(s.Precision, s.RazVr, s.VrSk, s.FullReport) + ".");
    out.EmptyLine();
    out.EmptyLine();
    Line(out, "Расчет выполнил: ", kSignatureLine);
    out.Paragraph(Align::Left, 18, 2).Text("(должность, фамилия и инициалы, подпись)");
    Line(out, "Организация: ", kSignatureLine);
    out.EmptyLine();
    Line(out, "Дата: ", "«____» ______________ 20____ г.");
    out.Flush();
}

bool FloorHasElements(const TPipeLine& s, int floor)
{
    for (int i = 1; i <= NodeCount(s); ++i)
        if (s.Nodes[i].Etag == floor) return true;
    return false;
}

void ComposeFloorInputs(const TPipeLine& s, int floor, char separator, ReportSink& sink)
{
    if (!FloorHasElements(s, floor)) return;
    const auto num = [separator](double x) { return FormatReal(x, separator); };
    BlockStream out(sink);
    ReportBlock& heading = out.Paragraph(Align::Left, 28, 2);
    heading.Bold = true;
    heading.Text("Этаж " + std::to_string(floor));

    bool inputs = false;
    for (int i = 1; i <= NodeCount(s) && !inputs; ++i)
        inputs = s.Nodes[i].Etag == floor && s.Nodes[i].Kind == kInput;
    if (inputs) {
        out.Paragraph(Align::Left, 24, 1).Text("Входы:");
        out.Row(4, true)
            .Text("Вход")
            .CellEnd()
            .Text("Количество людей N")
            .CellEnd()
            .Text("Площадь проекции человека f, м")
            .Part(TokenKind::Super, "2")
            .CellEnd()
            .Text("Группа мобильности")
            .CellEnd();
        for (int i = 1; i <= NodeCount(s); ++i) {
            const TNode& n = s.Nodes[i];
            if (n.Etag != floor || n.Kind != kInput) continue;
            const int group = n.Mobility < kGroupCount ? n.Mobility : 0;
            out.Row(4, false)
                .Text(NodeLabel(s, i))
                .CellEnd()
                .Text(std::to_string(n.People))
                .CellEnd()
                .Text(num(n.F))
                .CellEnd()
                .Text(kMobilityGroups[group].DialogCaption)
                .CellEnd();
        }
        out.EmptyLine();
    }

    bool areas = false;
    for (int a = 1; a <= AreaCount(s) && !areas; ++a) areas = s.Nodes[s.Areas[a].Node1].Etag == floor;
    if (areas) {
        out.Paragraph(Align::Left, 24, 1).Text("Участки:");
        out.Row(4, true)
            .Text("Участок")
            .CellEnd()
            .Text("Тип")
            .CellEnd()
            .Text("Длина l, м")
            .CellEnd()
            .Text("Ширина ")
            .Greek(kDeltaLetter, 20)
            .Text(", м")
            .CellEnd();
        for (int a = 1; a <= AreaCount(s); ++a) {
            const TArea& area = s.Areas[a];
            if (s.Nodes[area.Node1].Etag != floor) continue;
            out.Row(4, false)
                .Text(AreaLabel(s, area))
                .CellEnd()
                .Text(KindName(area.Kind))
                .CellEnd()
                .Text(num(area.Length))
                .CellEnd()
                .Text(num(area.Width))
                .CellEnd();
        }
        out.EmptyLine();
    }
    out.Flush();
}

}  // namespace stelmar
