#pragma once

// The main window `TF`: menus, toolbars, the scrolling canvas and the status
// bar around the one live scheme, and the project-level commands (new,
// open, recent files, dropped files, save, close, help).

#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>

#include "editor/FloorPlans.h"
#include "editor/ResultsOverlay.h"
#include "editor/ToolbarLayout.h"
#include "dialogs/ElementNavigation.h"
#include "dialogs/Prompts.h"
#include "dialogs/SchemeChanges.h"
#include "model/EditHistory.h"
#include "model/ProjectFile.h"
#include "model/Scheme.h"
#include "model/Settings.h"
#include "plans/PlanDrawing.h"

class QAction;
class QComboBox;
class QDialog;
class QDockWidget;
class QLabel;
class QListWidget;
class QMenu;
class QScrollArea;
class QToolBar;

namespace stelmar {

class CanvasTools;
class CanvasWidget;
class DxfPlan;
struct PickedPoint;
class RecoveryCopies;
class TAboutBox;
class TFcalc;
class TFcalcNet;
class TFdrawnKinds;
class TFParams;
class TFpar;
class TFscale;
class PlanPageDialog;
class PlanPlacementDialog;
class TFuzel;
class TForm2;
class TForm3;

inline constexpr const char* kAppTitle = "Stelmar: расчет времени эвакуации";

class TF : public QMainWindow, public SchemeChanges, public ElementNavigation {
    Q_OBJECT
public:
    // The dialogs the window shows; created once after the window.
    struct Dialogs {
        TFpar* AreaParams = nullptr;
        TFcalc* LocalCalculation = nullptr;
        TFuzel* NodeParams = nullptr;
        TAboutBox* About = nullptr;
        TForm2* AreaLengths = nullptr;
        TForm3* Print = nullptr;
        TFParams* Settings = nullptr;
        TFcalcNet* ServiceCalculation = nullptr;
        TFscale* Scale = nullptr;
        PlanPageDialog* PlanPage = nullptr;
        PlanPlacementDialog* PlanPlacement = nullptr;
        TFdrawnKinds* DrawnKinds = nullptr;
    };

    // `startProject` is the project named on the command line (may be
    // empty); `prompts` asks and tells the user everything.
    TF(const QString& startProject, PromptsRef prompts);
    ~TF() override;

    void SetDialogs(const Dialogs& dialogs) { dialogs_ = dialogs; }
    const Dialogs& DialogSet() const { return dialogs_; }
    const PromptsRef& Prompter() const { return prompts_; }

    TPipeLine& Scheme() { return scheme_; }
    RecoveryCopies& Recovery() { return *recovery_; }
    // A dialog's change of the scheme, made as one edit.
    void Apply(const std::string& name, const SchemeChange& change) override;
    bool StartDone() const { return startDone_; }

    // Project commands. Each returns false when the user stopped it or it
    // failed, leaving the project as it was.
    bool NewProject();
    bool CloseProject();
    bool OpenProject(const QString& path);
    bool OpenProjectFile(const QString& path);
    bool SaveCommand();
    bool SaveAsCommand();
    void FillRecentMenu();
    // A picture or a plan file (PDF) becomes the background of the active
    // floor.
    void LoadBackground(const QString& path);

    // Switches the canvas tool (kPointerTool, a node kind, kAreaTool or
    // kDeleteTool) and checks its toolbar button.
    void SelectTool(std::uint8_t tool);

    // Marks or clears the unsaved state; repaints the visible part of the
    // active floor. Changes of the scheme go through SchemeEdit.
    void SetModified(bool modified);
    void Draw();
    // Shows a text in the first panel of the status bar.
    void ShowStatus(const QString& text);

    // The zoom (MainWindowZoom.cpp): screen pixels per canvas pixel, kept
    // within kMinZoom..kMaxZoom; the canvas point at `anchor` (pixels of the
    // visible box) stays where it is.
    void ZoomTo(double zoom, QPointF anchor);
    void ZoomBy(double factor, QPointF anchor);
    // The active floor's elements and picture fill the visible box.
    void ZoomToFit();
    // With "Привязка к плану" on, node `taken` on the active floor snaps to
    // the DXF plan's nearest end point or crossing: a new node alone; when
    // `dragged`, every node the drag moves goes along by the same offset,
    // none below zero (MainWindowDxf.cpp).
    void SnapNodesToPlan(int taken, bool dragged);
    double Zoom() const { return scheme_.Zoom; }
    // Refills the floor chooser after the number of floors changed,
    // keeping its selected entry.
    void RebuildFloorList();

    // Clipboard and selection commands of the "Правка" menu, also run from
    // the canvas pop-up menu (MainWindowEdit.cpp). Copy and cut take the
    // selected and the highlighted elements; paste puts the clipboard at the
    // pointer on the active floor; "select connected" spreads the selection
    // from the element under the pointer along the areas.
    void CopyCommand();
    void CutCommand();
    void PasteCommand();
    void SelectAllCommand();
    void SelectConnectedCommand();
    bool ClipboardHasCopy() const;

    // Shows an element: switches to its floor (an area's: the active floor
    // when one of its ends lies there, else the floor of its first end),
    // scrolls it into the middle of the view at a zoom where it can be
    // seen, and selects it alone. `node` true for a node number, false for
    // an area number. Returns where it is on the screen (global pixels,
    // with room around it), empty when it is not shown.
    QRect ShowElement(bool node, int number);

    // The calculation dialogs' findings and results (MainWindowResults.cpp).
    QRect ShowElement(const ElementRef& element) override;
    void OpenElement(const ElementRef& element) override;
    void MarkFindings(const std::vector<ElementRef>& elements) override;
    void ShowResults() override;
    void ShowScenarioRuns(std::shared_ptr<const std::vector<ScenarioRun>> runs) override;
    // The scenarios of the last calculation (null before the first), and
    // whether the scheme is still the one they were calculated on.
    const std::shared_ptr<const std::vector<ScenarioRun>>& ScenarioRuns() const { return scenarioRuns_; }
    bool RunsCurrent() const;
    const ResultsOverlay& Results() const { return results_; }

    // Scenarios (MainWindowScenarios.cpp). Excludes the elements from the
    // active scenario (`excluded`) or gives them back to it, as one step;
    // the project gets its first scenario when it had none.
    void SetExcluded(const std::vector<ElementRef>& elements, bool excluded);
    // Makes junction or exit `node` a check point of the active scenario
    // (with the scenario's t_бл to start with) or no longer one.
    void SetCheckPoint(int node, bool point);
    // The drawing and the panels show scenario `index`: what it excludes
    // crossed out, and its results when they are those of the scheme as
    // it is (otherwise no results).
    void SetActiveScenario(int index);
    // "сценария «Выход 1 заблокирован»": the active scenario in step names.
    std::string ActiveScenarioGenitive() const;

signals:
    // The start work (settings, first project, recent files) is done.
    void Started();
    // The scheme was changed (an edit, undo or redo), another project is
    // shown, or the project was closed.
    void SchemeChanged();
    // The set of selected nodes and areas differs from the one last drawn.
    void SelectionChanged();
    // A calculation was made, or its results were shown, hidden or became
    // old.
    void ResultsChanged();
    // Another floor is shown.
    void ActiveFloorChanged();
    // Another scenario is the active one.
    void ActiveScenarioChanged();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class SchemeEdit;
    // The edit being made: the outermost SchemeEdit records the scheme when
    // it opens, and when it closes makes its change the undo step of its
    // name, marks the project modified and redraws; edits opened inside it
    // are part of the same step.
    void BeginEdit(std::string name);
    void EndEdit();

    // The command table (MainWindowCommands.cpp).
    void CreateCommands();
    void CreateMenus();
    void CreateToolbars();
    QAction* AddCommand(const char* name, const QString& caption, const QString& shortcut = QString());
    QAction* AddButton(const char* name, const char* icon, const QString& hint);
    QAction* Command(const char* name) const;
    void SetEnabled(std::initializer_list<const char*> names, bool enabled);

    // Start, caption and the commands that show dialogs (MainWindow.cpp).
    void StartWork();
    WindowLayout CurrentLayout() const;
    void ApplyLayout(const WindowLayout& layout);
    void SetCaption();
    void NumberNodesInOrder();
    void ShowHelp();
    void ShowDialog(QDialog* dialog);
    void ShowAreaLengths();

    // Canvas, status bar, floor list, undo and redo (MainWindowView.cpp).
    void CreateStatusBar();
    void CreateCanvas();
    void ResetCanvas();
    QSize Extent() const;
    void ShowZoom();
    // The results follow an edit, undo or redo of the scheme.
    void NoteSchemeChange();
    void ShowResultState();
    void CreateResultCommands();
    void AddPanelCommand(QDockWidget* panel, const char* name, const char* caption);
    void CreateElementsPanel();
    void CreateScenariosPanel();
    void NoteSelection();
    QPointF BoxCentre() const;
    void FillFloorList(int selectedIndex);
    void FloorChanged(int index);
    void UndoCommand();
    void RedoCommand();
    void ShowRestoredState();
    void UpdateHistoryCommands();

    // Projects (MainWindowProject.cpp).
    bool SaveBeforeLeaving(const QString& question);
    void MarkSaved();
    bool SaveProject(bool askName);
    void OpenCommand();
    void OpenRecent(int entry);
    bool AdoptReadProject(ProjectReadResult&& read);
    void OfferRecoveryCopies();
    void BeginEditing();
    void EnableProjectCommands();
    void CloseProjectView();
    void ReportConfigFailure(const std::optional<std::string>& failure);

    // Floors, the "Правка" menu and export (MainWindowEdit.cpp).
    void WireEditCommands();
    void AddFloorCommand();
    void DeleteFloorCommand();
    void UpdateEditCommands();
    void ExportCommand();

    // Background pictures (MainWindowBackground.cpp).
    void LoadBackgroundCommand();
    void DeleteBackgroundCommand();

    // Floor plans: the scale by two points, the floors lined up by a point
    // picked on each, the kinds that take their length from the drawing
    // (MainWindowPlans.cpp).
    void CreatePlanCommands();
    void ScaleCommand();
    void SetScaleFromPoints(const PickedPoint& first, const PickedPoint& second);
    void AlignFloorsCommand();
    void AlignFloorsAt(const PickedPoint& fixed, const PickedPoint& moved);
    void DrawnKindsCommand();
    // The active floor's scale in the status bar.
    void ShowScale();
    // A plan file as the active floor's plan (MainWindowBackground.cpp).
    void LoadPlan(const QString& path);
    // The floors' plans that can be drawn, for printing.
    FloorPlanPictures PlanPictures();
    std::optional<double> AskDrawingUnit(const std::string& name);
    // DXF plans: the layer panel, snapping (MainWindowDxf.cpp).
    void CreateDxfCommands();
    const DxfPlan* ActiveDxfPlan();
    void ShowPlanLayers();
    void ShowPlanLayer(const std::string& layer, bool shown);
    std::optional<QPoint> PlanSnapPoint(int x, int y);
    // The floor shows its picture alone.
    static void ForgetPlan(TFloorPlan& plan);
    // Messages for the floors of a project just opened whose plans cannot
    // be drawn (MainWindowProject.cpp).
    QStringList UndrawablePlans();

    TPipeLine scheme_;
    EditHistory history_;
    ResultsOverlay results_;
    CanvasTools* tools_ = nullptr;
    RecoveryCopies* recovery_ = nullptr;
    PromptsRef prompts_;
    Dialogs dialogs_;
    QString startProject_;
    bool startDone_ = false;
    int editDepth_ = 0;
    std::string editName_;  // of the outermost edit open
    bool modifiedBeforeEdit_ = false;
    FloorPlanSet plansBeforeEdit_;  // of the outermost edit open
    // A redraw for newly rendered parts of the plan is on its way.
    std::atomic<bool> planRedrawPosted_ = false;
    std::unique_ptr<FloorPlans> plans_;
    bool planSnap_ = true;  // "Привязка к плану"
    QDockWidget* layersDock_ = nullptr;
    QListWidget* layersList_ = nullptr;
    bool fillingLayers_ = false;
    bool layersDockSized_ = false;
    // What the layer list shows: the floor, its drawing and hidden layers.
    struct LayerListState {
        int Floor = 0;
        const PlanDrawing* Drawing = nullptr;
        std::vector<std::string> Hidden;
        bool operator==(const LayerListState&) const = default;
    };
    LayerListState shownLayers_;
    // The history state whose calculation the results show.
    std::uint64_t calculatedState_ = 0;
    std::shared_ptr<const std::vector<ScenarioRun>> scenarioRuns_;
    // The selection last drawn, to tell when it changes.
    std::vector<int> drawnSelection_;
    // "Сохранить" writes under FileName without asking (the save dialog's tag).
    bool saveWithoutDialog_ = false;

    QScrollArea* scrollBox_ = nullptr;
    CanvasWidget* img_ = nullptr;
    QComboBox* floorList_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QMenu* openDropDown_ = nullptr;
    // The status panels "StatusPanel0".."StatusPanel4".
    QLabel* hintPanel_ = nullptr;      // status tips and messages
    QLabel* savedPanel_ = nullptr;     // "Изменено" / "Сохранено"
    QLabel* nodesPanel_ = nullptr;     // node count of the active floor
    QLabel* areasPanel_ = nullptr;     // area count
    QLabel* floorsPanel_ = nullptr;    // floor count
    QLabel* zoomPanel_ = nullptr;      // "StatusPanel5": the zoom, "100 %"
    QLabel* resultPanel_ = nullptr;    // "StatusPanel6": t_p of the results shown
    QLabel* scalePanel_ = nullptr;     // "StatusPanel7": the active floor's scale
    Toolbars toolbars_{};
};

}  // namespace stelmar
