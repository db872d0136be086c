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
        lines << QString("Людей: %1").arg(n.People) << "Средняя площадь: " + Real(n.F)
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
    lines << "Длина :" + Real(a.Length) << "Ширина :" + Real(a.Width);
    return lines.join('\n');
}

}  // namespace stelmar
