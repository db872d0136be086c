#include "editor/Forms.h"

#include "dialogs/AboutBox.h"
#include "dialogs/AreaParamsDialog.h"
#include "dialogs/CalculationDialog.h"
#include "dialogs/NodeParamsDialog.h"
#include "dialogs/PrintDialog.h"
#include "dialogs/ServiceCalculationDialog.h"
#include "dialogs/SettingsDialog.h"
#include "editor/AreaLengthsDialog.h"

namespace stelmar {

std::unique_ptr<TF> CreateForms(const QString& startProject)
{
    auto window = std::make_unique<TF>(startProject);
    TF::Dialogs dialogs;
    dialogs.AreaParams = new TFpar(window.get());
    dialogs.LocalCalculation = new TFcalc(window->Scheme(), window.get());
    dialogs.NodeParams = new TFuzel(window.get());
    dialogs.About = new TAboutBox(window.get());
    dialogs.AreaLengths = new TForm2(window.get());
    dialogs.Print = new TForm3(window.get());
    dialogs.Settings = new TFParams(window.get());
    dialogs.ServiceCalculation = new TFcalcNet(window->Scheme(), window.get());
    dialogs.ServiceCalculation->SetSaveQuestion([tf = window.get()](const QString& text) {
        if (tf->Prompts().AskYesNoCancel(text) == Answer::Yes) tf->SaveCommand();
    });
    // The parameter dialogs speak through the window's prompts and keep its
    // floor chooser up to date.
    const auto warn = [tf = window.get()](const QString& text) { tf->Prompts().ShowWarning(text); };
    dialogs.NodeParams->SetWarningSink(warn);
    dialogs.AreaParams->SetWarningSink(warn);
    QObject::connect(dialogs.NodeParams, &TFuzel::FloorsChanged, window.get(), &TF::RebuildFloorList);
    window->SetDialogs(dialogs);
    return window;
}

}  // namespace stelmar
