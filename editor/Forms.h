#pragma once

// Creating the main window and every dialog, once, in the start order.

#include <QString>
#include <memory>

#include "editor/MainWindow.h"

namespace stelmar {

// The main window owns the dialogs; `startProject` is the project named on
// the command line, opened when the window first becomes active. Every
// window speaks to the user through `prompts`.
std::unique_ptr<TF> CreateForms(const QString& startProject, PromptsRef prompts);

}  // namespace stelmar
