#include "editor/ToolbarLayout.h"

#include <QMainWindow>
#include <QToolBar>
#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

namespace stelmar {
namespace {

Qt::ToolBarArea HomeArea(int id)
{
    return id == kTBElements ? Qt::LeftToolBarArea : Qt::TopToolBarArea;
}

Qt::ToolBarArea AreaOfDock(const std::string& dock, int id)
{
    const QString name = QString::fromStdString(dock);
    if (name.compare(kTopDock, Qt::CaseInsensitive) == 0) return Qt::TopToolBarArea;
    if (name.compare(kLeftDock, Qt::CaseInsensitive) == 0) return Qt::LeftToolBarArea;
    return HomeArea(id);
}

// Rank of each value among the distinct values of `values`.
std::map<int, int> Ranks(std::vector<int> values)
{
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    std::map<int, int> ranks;
    for (std::size_t i = 0; i < values.size(); ++i) ranks[values[i]] = static_cast<int>(i);
    return ranks;
}

}  // namespace

void PlaceToolbars(QMainWindow& window, const Toolbars& toolbars, const std::array<ToolbarPlacement, kToolbarCount>& places)
{
    for (QToolBar* bar : toolbars) window.removeToolBar(bar);
    for (const Qt::ToolBarArea area : {Qt::TopToolBarArea, Qt::LeftToolBarArea}) {
        std::vector<std::tuple<int, int, int>> order;  // row, pos, toolbar
        for (int id = 0; id < kToolbarCount; ++id)
            if (AreaOfDock(places[id].Dock, id) == area) order.emplace_back(places[id].Row, places[id].Pos, id);
        std::sort(order.begin(), order.end());
        for (std::size_t i = 0; i < order.size(); ++i) {
            const auto [row, pos, id] = order[i];
            if (i > 0 && std::get<0>(order[i - 1]) != row) window.addToolBarBreak(area);
            window.addToolBar(area, toolbars[id]);
            toolbars[id]->show();
        }
    }
}

std::array<ToolbarPlacement, kToolbarCount> CaptureToolbars(const QMainWindow& window, const Toolbars& toolbars)
{
    std::array<ToolbarPlacement, kToolbarCount> places;
    for (const Qt::ToolBarArea area : {Qt::TopToolBarArea, Qt::LeftToolBarArea}) {
        const bool top = area == Qt::TopToolBarArea;
        // A row of the top dock shares its y, a column of the left dock its x.
        std::vector<int> lines;
        for (QToolBar* bar : toolbars)
            if (!bar->isFloating() && window.toolBarArea(bar) == area) lines.push_back(top ? bar->y() : bar->x());
        const std::map<int, int> rows = Ranks(lines);
        for (int id = 0; id < kToolbarCount; ++id) {
            QToolBar* bar = toolbars[id];
            if (bar->isFloating() || window.toolBarArea(bar) != area) continue;
            const int line = top ? bar->y() : bar->x();
            int pos = 0;
            for (QToolBar* other : toolbars)
                if (other != bar && !other->isFloating() && window.toolBarArea(other) == area &&
                    (top ? other->y() : other->x()) == line && (top ? other->x() < bar->x() : other->y() < bar->y()))
                    ++pos;
            places[id] = ToolbarPlacement{pos, rows.at(line), top ? kTopDock : kLeftDock};
        }
    }
    for (int id = 0; id < kToolbarCount; ++id)
        if (toolbars[id]->isFloating()) places[id] = ToolbarPlacement{0, 0, kFloating};
    return places;
}

}  // namespace stelmar

