#include "editor/Forms.h"

#include "dialogs/AboutBox.h"
#include "dialogs/AreaParamsDialog.h"
#include "dialogs/CalculationDialog.h"
#include "dialogs/DrawnKindsDialog.h"
#include "dialogs/NodeParamsDialog.h"
#include "dialogs/PlanPageDialog.h"
#include "dialogs/PlanPlacementDialog.h"
#include "dialogs/PrintDialog.h"
#include "dialogs/ScaleDialog.h"
#include "dialogs/ServiceCalculationDialog.h"
#include "dialogs/SettingsDialog.h"
#include "editor/AreaLengthsDialog.h"

namespace stelmar {

std::unique_ptr<TF> CreateForms(const QString& startProject, PromptsRef prompts)
{
    auto window = std::make_unique<TF>(startProject, prompts);
    TF::Dialogs dialogs;
    dialogs.AreaParams = new TFpar(prompts, *window, window.get());
    dialogs.LocalCalculation = new TFcalc(window->Scheme(), prompts, window.get(), window.get());
    dialogs.NodeParams = new TFuzel(prompts, *window, window.get());
    dialogs.About = new TAboutBox(window.get());
    dialogs.AreaLengths = new TForm2(prompts, *window, window.get());
    dialogs.Print = new TForm3(prompts, window.get());
    dialogs.Settings = new TFParams(prompts, *window, window.get());
    dialogs.ServiceCalculation = new TFcalcNet(window->Scheme(), prompts, window.get(), window.get());
    dialogs.Scale = new TFscale(prompts, window.get());
    dialogs.PlanPage = new PlanPageDialog(window.get());
    dialogs.PlanPlacement = new PlanPlacementDialog(prompts, window.get());
    dialogs.DrawnKinds = new TFdrawnKinds(window.get());
    dialogs.ServiceCalculation->SetSaveCommand([tf = window.get()] { tf->SaveCommand(); });
    // An accepted node dialog may have raised the number of floors.
    QObject::connect(dialogs.NodeParams, &TFuzel::FloorsChanged, window.get(), &TF::RebuildFloorList);
    window->SetDialogs(dialogs);
    return window;
}

}  // namespace stelmar
