#include "editor/CanvasHints.h"

#include <QStringList>

#include "model/NumberText.h"
#include "model/PathKinds.h"

namespace stelmar {

namespace {

QString Real(double x)
{
    return QString::fromStdString(FormatReal(x, DecimalSeparatorFromEnvironment()));
}

}  // namespace

QString NodeTitle(const TPipeLine& s, int node) { return "Узел № " + QString::fromStdString(NodeLabel(s, node)); }

QString AreaTitle(const TPipeLine& s, int area)
{
    const TArea& a = s.Areas[area];
    return "Участок № " + QString::fromStdString(AreaLabel(s, a)) + " (" + PathKindCaption(a.Kind) + ")";
}

QString NodeHint(const TPipeLine& s, int node)
{
    const TNode& n = s.Nodes[node];
    QStringList lines{NodeTitle(s, node), QString("Этаж № %1").arg(n.Etag)};
    if (n.Kind == kInput) {
        lines << QString("Людей: %1 чел.").arg(n.People) << "Средняя площадь: " + Real(n.F) + " м²"
              << "Группа маломобильности: " + QString::fromStdString(MobilityText(n));
    }
    return lines.join('\n');
}

QString AreaHint(const TPipeLine& s, int area)
{
    const TArea& a = s.Areas[area];
    QStringList lines{AreaTitle(s, area)};
    const int floor1 = s.Nodes[a.Node1].Etag;
    const int floor2 = s.Nodes[a.Node2].Etag;
    if (floor1 != floor2) {
        // Seen from the floor of the end that lies on the active floor.
        const int here = floor1 == s.ActiveEtag ? floor1 : floor2;
        const int there = here == floor1 ? floor2 : floor1;
        lines << (there > here ? QString("Спуск с %1-го этажа").arg(there) : QString("Спуск на %1-й этаж").arg(there));
    }
    lines << "Длина: " + Real(a.Length) + " м" << "Ширина: " + Real(a.Width) + " м";
    return lines.join('\n');
}

QString AreaResultsHint(const TPipeLine& s, const ResultsOverlay& results, int area)
{
    const AreaResult* r = results.ResultOf(area);
    if (!r) return QString();
    const FlowResults& all = results.Results();
    QStringList lines{results.Stale() ? "Результаты расчета (устарели):" : "Результаты расчета:"};
    if (r->Steps.empty()) lines << "поток не проходит по участку";
    for (int k : r->Steps) {
        if (k < 1 || k > ReportCount(s)) continue;
        const TReport& step = s.Reports[k];
        lines << QString("Поток %1: N = %2 чел., q = %3 м/мин, v = %4 м/мин, t = %5 мин, задержка %6 мин, "
                             "скопление %7 мин")
                     .arg(k < int(all.FlowNumbers.size()) ? all.FlowNumbers[k] : 0)
                     .arg(step.People)
                     .arg(Real(step.Intensity), Real(step.Speed), Real(step.AreaTime), Real(step.DelayTime),
                          Real(step.AccumTime));
    }
    return lines.join('\n');
}

}  // namespace stelmar
