// The results of a calculation and the findings of a check on the drawing:
// the calculation dialogs' navigation to the elements of their findings,
// the marks of the findings, the results overlay and its commands in the
// "Вид" menu, and t_p in the status bar.

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>

#include "editor/CanvasTools.h"
#include "editor/MainWindow.h"
#include "editor/Mnemonics.h"
#include "editor/ResultsPanel.h"

namespace stelmar {

QRect TF::ShowElement(const ElementRef& element)
{
    if (element.Kind == ElementKind::None) return {};
    return ShowElement(element.Kind == ElementKind::Node, element.Number);
}

void TF::OpenElement(const ElementRef& element)
{
    if (element.Kind == ElementKind::None) return;
    ShowElement(element);
    if (element.Kind == ElementKind::Node)
        tools_->OpenNodeParams(element.Number);
    else
        tools_->OpenAreaParams(element.Number);
}

void TF::MarkFindings(const std::vector<ElementRef>& elements)
{
    results_.SetFindings(elements, scheme_);
    Draw();
}

void TF::ShowResults()
{
    calculatedState_ = history_.CurrentState();
    results_.SetResults(scheme_);
    ShowResultState();
    Draw();
    emit ResultsChanged();
}

void TF::ShowScenarioRuns(std::shared_ptr<const std::vector<ScenarioRun>> runs)
{
    scenarioRuns_ = std::move(runs);
    ShowResults();
}

bool TF::RunsCurrent() const { return scenarioRuns_ && history_.CurrentState() == calculatedState_; }

// Undo and redo back to the state that was calculated make its results
// current again.
void TF::NoteSchemeChange()
{
    const bool stale = results_.Stale();
    results_.SchemeChanged(scheme_, history_.CurrentState() == calculatedState_);
    Draw();
    const bool turned = results_.HasResults() && results_.Stale() != stale;
    if (turned) ShowResultState();
    emit SchemeChanged();
    if (turned) emit ResultsChanged();
}

void TF::ShowResultState()
{
    QAction* shown = Command("NResults");
    shown->setEnabled(results_.HasResults());
    shown->setChecked(results_.Shown());
    resultPanel_->setText(results_.EvacuationTimeText());
    resultPanel_->setVisible(results_.HasResults());
}

// "Результаты расчета" shows or hides the results; the figure beside each
// area is chosen in "Подписи участков"; "Легенда" shows or hides the legend.
void TF::CreateResultCommands()
{
    QAction* shown = Command("NResults");
    shown->setCheckable(true);
    shown->setEnabled(false);
    connect(shown, &QAction::toggled, this, [this](bool on) {
        if (on == results_.Shown()) return;
        results_.SetShown(on, scheme_);
        ShowResultState();
        Draw();
        emit ResultsChanged();
    });
    auto* view = findChild<QMenu*>("N7");
    QString taken = TakenMnemonics(*view);
    auto* figures = new QMenu(WithMnemonic("Подписи участков", taken), this);
    figures->setObjectName("NResultFigures");
    auto* group = new QActionGroup(figures);
    QString figureKeys;
    for (std::size_t i = 0; i < kAreaFigureCaptions.size(); ++i) {
        QAction* item = figures->addAction(WithMnemonic(kAreaFigureCaptions[i], figureKeys));
        item->setCheckable(true);
        item->setChecked(i == 0);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] {
            results_.SetFigure(static_cast<AreaFigure>(i), scheme_);
            Draw();
        });
    }
    view->addMenu(figures);

    QAction* legend = view->addAction(WithMnemonic("Легенда", taken));
    legend->setObjectName("NLegend");
    legend->setCheckable(true);
    legend->setChecked(results_.LegendShown());
    connect(legend, &QAction::toggled, this, [this](bool on) {
        results_.SetLegendShown(on, scheme_);
        Draw();
    });

    auto* panel = new ResultsPanel(*this);
    addDockWidget(Qt::BottomDockWidgetArea, panel);
    panel->hide();
    QAction* toggle = panel->toggleViewAction();
    toggle->setObjectName("NResultsPanel");
    // Shown in front of a panel it shares the place with.
    connect(toggle, &QAction::triggered, panel, [panel](bool shown) {
        if (shown) panel->raise();
    });
    toggle->setText(WithMnemonic("Панель результатов", taken));
    view->addAction(toggle);
}

}  // namespace stelmar
