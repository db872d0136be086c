// The canvas pop-up menu and its own commands (the parameters of the
// element under the pointer, a junction inserted into an area, deleting),
// and the keys of the main window.

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include "editor/CanvasHints.h"
#include "editor/CanvasTools.h"
#include "editor/MainWindow.h"
#include "model/SchemeEditing.h"
#include "model/SchemePicking.h"
#include "model/SchemeSelection.h"
#include "model/Scenarios.h"

namespace stelmar {

QAction* CanvasTools::PopupItem(const char* name, const QString& caption)
{
    QAction* item = popup_->addAction(caption);
    item->setObjectName(name);
    return item;
}

// The tool items, "Выделить все" and "Справка" are the window's own
// commands; the items whose state depends on the element under the
// pointer are the menu's.
void CanvasTools::CreatePopupMenu()
{
    auto command = [this](const char* name) { return window_.findChild<QAction*>(name, Qt::FindDirectChildrenOnly); };
    popup_ = new QMenu(&window_);
    popup_->setObjectName("TBXPopupMenu1");

    QMenu* tools = popup_->addMenu("Элементы");
    tools->setObjectName("N34");
    for (const char* name : {"N13", "N19", "N21", "N22", "N23"}) tools->addAction(command(name));
    popup_->addSeparator();

    connect(PopupItem("NPMCopy", "Копировать"), &QAction::triggered, &window_, &TF::CopyCommand);
    connect(PopupItem("NPMCut", "Вырезать"), &QAction::triggered, &window_, &TF::CutCommand);
    connect(PopupItem("NPMPaste", "Вставить"), &QAction::triggered, &window_, &TF::PasteCommand);
    connect(PopupItem("NPMDel", "Удалить"), &QAction::triggered, this, &CanvasTools::DeleteCommand);
    popup_->addSeparator();
    popup_->addAction(command("NSelectAll"));
    connect(PopupItem("TBItem3", "Выделить все связанные элементы"), &QAction::triggered, &window_,
            &TF::SelectConnectedCommand);
    popup_->addSeparator();
    connect(PopupItem("NPMInputNode", "Вставить узел"), &QAction::triggered, this, &CanvasTools::InsertNode);
    connect(PopupItem("NParams", "Параметры"), &QAction::triggered, this, &CanvasTools::ShowParams);
    popup_->addSeparator();
    QAction* exclude = PopupItem("NPMExclude", "Исключить из сценария");
    exclude->setCheckable(true);
    connect(exclude, &QAction::triggered, this, [this](bool excluded) {
        if (const ElementRef e = PointedElement(); e.Kind != ElementKind::None) window_.SetExcluded({e}, excluded);
    });
    QAction* point = PopupItem("NPMCheckPoint", "Контрольная точка сценария");
    point->setCheckable(true);
    connect(point, &QAction::triggered, this, [this](bool on) { window_.SetCheckPoint(NodeAt(S()), on); });
    popup_->addSeparator();
    popup_->addAction(command("N11"));

    connect(popup_, &QMenu::aboutToShow, this, &CanvasTools::UpdatePopupItems);
}

// Both ends of a stair between floors often lie on one spot, and so do
// overlapping nodes: every element under the pointer can be reached from
// here, whatever lies on top.
void CanvasTools::ListStackedElements()
{
    for (QAction* item : stacked_) {
        popup_->removeAction(item);
        // A submenu owns its item; the separator belongs to the menu.
        if (QMenu* menu = item->menu())
            menu->deleteLater();
        else
            item->deleteLater();
    }
    stacked_.clear();
    const TPipeLine& s = S();
    QAction* first = popup_->actions().value(0);
    auto add = [&](const QString& title, auto open, auto select) {
        auto* menu = new QMenu(title, popup_);
        connect(menu->addAction("Параметры"), &QAction::triggered, this, open);
        connect(menu->addAction("Выделить"), &QAction::triggered, this, select);
        QAction* item = menu->menuAction();
        popup_->insertAction(first, item);
        stacked_ << item;
    };
    for (int node : NodesAt(s))
        add(NodeTitle(s, node), [this, node] { OpenNodeParams(node); },
            [this, node] {
                ClearSelection(S());
                S().Nodes[node].Selected = true;
                window_.Draw();
            });
    for (int area : AreasUnder(s))
        add(AreaTitle(s, area), [this, area] { OpenAreaParams(area); },
            [this, area] {
                TPipeLine& scheme = S();
                ClearSelection(scheme);
                scheme.Areas[area].Selected = true;
                window_.Draw();
            });
    if (!stacked_.isEmpty()) {
        QAction* separator = new QAction(popup_);
        separator->setSeparator(true);
        popup_->insertAction(first, separator);
        stacked_ << separator;
    }
}

void CanvasTools::UpdatePopupItems()
{
    ListStackedElements();
    const TPipeLine& s = S();
    const bool nodeHit = NodeAt(s) > 0;
    const bool areaHit = AreaAt(s) > 0;
    auto enable = [this](const char* name, bool enabled) { popup_->findChild<QAction*>(name)->setEnabled(enabled); };
    enable("NPMInputNode", areaHit);
    // The fire scenario items name the active scenario.
    const TScenario& sc = ScenarioAt(s, ActiveScenarioIndex(s));
    const QString scenario = "«" + QString::fromStdString(ScenarioName(s, ActiveScenarioIndex(s))) + "»";
    auto* exclude = popup_->findChild<QAction*>("NPMExclude");
    exclude->setText("Исключить из сценария " + scenario + " (заблокировано пожаром)");
    exclude->setChecked(Excludes(sc, PointedElement()));
    exclude->setEnabled(nodeHit || areaHit);
    const int node = NodeAt(s);
    auto* point = popup_->findChild<QAction*>("NPMCheckPoint");
    point->setText("Контрольная точка сценария " + scenario + " (время блокирования в узле)");
    point->setChecked(node > 0 && NodeTimesOf(sc, node) != nullptr);
    point->setEnabled(node > 0 && s.Nodes[node].Kind != kInput);
    enable("NPMPaste", window_.ClipboardHasCopy());
    for (const char* name : {"NPMCopy", "NPMCut", "NPMDel", "NParams"}) enable(name, nodeHit || areaHit);
}

ElementRef CanvasTools::PointedElement() const
{
    const TPipeLine& s = window_.Scheme();
    if (const int node = NodeAt(s); node > 0) return NodeRef(s, node);
    if (const int area = AreaAt(s); area > 0) return AreaRef(s, area);
    return {};
}

void CanvasTools::ShowParams()
{
    const TPipeLine& s = S();
    if (s.Opened && s.Tool == kPointerTool) OpenParams();
}

// A junction at the pointer splits the area under it.
void CanvasTools::InsertNode()
{
    TPipeLine& s = S();
    if (!s.Opened || s.Tool != kPointerTool || NodeAt(s) > 0) return;
    const int area = AreaAt(s);
    if (area == 0) return;
    SplitRecordedArea(area, s.MouseX, s.MouseY);
}

// The node under the pointer and the selection, or else the area under the
// pointer and the selection, as one step. An area is only looked for when
// no node was: deleting a node must not take an unrelated area passing
// near it.
void CanvasTools::DeleteCommand()
{
    TPipeLine& s = S();
    if (!s.Opened) return;
    if (const int node = NodeAt(s); node > 0)
        s.Nodes[node].Selected = true;
    else if (const int area = AreaAt(s); area > 0)
        s.Areas[area].Selected = true;
    DeleteRecordedSelection();
}

// Z and Y undo and redo on release when their press reached the window
// itself: a press that a shortcut took (Ctrl+Z) never arrives, so its
// release does not undo a second time.
void CanvasTools::KeyPress(int key)
{
    if (key == Qt::Key_Z || key == Qt::Key_Y) historyKeyPressed_ = key;
}

void CanvasTools::KeyRelease(int key)
{
    TPipeLine& s = S();
    if (!s.Opened) return;
    switch (key) {
    case Qt::Key_Delete:
        if (AnySelected(s)) DeleteRecordedSelection();
        break;
    case Qt::Key_Z:
    case Qt::Key_Y:
        if (historyKeyPressed_ == key) window_.findChild<QAction*>(key == Qt::Key_Z ? "Nundo" : "Nrendo")->trigger();
        historyKeyPressed_ = 0;
        break;
    case Qt::Key_Escape:
        window_.SelectTool(kPointerTool);
        s.Dragging = 0;
        s.AreaFrom = 0;
        ClearSelection(s);
        window_.Draw();
        break;
    default: break;
    }
}

// Keys reach the main window when no control of it takes them.
bool CanvasTools::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (!key->isAutoRepeat()) {
            if (event->type() == QEvent::KeyPress) {
                KeyPress(key->key());
            } else {
                KeyRelease(key->key());
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace stelmar
