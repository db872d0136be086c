#include "editor/CanvasHints.h"

#include <QStringList>

#include "model/NumberText.h"

namespace stelmar {

namespace {

QString Real(double x)
{
    return QString::fromStdString(FormatReal(x, DecimalSeparatorFromEnvironment()));
}

QString PathKindText(int kind)
{
    switch (kind) {
    case kHorizontal: return "Горизонтальный путь";
    case kStairsDown: return "Лестница вниз";
    case kStairsUp: return "Лестница вверх";
    case kDoorway: return "Дверной проем";
    case kRampDown: return "Пандус вниз";
    case kRampUp: return "Пандус вверх";
    default: return QString();
    }
}

}  // namespace

QString NodeHint(const TPipeLine& s, int node)
{
    const TNode& n = s.Nodes[node];
    QStringList lines{"Узел № " + QString::fromStdString(NodeLabel(s, node)), QString("Этаж № %1").arg(n.Etag)};
    if (n.Kind == kInput) {
        lines << QString("Людей: %1").arg(n.People) << "Средняя площадь: " + Real(n.F)
              << "Группа маломобильности: " + QString::fromStdString(MobilityText(n));
    }
    return lines.join('\n');
}

QString AreaHint(const TPipeLine& s, int area)
{
    const TArea& a = s.Areas[area];
    QStringList lines{"Участок № " + QString::fromStdString(AreaLabel(s, a)) + " (" + PathKindText(a.Kind) + ")"};
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
