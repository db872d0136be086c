// The command table of the main window: its menus, toolbars and buttons,
// and the handler each entry runs.

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <vector>

#include "dialogs/AboutBox.h"
#include "dialogs/CalculationDialog.h"
#include "dialogs/PrintDialog.h"
#include "dialogs/ServiceCalculationDialog.h"
#include "dialogs/SettingsDialog.h"
#include "editor/CanvasWidget.h"
#include "dialogs/Icons.h"
#include "editor/MainWindow.h"
#include "editor/Mnemonics.h"
#include "model/NumberText.h"
#include "model/UserFolders.h"

namespace stelmar {
namespace {

struct MenuCommand {
    const char* Name;
    const char* Caption;
    const char* Shortcut;
    const char* Icon;
};

// The items of the menu bar, in menu order; a null name separates groups.
struct MenuDefinition {
    const char* Name;
    const char* Caption;
    std::vector<MenuCommand> Items;
};

const std::vector<MenuDefinition> kMenus = {
    {"N1", "Файл",
     {{"N2", "Создать", "Ctrl+N", "new"},
      {"N3", "Открыть", "Ctrl+O", "open"},
      {"N26", nullptr, nullptr, nullptr},  // the recent-files submenu
      {"no1", "Закрыть", "Ctrl+E", nullptr},
      {nullptr, nullptr, nullptr, nullptr},
      {"N4", "Сохранить", "Ctrl+S", "save"},
      {"NSaveAs", "Сохранить как...", nullptr, nullptr},
      {nullptr, nullptr, nullptr, nullptr},
      {"MMPrint", "Печать...", "Ctrl+P", "print"},
      {"Nexport", "Экспорт...", nullptr, nullptr},
      {nullptr, nullptr, nullptr, nullptr},
      {"MMParams", "Параметры...", nullptr, "settings"},
      {nullptr, nullptr, nullptr, nullptr},
      {"N6", "Выход", nullptr, nullptr}}},
    {"N25", "Правка",
     {{"Nundo", "Отменить", "Ctrl+Z", "undo"},
      {"Nrendo", "Вернуть", "Ctrl+Y", "redo"},
      {nullptr, nullptr, nullptr, nullptr},
      {"NCopy", "Копировать", "Ctrl+C", nullptr},
      {"NCut", "Вырезать", "Ctrl+X", nullptr},
      {"NPaste", "Вставить", "Ctrl+V", nullptr},
      {"Ndel", "Удалить", "Del", "delete"},
      {nullptr, nullptr, nullptr, nullptr},
      {"NSelectAll", "Выделить все", "Ctrl+A", nullptr}}},
    {"N7", "Вид",
     {{"N9", "Привязка", nullptr, nullptr},
      {"N18", "Номера узлов", nullptr, nullptr},
      {nullptr, nullptr, nullptr, nullptr},
      {"NZoomIn", "Увеличить", "Ctrl+=", nullptr},
      {"NZoomOut", "Уменьшить", "Ctrl+-", nullptr},
      {"NZoom100", "Масштаб 100 %", "Ctrl+0", nullptr},
      {"NZoomFit", "По размеру окна", nullptr, nullptr},
      {nullptr, nullptr, nullptr, nullptr},
      {"NResults", "Результаты расчета", nullptr, nullptr}}},
    {"N8", "Элементы",
     {{"N13", "Нет элемента", "Esc", "cursor"},
      {"N19", "Вход", "S", "input"},
      {"N21", "Узел", "N", "junction"},
      {"N22", "Выход", "E", "exit"},
      {"N23", "Участок", "A", "area"}}},
    {"MMOperations", "Операции",
     {{"MMCalcL", "Определение длин участков", nullptr, "area-lengths"},
      {"MMCalc", "Расчет времени эвакуации", "F5", "calculate"},
      {"MMCalcLocal", "Расчет на этом компьютере...", "Shift+F5", "calculate-local"},
      {nullptr, nullptr, nullptr, nullptr},
      {"TBXItem1", "Установить всем узлам номера в порядке создания", nullptr, nullptr}}},
    {"N10", "Помощь", {{"N11", "Справка", "F1", "help"}, {"N12", "О программе", nullptr, "about"}}},
};

struct ButtonSpec {
    const char* Name;
    const char* Icon;
    const char* Hint;  // tooltip, then after "|" the status-bar text
};

void SetHint(QAction* action, const QString& hint)
{
    const int bar = hint.indexOf('|');
    action->setToolTip((bar < 0 ? hint : hint.left(bar)).trimmed());
    action->setStatusTip((bar < 0 ? hint : hint.mid(bar + 1)).trimmed());
}

QToolBar* NewToolbar(QWidget* parent, const char* name, const QString& title)
{
    auto* bar = new QToolBar(title, parent);
    bar->setObjectName(name);
    bar->setMovable(true);
    bar->setFloatable(true);
    bar->setAllowedAreas(Qt::TopToolBarArea | Qt::LeftToolBarArea);
    bar->setIconSize(QSize(24, 24));
    return bar;
}

}  // namespace

QAction* TF::AddCommand(const char* name, const QString& caption, const QString& shortcut)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
    return action;
}

QAction* TF::AddButton(const char* name, const char* icon, const QString& hint)
{
    QAction* action = AddCommand(name, hint.section('|', 0, 0).trimmed());
    action->setIcon(ToolIcon(icon));
    SetHint(action, hint);
    return action;
}

QAction* TF::Command(const char* name) const
{
    return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void TF::SetEnabled(std::initializer_list<const char*> names, bool enabled)
{
    for (const char* name : names) {
        if (QAction* action = Command(name)) {
            action->setEnabled(enabled);
        } else if (auto* menu = findChild<QMenu*>(name)) {
            menu->menuAction()->setEnabled(enabled);
        } else if (auto* widget = findChild<QWidget*>(name)) {
            widget->setEnabled(enabled);
        }
    }
}

void TF::CreateCommands()
{
    for (const MenuDefinition& menu : kMenus)
        for (const MenuCommand& item : menu.Items)
            if (item.Name && item.Caption) {
                QAction* action = AddCommand(item.Name, item.Caption, item.Shortcut ? item.Shortcut : "");
                if (item.Icon) action->setIcon(ToolIcon(item.Icon));
            }
    for (const char* name : {"N9", "N18"}) {
        Command(name)->setCheckable(true);
        Command(name)->setChecked(true);
    }
    // Ctrl++ as well as Ctrl+=: the plus sign needs Shift on most keyboards.
    Command("NZoomIn")->setShortcuts({QKeySequence("Ctrl+="), QKeySequence("Ctrl++")});

    const ButtonSpec buttons[] = {
        {"TBNew", "new", "Создать | Создать новый план эвакуации"},
        {"TBOpen", "open", "Открыть | Открыть сохраненный план эвакуации"},
        {"TBSave", "save", "Сохранить | Сохранить план эвакуации"},
        {"TBLoadIm", "load-picture", "Добавить изображение на задний план"},
        {"TBDelIm", "delete-picture", "Удалить изображение заднего плана"},
        {"TBPrint", "print", "Печать..."},
        {"TBParams", "settings", "Настройка программы"},
        {"TBUndo", "undo", "Отменить"},
        {"TBRendo", "redo", "Вернуть"},
        {"TBcursor", "cursor", "Нет элемента"},
        {"TBNodeIn", "input", "Элемент \"Вход\""},
        {"TBNode", "junction", "Элемент \"Узел\""},
        {"TBNodeOut", "exit", "Элемент \"Выход\""},
        {"TBArea", "area", "Элемент \"Участок\""},
        {"TBDel", "delete", "Удалить узел/участок"},
        {"TBAddEtag", "add-floor", "Добавить этаж"},
        {"TBDelEtag", "delete-floor", "Удалить этаж"},
        {"TBItem2", "area-lengths", "Расчет длин участков"},
        {"TBRun", "calculate", "Начать расчет времени эвакуации"},
        {"TBRunLocal", "calculate-local",
         "Расчет на этом компьютере | Рассчитать время эвакуации на этом компьютере"},
        {"TBXItemHelp", "help", "Справка по программе"},
        {"TBAbout", "about", "О программе"},
    };
    for (const ButtonSpec& b : buttons) AddButton(b.Name, b.Icon, QString::fromUtf8(b.Hint));
    for (const char* name : {"TBcursor", "TBNodeIn", "TBNode", "TBNodeOut", "TBArea", "TBDel"})
        Command(name)->setCheckable(true);

    // Every command and the buttons and items that run the same handler.
    auto wire = [this](std::initializer_list<const char*> names, auto handler) {
        for (const char* name : names) connect(Command(name), &QAction::triggered, this, handler);
    };
    wire({"N2", "TBNew"}, [this] {
        NewProject();
        Draw();
    });
    wire({"no1"}, [this] { CloseProject(); });
    wire({"N3", "TBOpen"}, [this] { OpenCommand(); });
    wire({"N4", "TBSave"}, [this] { SaveCommand(); });
    wire({"NSaveAs"}, [this] { SaveAsCommand(); });
    wire({"MMPrint", "TBPrint"}, [this] {
        if (dialogs_.Print) dialogs_.Print->SetScheme(scheme_, results_.Shown() ? results_.Overlay() : nullptr, PlanPictures());
        ShowDialog(dialogs_.Print);
    });
    // Accepted settings are saved at once and the canvas takes the new size.
    wire({"MMParams", "TBParams"}, [this] {
        if (!dialogs_.Settings || !dialogs_.Settings->ShowSettings(scheme_)) return;
        ReportConfigFailure(SaveSettings(scheme_, CurrentLayout(), ConfigFolder(), DecimalSeparatorFromEnvironment()));
        ResetCanvas();
        Draw();
    });
    wire({"N6"}, [this] { close(); });
    wire({"Nundo", "TBUndo"}, [this] { UndoCommand(); });
    wire({"Nrendo", "TBRendo"}, [this] { RedoCommand(); });
    wire({"N9"}, [this] { scheme_.Snap = Command("N9")->isChecked(); });
    wire({"N18"}, [this] {
        scheme_.ShowNumbers = Command("N18")->isChecked();
        Draw();
    });
    wire({"NZoomIn"}, [this] { ZoomBy(kZoomStep, BoxCentre()); });
    wire({"NZoomOut"}, [this] { ZoomBy(1 / kZoomStep, BoxCentre()); });
    wire({"NZoom100"}, [this] { ZoomTo(1, BoxCentre()); });
    wire({"NZoomFit"}, [this] { ZoomToFit(); });
    wire({"N13", "TBcursor"}, [this] { SelectTool(kPointerTool); });
    wire({"N19", "TBNodeIn"}, [this] { SelectTool(kInput); });
    wire({"N21", "TBNode"}, [this] { SelectTool(kJunction); });
    wire({"N22", "TBNodeOut"}, [this] { SelectTool(kExit); });
    wire({"N23", "TBArea"}, [this] { SelectTool(kAreaTool); });
    wire({"TBDel"}, [this] { SelectTool(kDeleteTool); });
    wire({"MMCalc", "TBRun"}, [this] { ShowDialog(dialogs_.ServiceCalculation); });
    wire({"MMCalcLocal", "TBRunLocal"}, [this] { ShowDialog(dialogs_.LocalCalculation); });
    wire({"MMCalcL", "TBItem2"}, [this] { ShowAreaLengths(); });
    wire({"TBXItem1"}, [this] { NumberNodesInOrder(); });
    wire({"N11", "TBXItemHelp"}, [this] { ShowHelp(); });
    wire({"N12", "TBAbout"}, [this] { ShowDialog(dialogs_.About); });
    wire({"TBLoadIm"}, [this] { LoadBackgroundCommand(); });
    wire({"TBDelIm"}, [this] { DeleteBackgroundCommand(); });
}

// Every menu and item can be reached from the keyboard: Alt with the
// underlined letter, or F10 and the arrows.
void TF::CreateMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName("TBXToolbar1");
    QString barTaken;
    for (const MenuDefinition& definition : kMenus) {
        QMenu* menu = bar->addMenu(WithMnemonic(QString::fromUtf8(definition.Caption), barTaken));
        menu->setObjectName(definition.Name);
        QString taken;
        for (const MenuCommand& item : definition.Items) {
            if (!item.Name) {
                menu->addSeparator();
            } else if (!item.Caption) {
                recentMenu_ = menu->addMenu(WithMnemonic("Открытые", taken));
                recentMenu_->setObjectName(item.Name);
            } else {
                QAction* action = Command(item.Name);
                action->setText(WithMnemonic(action->text(), taken));
                // The caption without what the command acts on just now.
                action->setProperty("caption", action->text());
                menu->addAction(action);
            }
        }
    }
    auto* menuKey = new QAction(this);
    menuKey->setShortcut(Qt::Key_F10);
    connect(menuKey, &QAction::triggered, this, [bar] {
        bar->setFocus(Qt::ShortcutFocusReason);
        bar->setActiveAction(bar->actions().value(0));
    });
    addAction(menuKey);
}

void TF::CreateToolbars()
{
    auto fill = [this](QToolBar* bar, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            QAction* action = Command(name);
            bar->addAction(action);
            bar->widgetForAction(action)->setObjectName(name);
        }
    };
    toolbars_[kTBMain] = NewToolbar(this, "TBMain", "Файл");
    fill(toolbars_[kTBMain], {"TBNew", "TBOpen", "TBSave", "TBLoadIm", "TBDelIm", "TBPrint", "TBParams"});
    openDropDown_ = new QMenu(this);
    auto* openButton = qobject_cast<QToolButton*>(toolbars_[kTBMain]->widgetForAction(Command("TBOpen")));
    openButton->setMenu(openDropDown_);
    openButton->setPopupMode(QToolButton::MenuButtonPopup);

    toolbars_[kTBUndoRendo] = NewToolbar(this, "TBUndoRendo", "Отменить и вернуть");
    fill(toolbars_[kTBUndoRendo], {"TBUndo", "TBRendo"});

    toolbars_[kTBElements] = NewToolbar(this, "TBElements", "Элементы");
    fill(toolbars_[kTBElements], {"TBcursor", "TBNodeIn", "TBNode", "TBNodeOut", "TBArea", "TBDel"});

    toolbars_[kTBEtag] = NewToolbar(this, "TBEtag", "Этажи");
    floorList_ = new QComboBox(toolbars_[kTBEtag]);
    floorList_->setObjectName("ComboBox1");
    floorList_->setMinimumContentsLength(9);
    floorList_->setToolTip("Выбор этажа");
    floorList_->setStatusTip("Выбор этажа");
    toolbars_[kTBEtag]->addWidget(floorList_);
    auto* floorButtons = new QToolBar(toolbars_[kTBEtag]);
    floorButtons->setObjectName("TBToolbar7");
    floorButtons->setMovable(false);
    floorButtons->setIconSize(QSize(16, 16));
    fill(floorButtons, {"TBAddEtag", "TBDelEtag"});
    toolbars_[kTBEtag]->addWidget(floorButtons);
    connect(floorList_, &QComboBox::currentIndexChanged, this, &TF::FloorChanged);

    toolbars_[kTBcalculate] = NewToolbar(this, "TBcalculate", "Расчет");
    fill(toolbars_[kTBcalculate], {"TBItem2", "TBRun", "TBRunLocal"});

    toolbars_[kTBHelp] = NewToolbar(this, "TBHelp", "Справка");
    fill(toolbars_[kTBHelp], {"TBXItemHelp", "TBAbout"});

    PlaceToolbars(*this, toolbars_, WindowLayout{}.Toolbars);
}

}  // namespace stelmar
