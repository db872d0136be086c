#include "editor/MainWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QShowEvent>
#include <QStandardPaths>
#include <QStatusTipEvent>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "dialogs/Icons.h"
#include "dialogs/ReportFiles.h"
#include "editor/AreaLengthsDialog.h"
#include "editor/CanvasTools.h"
#include "editor/CanvasWidget.h"
#include "editor/ElementsPanel.h"
#include "editor/Mnemonics.h"
#include "editor/RecoveryCopies.h"
#include "editor/ScenariosPanel.h"
#include "editor/SchemeEdit.h"
#include "model/NumberText.h"
#include "model/UserFolders.h"

namespace stelmar {

TF::TF(const QString& startProject, PromptsRef prompts) : prompts_(std::move(prompts)), startProject_(startProject)
{
    setObjectName("TF");
    setWindowTitle(kAppTitle);
    setWindowIcon(ToolIcon("stelmar"));
    setAcceptDrops(true);
    scheme_.Opened = false;  // nothing is drawn until a project is created or opened
    // Renders of the plan arrive on another thread: one redraw is posted
    // for however many arrive before it runs.
    plans_ = std::make_unique<FloorPlans>(this, [this] {
        if (planRedrawPosted_.exchange(true)) return;
        QMetaObject::invokeMethod(
            this,
            [this] {
                planRedrawPosted_ = false;
                Draw();
            },
            Qt::QueuedConnection);
    });

    CreateCommands();
    CreateMenus();
    CreateToolbars();
    WireEditCommands();
    CreateStatusBar();
    CreateCanvas();
    CreateResultCommands();
    CreateElementsPanel();
    CreatePlanCommands();
    CreateScenariosPanel();
    recovery_ = new RecoveryCopies(scheme_, RecoveryFolder(), DecimalSeparatorFromEnvironment(), this);

    // Until the first project only the file commands, settings, help and
    // exit can act.
    CloseProjectView();

    resize(881, 567);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

TF::~TF() = default;

// A dock's command in the "Вид" menu; a dock shown by it comes in front
// of one it shares its place with.
void TF::AddPanelCommand(QDockWidget* panel, const char* name, const char* caption)
{
    QAction* show = panel->toggleViewAction();
    show->setObjectName(name);
    connect(show, &QAction::triggered, panel, [panel](bool shown) {
        if (shown) panel->raise();
    });
    auto* viewMenu = findChild<QMenu*>("N7");
    QString taken = TakenMnemonics(*viewMenu);
    show->setText(WithMnemonic(caption, taken));
    viewMenu->addAction(show);
}

// The dock "Элементы", hidden until shown from the "Вид" menu; it shares
// the bottom of the window with the results panel as a tab.
void TF::CreateElementsPanel()
{
    auto* elements = new ElementsPanel(*this);
    addDockWidget(Qt::BottomDockWidgetArea, elements);
    if (auto* results = findChild<QDockWidget*>("ResultsPanel")) tabifyDockWidget(results, elements);
    resizeDocks({elements}, {220}, Qt::Vertical);
    elements->hide();
    AddPanelCommand(elements, "NElements", "Таблица элементов");
}

// The dock "Сценарии", hidden until shown from the "Вид" menu, at the
// right of the drawing.
void TF::CreateScenariosPanel()
{
    auto* scenarios = new ScenariosPanel(*this);
    addDockWidget(Qt::RightDockWidgetArea, scenarios);
    resizeDocks({scenarios}, {420}, Qt::Horizontal);
    scenarios->hide();
    AddPanelCommand(scenarios, "NScenarios", "Сценарии пожара");
}

void TF::StartWork()
{
    if (startDone_) return;
    startDone_ = true;

    WindowLayout layout = CurrentLayout();
    LoadSettings(scheme_, layout, ConfigFolder());
    ResetCanvas();
    ApplyLayout(layout);

    if (startProject_.isEmpty() || !OpenProjectFile(startProject_)) NewProject();
    FillRecentMenu();
    OfferRecoveryCopies();
    emit Started();
}

WindowLayout TF::CurrentLayout() const
{
    WindowLayout layout;
    layout.Toolbars = CaptureToolbars(*this, toolbars_);
    layout.Left = x();
    layout.Top = y();
    layout.Width = width();
    layout.Height = height();
    layout.Maximized = isMaximized();
    layout.ZoomPercent = static_cast<int>(std::lround(scheme_.Zoom * 100));
    return layout;
}

void TF::ApplyLayout(const WindowLayout& layout)
{
    PlaceToolbars(*this, toolbars_, layout.Toolbars);
    scheme_.Zoom = std::clamp(layout.ZoomPercent / 100.0, kMinZoom, kMaxZoom);
    ShowZoom();
    if (layout.Maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        move(layout.Left, layout.Top);
        resize(layout.Width, layout.Height);
    }
}

void TF::Apply(const std::string& name, const SchemeChange& change)
{
    const SchemeEdit edit(*this, name);
    change(scheme_);
}

void TF::SetCaption()
{
    setWindowTitle(QString("%1 (%2)").arg(kAppTitle, QString::fromStdString(scheme_.FileName)));
}

void TF::SetModified(bool modified)
{
    scheme_.Modified = modified;
    savedPanel_->setText(modified ? "Изменено" : "Сохранено");
    recovery_->Changed(modified);
}

void TF::ShowStatus(const QString& text)
{
    hintPanel_->setText(text);
}

void TF::SelectTool(std::uint8_t tool)
{
    if (tools_) tools_->CancelPick();
    scheme_.Tool = tool;
    scheme_.CursorIndex = tool;
    const char* buttons[] = {"TBcursor", "TBNodeIn", "TBNodeOut", "TBNode", "TBArea", "TBDel"};
    for (int i = 0; i < 6; ++i) Command(buttons[i])->setChecked(i == tool);
    img_->SetPointerShape(tool);
}

// Labels every node with its current number, so that the labels stay
// when nodes are deleted later. The labels are saved with the project, so
// the renumbering is an edit like any other.
void TF::NumberNodesInOrder()
{
    const SchemeEdit edit(*this, "нумерация узлов");
    for (int i = 1; i <= NodeCount(scheme_); ++i) scheme_.Nodes[i].Name = std::to_string(i);
}

// The help opens in the desktop's program for PDF documents; when there is
// none, the user is told and may save the help elsewhere; a missing help
// is told as well.
void TF::ShowHelp()
{
    const QString help = QCoreApplication::applicationDirPath() + "/help.pdf";
    if (!QFileInfo(help).isFile()) {
        prompts_->ShowWarning("Не найден файл справки \"" + help + "\". Переустановите программу.");
        return;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    OpenOrOfferCopy(*prompts_, help, kHelp, folder + "/Stelmar - справка.pdf", &Prompts::PdfFileName);
}

void TF::ShowDialog(QDialog* dialog)
{
    if (dialog) dialog->exec();
}

// The area-lengths dialog works beside the drawing, which stays visible
// but takes no input while the dialog is open.
void TF::ShowAreaLengths()
{
    if (dialogs_.AreaLengths) dialogs_.AreaLengths->Open(scheme_);
}

bool TF::event(QEvent* event)
{
    // Status tips go to the first status panel, which keeps the other
    // panels visible.
    if (event->type() == QEvent::StatusTip) {
        ShowStatus(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TF::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) StartWork();
    QMainWindow::changeEvent(event);
}

void TF::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Without a window manager the window may never be activated; the start
    // work then follows the first show.
    if (!startDone_) QTimer::singleShot(0, this, &TF::StartWork);
}

}  // namespace stelmar
