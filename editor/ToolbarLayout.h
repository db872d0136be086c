#pragma once

// Placing the six toolbars of the main window from the stored layout, and
// reading their placement back for the settings file.

#include <array>

#include "model/Settings.h"

class QMainWindow;
class QToolBar;

namespace stelmar {

using Toolbars = std::array<QToolBar*, kToolbarCount>;

// Names of the two toolbar docks as the settings file writes them.
inline constexpr const char* kTopDock = "TBDockTop";
inline constexpr const char* kLeftDock = "TBDockleft";
inline constexpr const char* kFloating = "nil";

// Docks every toolbar into the dock its placement names (compared without
// regard to case); "nil" or an unknown name docks it into its home dock,
// the left one for TBElements and the top one for the others. Within a
// dock the toolbars are arranged in rows by `Row`, each row ordered by `Pos`.
void PlaceToolbars(QMainWindow& window, const Toolbars& toolbars, const std::array<ToolbarPlacement, kToolbarCount>& places);

// The current placement: dock name ("nil" for a floating toolbar), row
// and position counted from 0 in the order the toolbars appear on screen.
std::array<ToolbarPlacement, kToolbarCount> CaptureToolbars(const QMainWindow& window, const Toolbars& toolbars);

}  // namespace stelmar
