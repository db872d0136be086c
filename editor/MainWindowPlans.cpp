// The floors' plans in the main window: the scale by two points and its
// display in the status bar, the floors lined up by a point picked on each,
// and the kinds of new areas that take their length from the drawing.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <cmath>

#include "dialogs/DrawnKindsDialog.h"
#include "dialogs/NumberFields.h"
#include "dialogs/ScaleDialog.h"
#include "editor/CanvasTools.h"
#include "editor/MainWindow.h"
#include "editor/Mnemonics.h"
#include "editor/SchemeEdit.h"
#include "model/DrawnLengths.h"
#include "model/FloorAlignment.h"

namespace stelmar {
namespace {

constexpr const char* kScalePrompt1 = "Масштаб по двум точкам: укажите первую точку на плане";
constexpr const char* kScalePrompt2 = "Масштаб по двум точкам: укажите вторую точку на плане";
constexpr const char* kScaleFloorsDiffer = "Обе точки масштаба должны лежать на одном этаже.";
constexpr const char* kScalePointsCoincide = "Точки совпадают: укажите две разные точки на плане.";
constexpr const char* kAlignPrompt1 = "Совместить этажи: укажите точку на этаже, который останется на месте";
constexpr const char* kAlignPrompt2 = "Совместить этажи: выберите другой этаж и укажите на нем ту же точку";
constexpr const char* kAlignOneFloor = "В проекте один этаж: совмещать не с чем.";

// After `after` in `menu`, or at its end.
void InsertAfter(QMenu& menu, const QAction* after, QAction* action)
{
    const QList<QAction*> actions = menu.actions();
    const qsizetype at = actions.indexOf(const_cast<QAction*>(after));
    if (at >= 0 && at + 1 < actions.size())
        menu.insertAction(actions[at + 1], action);
    else
        menu.addAction(action);
}

void InsertAfter(QToolBar& bar, const QAction* after, QAction* action, const char* name)
{
    const QList<QAction*> actions = bar.actions();
    const qsizetype at = actions.indexOf(const_cast<QAction*>(after));
    if (at >= 0 && at + 1 < actions.size())
        bar.insertAction(actions[at + 1], action);
    else
        bar.addAction(action);
    bar.widgetForAction(action)->setObjectName(name);
}

// The status-bar text of a floor's scale.
QString FloorScaleText(double scale)
{
    if (!(scale > 0)) return "Масштаб не задан";
    return QString("Масштаб: 1 м = %1 точек").arg(NumberText(RoundTo3(1 / scale)));
}

}  // namespace

// "Масштаб по двум точкам" and "Совместить этажи" in the "Операции" menu
// after the area lengths, and as buttons beside theirs, then "Длины по
// чертежу..."; the scale of the active floor in the status bar.
void TF::CreatePlanCommands()
{
    QAction* scale = AddButton("MMScale", "scale",
                               "Масштаб по двум точкам | Задать масштаб этажа: две точки на плане и расстояние "
                               "между ними");
    connect(scale, &QAction::triggered, this, &TF::ScaleCommand);
    auto* operations = findChild<QMenu*>("MMOperations");
    QString taken = TakenMnemonics(*operations);
    const QString caption = scale->text();
    InsertAfter(*operations, Command("MMCalcL"), scale);
    scale->setText(WithMnemonic(caption, taken));
    InsertAfter(*toolbars_[kTBcalculate], Command("TBItem2"), scale, "TBScale");

    QAction* align = AddButton("MMAlignFloors", "align-floors",
                               "Совместить этажи | Сдвинуть этаж так, чтобы указанная на нем точка совпала с той же "
                               "точкой другого этажа");
    connect(align, &QAction::triggered, this, &TF::AlignFloorsCommand);
    InsertAfter(*operations, scale, align);
    align->setText(WithMnemonic(align->text(), taken));
    InsertAfter(*toolbars_[kTBcalculate], scale, align, "TBAlignFloors");

    QAction* kinds = AddCommand("MMDrawnKinds", "Длины по чертежу...");
    kinds->setStatusTip("Виды участков, которые получают длину по чертежу");
    connect(kinds, &QAction::triggered, this, &TF::DrawnKindsCommand);
    InsertAfter(*operations, align, kinds);
    kinds->setText(WithMnemonic(kinds->text(), taken));

    scalePanel_ = new QLabel(statusBar());
    scalePanel_->setObjectName("StatusPanel7");
    scalePanel_->setFrameShape(QFrame::StyledPanel);
    scalePanel_->setFrameShadow(QFrame::Sunken);
    statusBar()->addPermanentWidget(scalePanel_);
    CreateDxfCommands();
}

void TF::ScaleCommand()
{
    if (!scheme_.Opened) return;
    tools_->PickPoints({kScalePrompt1, kScalePrompt2}, [this](const std::vector<PickedPoint>& points) {
        SetScaleFromPoints(points[0], points[1]);
    });
}

// The distance between the points is asked; a new scale is one step, and
// the lengths taken from the drawing on that floor follow it.
void TF::SetScaleFromPoints(const PickedPoint& first, const PickedPoint& second)
{
    if (first.Floor != second.Floor) {
        prompts_->ShowWarning(kScaleFloorsDiffer);
        return;
    }
    const double pixels = std::hypot(second.At.x() - first.At.x(), second.At.y() - first.At.y());
    if (!(pixels > 0)) {
        prompts_->ShowWarning(kScalePointsCoincide);
        return;
    }
    TFloorPlan& plan = scheme_.Plans[first.Floor];
    const std::optional<double> scale = dialogs_.Scale ? dialogs_.Scale->AskScale(pixels, plan.Scale) : std::nullopt;
    if (!scale || *scale == plan.Scale) return;
    const SchemeEdit edit(*this, "масштаб этажа №" + std::to_string(first.Floor));
    plan.Scale = *scale;
}

void TF::AlignFloorsCommand()
{
    if (!scheme_.Opened) return;
    if (scheme_.EtagCount < 2) {
        prompts_->ShowWarning(kAlignOneFloor);
        return;
    }
    tools_->PickPoints({kAlignPrompt1, kAlignPrompt2}, [this](const std::vector<PickedPoint>& points) {
        AlignFloorsAt(points[0], points[1]);
    });
}

// The floor of the second point moves onto the first (or the first the
// other way, where the second has no room): one step.
void TF::AlignFloorsAt(const PickedPoint& fixed, const PickedPoint& moved)
{
    const FloorPoint from{fixed.Floor, fixed.At.x(), fixed.At.y()};
    const FloorPoint to{moved.Floor, moved.At.x(), moved.At.y()};
    std::optional<std::string> refusal;
    {
        const SchemeEdit edit(*this, "совмещение этажей №" + std::to_string(fixed.Floor) + " и №" +
                                         std::to_string(moved.Floor));
        refusal = AlignFloors(scheme_, from, to);
    }
    if (refusal) prompts_->ShowWarning(QString::fromStdString(*refusal));
}

// The kinds are the project's own: a change is one step.
void TF::DrawnKindsCommand()
{
    if (!scheme_.Opened || !dialogs_.DrawnKinds) return;
    const std::optional<std::uint8_t> kinds = dialogs_.DrawnKinds->AskKinds(scheme_.DrawnKinds);
    if (!kinds || *kinds == scheme_.DrawnKinds) return;
    const SchemeEdit edit(*this, "виды участков с длиной по чертежу");
    scheme_.DrawnKinds = *kinds;
}

void TF::ShowScale()
{
    if (scalePanel_) scalePanel_->setText(scheme_.Opened ? FloorScaleText(scheme_.Plans[scheme_.ActiveEtag].Scale) : "");
}

}  // namespace stelmar
