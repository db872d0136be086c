#pragma once

// settings.ini: display settings and calculation options of the scheme, the
// label font, the canvas size, toolbar placement and the main window's
// bounds.

#include <array>
#include <optional>
#include <string>

#include "model/Scheme.h"

namespace stelmar {

inline constexpr const char* kConfigWriteFailed =
    "Ошибка создания файла конфигурации!\r\nВозможно у вас отсутствуют права записи на жесткий диск";

// Where a toolbar sits: its position in its dock row, the row, and the name
// of its dock ("TBDockTop", "TBDockleft") or "nil" when it floats.
struct ToolbarPlacement {
    int Pos = 0;
    int Row = 0;
    std::string Dock = "TBDockTop";
};

enum ToolbarId { kTBMain, kTBUndoRendo, kTBElements, kTBEtag, kTBcalculate, kTBHelp, kToolbarCount };

struct WindowLayout {
    std::array<ToolbarPlacement, kToolbarCount> Toolbars{
        ToolbarPlacement{0, 0, "TBDockTop"}, ToolbarPlacement{1, 0, "TBDockTop"},
        ToolbarPlacement{0, 0, "TBDockLeft"}, ToolbarPlacement{2, 0, "TBDockTop"},
        ToolbarPlacement{3, 0, "TBDockTop"}, ToolbarPlacement{4, 0, "TBDockTop"}};
    int Left = 0;
    int Top = 0;
    int Width = 881;
    int Height = 567;
    bool Maximized = false;
    // The zoom of the canvas in percent (VIEW key zoom_percent, 10..800),
    // written only when it is not 100.
    int ZoomPercent = 100;
    // Base address (scheme and host) of the calculation service, PARAMS
    // key service_url; empty: the program runs the service itself.
    std::string ServiceUrl;
};

// Reads `folder` + "settings.ini" into the scheme and the layout. A missing
// file, a missing key, and a value that is not a number of the key's range
// give that key's default; loading never stops half-way. Defaults: area
// width 6, node width 7, label offset 2, arrow length 13, arrow half-angle
// 0.24, precision 3, full report and "?" marker on, arrows, the two
// calculation options and people counts off, canvas 2000 x 2000, toolbars
// as in WindowLayout{}; colours, font and window bounds keep their current
// values. Ranges: widths 1..50, label offset 0..100, arrow length 1..100,
// half-angle 0..pi/2 (either decimal separator), precision 1..9, canvas
// 100..20000, colours 0..$FFFFFF, font height -500..500 but not 0. A
// toolbar's dock name is kept as written; the window matches it against
// its docks without regard to case, "nil" meaning floating.
void LoadSettings(TPipeLine& s, WindowLayout& layout, const std::string& folder);

// Writes every key in the fixed order into `folder` + "settings.ini",
// keeping keys of an existing file that it does not know. The area and node
// widths are always written as 6 and 7 and the "?" marker as on; the arrow
// half-angle uses `separator` as its decimal separator. Returns
// kConfigWriteFailed when the file cannot be written.
std::optional<std::string> SaveSettings(const TPipeLine& s, const WindowLayout& layout, const std::string& folder,
                                        char separator);

}  // namespace stelmar
