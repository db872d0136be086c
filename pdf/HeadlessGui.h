#pragma once

// Qt's graphical part for programs without windows that write PDF reports
// (the command-line calculator, the service): the fonts need a
// QGuiApplication. Without a display (neither DISPLAY nor WAYLAND_DISPLAY
// set) it runs on the "offscreen" platform, unless QT_QPA_PLATFORM names
// one.

#include <QGuiApplication>
#include <memory>

namespace stelmar {

// A new application; `argc` and `argv` must outlive it.
std::unique_ptr<QGuiApplication> StartHeadlessGui(int& argc, char** argv);

}  // namespace stelmar
