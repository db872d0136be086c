// DXF plans of the floors in the main window: the panel of the active
// floor's layers, and nodes snapping to the plan's end points and crossings.

#include <QAction>
#include <QDockWidget>
#include <QIcon>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <algorithm>
#include <cmath>

#include "editor/MainWindow.h"
#include "editor/Mnemonics.h"
#include "editor/SchemeEdit.h"
#include "model/SchemeEditing.h"
#include "plans/DxfPlan.h"
#include "plans/PlanSnapping.h"

namespace stelmar {
namespace {

constexpr double kSnapPixels = 8;  // how near (screen pixels) a node snaps to the plan

}  // namespace

// "Привязка к плану" in "Вид" after the grid's "Привязка"; the panel of
// the plan's layers, shown while the active floor has a DXF plan.
void TF::CreateDxfCommands()
{
    auto* snap = new QAction("Привязка к плану", this);
    snap->setObjectName("NPlanSnap");
    snap->setStatusTip("Ставить узлы в концы и пересечения линий плана DXF");
    snap->setCheckable(true);
    snap->setChecked(planSnap_);
    connect(snap, &QAction::toggled, this, [this](bool on) { planSnap_ = on; });
    auto* view = findChild<QMenu*>("N7");
    QString taken = TakenMnemonics(*view);
    snap->setText(WithMnemonic(snap->text(), taken));
    const QList<QAction*> actions = view->actions();
    const qsizetype at = actions.indexOf(Command("N9"));
    view->insertAction(at >= 0 && at + 1 < actions.size() ? actions[at + 1] : nullptr, snap);

    layersDock_ = new QDockWidget("Слои плана", this);
    layersDock_->setObjectName("PlanLayersDock");
    layersList_ = new QListWidget(layersDock_);
    layersList_->setObjectName("PlanLayers");
    layersDock_->setWidget(layersList_);
    addDockWidget(Qt::RightDockWidgetArea, layersDock_);
    layersDock_->hide();
    connect(layersList_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!fillingLayers_) ShowPlanLayer(item->text().toStdString(), item->checkState() == Qt::Checked);
    });
}

// The active floor's DXF plan with its hidden layers; null when the floor
// has none or it cannot be drawn.
const DxfPlan* TF::ActiveDxfPlan()
{
    if (!scheme_.Opened) return nullptr;
    return dynamic_cast<const DxfPlan*>(plans_->Shown(scheme_.Plans[scheme_.ActiveEtag]).get());
}

// The layer list follows the active floor, its plan and its hidden layers
// (also through undo and redo); it is filled again, and the panel shown or
// hidden, only when they change, so that a panel the user closed stays so.
void TF::ShowPlanLayers()
{
    const DxfPlan* dxf = ActiveDxfPlan();
    const PlanDrawing* drawing = dxf ? &dxf->Drawing() : nullptr;
    const LayerListState state{scheme_.ActiveEtag, drawing, dxf ? scheme_.Plans[scheme_.ActiveEtag].HiddenLayers
                                                                : std::vector<std::string>{}};
    if (state == shownLayers_) return;
    const bool sameDrawing = state.Floor == shownLayers_.Floor && state.Drawing == shownLayers_.Drawing;
    shownLayers_ = state;
    if (!sameDrawing) {
        layersDock_->setVisible(drawing != nullptr);
        // Layer names are short: the panel leaves the drawing most of the
        // window when it first appears.
        if (drawing && !layersDockSized_) {
            resizeDocks({layersDock_}, {220}, Qt::Horizontal);
            layersDockSized_ = true;
        }
    }
    fillingLayers_ = true;
    layersList_->clear();
    if (drawing) {
        for (std::size_t i = 0; i < drawing->Layers.size(); ++i) {
            const PlanLayer& layer = drawing->Layers[i];
            QPixmap swatch(12, 12);
            swatch.fill(QColor::fromRgb(layer.Color >> 16 & 0xFF, layer.Color >> 8 & 0xFF, layer.Color & 0xFF));
            auto* item = new QListWidgetItem(QIcon(swatch), QString::fromStdString(layer.Name), layersList_);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(dxf->Shown()[i] ? Qt::Checked : Qt::Unchecked);
        }
    }
    fillingLayers_ = false;
}

// Showing or hiding a layer is one step; the floor's picture follows it.
void TF::ShowPlanLayer(const std::string& layer, bool shown)
{
    std::vector<std::string> hidden = scheme_.Plans[scheme_.ActiveEtag].HiddenLayers;
    const auto at = std::lower_bound(hidden.begin(), hidden.end(), layer);
    const bool isHidden = at != hidden.end() && *at == layer;
    if (shown == !isHidden) return;
    if (shown)
        hidden.erase(at);
    else
        hidden.insert(at, layer);
    const SchemeEdit edit(*this, (shown ? "показ слоя " : "скрытие слоя ") + layer);
    scheme_.Plans[scheme_.ActiveEtag].HiddenLayers = std::move(hidden);
}

// The nearest end point or crossing of the plan's lines on the layers
// shown, within a few screen pixels of canvas point (x, y); nullopt when
// snapping is off, the floor has no DXF plan or nothing is near.
std::optional<QPoint> TF::PlanSnapPoint(int x, int y)
{
    const DxfPlan* dxf = planSnap_ ? ActiveDxfPlan() : nullptr;
    const TFloorPlan& plan = scheme_.Plans[scheme_.ActiveEtag];
    if (!dxf || !(plan.PixelsPerUnit > 0)) return std::nullopt;
    const QPointF corner(plan.OriginX + plan.OffsetX, plan.OriginY + plan.OffsetY);
    const PlanPoint near = dxf->FromPlan((QPointF(x, y) - corner) / plan.PixelsPerUnit);
    const double radius = kSnapPixels / (scheme_.Zoom > 0 ? scheme_.Zoom : 1) / plan.PixelsPerUnit;
    const std::optional<PlanPoint> point = SnapPoint(dxf->Drawing(), dxf->Shown(), near, radius);
    if (!point) return std::nullopt;
    return (corner + dxf->ToPlan(*point) * plan.PixelsPerUnit).toPoint();
}

// A new node moves alone, its position taken as the start of the next
// move; a dragged one takes the rest of the drag along.
void TF::SnapNodesToPlan(int taken, bool dragged)
{
    if (taken < 1 || taken > NodeCount(scheme_)) return;
    const TNode& node = scheme_.Nodes[taken];
    if (node.Etag != scheme_.ActiveEtag) return;
    const std::vector<int> moved = dragged ? MovedNodes(scheme_) : std::vector<int>{taken};
    if (std::find(moved.begin(), moved.end(), taken) == moved.end()) return;
    const std::optional<QPoint> point = PlanSnapPoint(node.X, node.Y);
    if (!point) return;
    const int dx = point->x() - node.X, dy = point->y() - node.Y;
    for (const int i : moved) {
        TNode& n = scheme_.Nodes[i];
        if (n.Etag != scheme_.ActiveEtag) continue;
        n.X = std::max(0, n.X + dx);
        n.Y = std::max(0, n.Y + dy);
        if (!dragged) {
            n.SavedX = n.X;
            n.SavedY = n.Y;
        }
    }
}

}  // namespace stelmar
