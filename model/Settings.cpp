#include "model/Settings.h"

#include <charconv>
#include <numbers>
#include <utility>

#include "model/IniFile.h"
#include "model/NumberText.h"

namespace stelmar {
namespace {

constexpr const char* kFileName = "settings.ini";

// Key prefixes of the toolbars in the PANELS section, in ToolbarId order.
constexpr const char* kToolbarKeys[kToolbarCount] = {"main", "undorendo", "elements", "etag", "calculate", "Help"};

// Accepted ranges; a value outside its range counts as not given.
constexpr int kMaxLineWidth = 50;
constexpr int kMaxLabelOffset = 100;
constexpr int kMaxArrowLength = 100;
constexpr int kMinCanvas = 100;
constexpr int kMaxCanvas = 20000;
constexpr int kMaxFontHeight = 500;
constexpr int kMaxScreenCoordinate = 100000;
constexpr int kMaxToolbarPlace = 100000;
constexpr TColor kMaxColour = 0xFFFFFF;

// Reads keys with a fallback value each: a missing key and a value that is
// not a number in the key's range both give the fallback.
class Reader {
public:
    explicit Reader(const std::string& path) : ini_(IniFile::Load(path)) {}

    long long Int(const char* section, const char* key, long long fallback, long long low, long long high) const
    {
        const std::optional<long long> v = Integer(section, key);
        return v && *v >= low && *v <= high ? *v : fallback;
    }

    bool Bool(const char* section, const char* key, bool fallback) const
    {
        const std::optional<long long> v = Integer(section, key);
        return v ? *v != 0 : fallback;
    }

    double Real(const char* section, const char* key, double fallback, double low, double high) const
    {
        const std::optional<std::string> text = ini_.Get(section, key);
        const std::optional<double> v = text ? ParseReal(*text) : std::nullopt;
        return v && *v >= low && *v <= high ? *v : fallback;
    }

    std::string Text(const char* section, const char* key, const std::string& fallback) const
    {
        return ini_.Get(section, key).value_or(fallback);
    }

private:
    std::optional<long long> Integer(const char* section, const char* key) const
    {
        const std::optional<std::string> text = ini_.Get(section, key);
        if (!text) return std::nullopt;
        const char* first = text->data();
        const char* last = first + text->size();
        if (first != last && *first == '+') ++first;
        long long v = 0;
        const auto [ptr, ec] = std::from_chars(first, last, v);
        if (ec != std::errc() || ptr != last) return std::nullopt;
        return v;
    }

    IniFile ini_;
};

}  // namespace

void LoadSettings(TPipeLine& s, WindowLayout& layout, const std::string& folder)
{
    const Reader r(folder + kFileName);
    auto colour = [&r](const char* section, const char* key, TColor current) {
        return static_cast<TColor>(r.Int(section, key, current, 0, kMaxColour));
    };
    auto byte = [&r](const char* section, const char* key, int fallback, int low, int high) {
        return static_cast<std::uint8_t>(r.Int(section, key, fallback, low, high));
    };

    s.AreaWidth = byte("AREA", "width", 6, 1, kMaxLineWidth);
    s.Color = colour("AREA", "Color", s.Color);
    s.DColor = colour("AREA", "DColor", s.DColor);
    s.LupColor = colour("AREA", "LupColor", s.LupColor);
    s.LdownDColor = colour("AREA", "LdownDColor", s.LdownDColor);
    s.NodeWidth = byte("NODE", "width", 7, 1, kMaxLineWidth);
    s.NodeColor = colour("NODE", "Color", s.NodeColor);
    s.LNum = byte("NODE", "LNum", 2, 0, kMaxLabelOffset);
    s.DlStr = byte("AREA", "dl_str", 13, 1, kMaxArrowLength);
    s.AngleStr = r.Real("AREA", "angle_str", 0.24, 0, std::numbers::pi / 2);
    s.StrV = r.Bool("PARAMS", "str_v", false);
    s.RazVr = r.Bool("PARAMS", "raz_vr", false);
    s.VrSk = r.Bool("PARAMS", "vr_sk", false);
    s.FullReport = r.Bool("PARAMS", "Full_Report", true);
    s.Precision = byte("PARAMS", "precision", 3, 1, 9);
    if (std::string name = r.Text("FONT", "name", s.Font.Name); !name.empty()) s.Font.Name = std::move(name);
    const long long height = r.Int("FONT", "height", s.Font.Height, -kMaxFontHeight, kMaxFontHeight);
    if (height != 0) s.Font.Height = static_cast<int>(height);
    s.Font.Color = colour("FONT", "color", s.Font.Color);
    s.QuestionMark = r.Bool("PARAMS", "QuestionMark", true);
    s.WSpaceG = static_cast<int>(r.Int("PARAMS", "WSpaceG", 2000, kMinCanvas, kMaxCanvas));
    s.WSpaceV = static_cast<int>(r.Int("PARAMS", "WSpaceV", 2000, kMinCanvas, kMaxCanvas));
    s.ShowNumPeople = r.Bool("PARAMS", "ShowNumPeople", false);
    layout.ServiceUrl = r.Text("PARAMS", "service_url", "");
    layout.ZoomPercent = static_cast<int>(r.Int("VIEW", "zoom_percent", 100, 10, 800));

    const WindowLayout defaults;
    for (int t = 0; t < kToolbarCount; ++t) {
        const std::string prefix = kToolbarKeys[t];
        const ToolbarPlacement& d = defaults.Toolbars[t];
        ToolbarPlacement& p = layout.Toolbars[t];
        p.Pos = static_cast<int>(r.Int("PANELS", (prefix + "_pos").c_str(), d.Pos, -1, kMaxToolbarPlace));
        p.Row = static_cast<int>(r.Int("PANELS", (prefix + "_row").c_str(), d.Row, 0, kMaxToolbarPlace));
        p.Dock = r.Text("PANELS", (prefix + "_dock").c_str(), d.Dock);
    }
    layout.Left = static_cast<int>(r.Int("VIEW", "FLeft", layout.Left, -kMaxScreenCoordinate, kMaxScreenCoordinate));
    layout.Top = static_cast<int>(r.Int("VIEW", "FTop", layout.Top, -kMaxScreenCoordinate, kMaxScreenCoordinate));
    layout.Width = static_cast<int>(r.Int("VIEW", "FWidth", layout.Width, 1, kMaxScreenCoordinate));
    layout.Height = static_cast<int>(r.Int("VIEW", "FHeight", layout.Height, 1, kMaxScreenCoordinate));
    layout.Maximized = r.Bool("VIEW", "Maximized", layout.Maximized);
}

std::optional<std::string> SaveSettings(const TPipeLine& s, const WindowLayout& layout, const std::string& folder,
                                        char separator)
{
    const std::string path = folder + kFileName;
    IniFile ini = IniFile::Load(path);
    auto put = [&ini](const char* section, const std::string& key, long long value) {
        ini.Set(section, key, std::to_string(value));
    };

    // The line and node widths and the "?" marker are stored as fixed
    // values, so every start begins with them.
    put("AREA", "width", 6);
    put("AREA", "Color", s.Color);
    put("AREA", "DColor", s.DColor);
    put("AREA", "LupColor", s.LupColor);
    put("AREA", "LdownDColor", s.LdownDColor);
    put("NODE", "width", 7);
    put("NODE", "Color", s.NodeColor);
    put("NODE", "LNum", s.LNum);
    put("AREA", "dl_str", s.DlStr);
    ini.Set("AREA", "angle_str", FormatReal(s.AngleStr, separator));
    put("PARAMS", "str_v", s.StrV);
    put("PARAMS", "raz_vr", s.RazVr);
    put("PARAMS", "vr_sk", s.VrSk);
    put("PARAMS", "Full_Report", s.FullReport);
    put("PARAMS", "precision", s.Precision);
    ini.Set("FONT", "name", s.Font.Name);
    put("FONT", "height", s.Font.Height);
    put("FONT", "color", s.Font.Color);
    put("PARAMS", "QuestionMark", 1);
    put("PARAMS", "WSpaceG", s.WSpaceG);
    put("PARAMS", "WSpaceV", s.WSpaceV);
    put("PARAMS", "ShowNumPeople", s.ShowNumPeople);
    // An empty address leaves the key of the file as it is: the address is
    // entered by hand, and a layout taken from the window carries none. It
    // stays one of the program's keys all the same.
    const std::optional<std::string> storedUrl = ini.Get("PARAMS", "service_url");
    if (!layout.ServiceUrl.empty() || storedUrl)
        ini.Set("PARAMS", "service_url", layout.ServiceUrl.empty() ? *storedUrl : layout.ServiceUrl);
    for (int t = 0; t < kToolbarCount; ++t) {
        const std::string prefix = kToolbarKeys[t];
        const ToolbarPlacement& p = layout.Toolbars[t];
        put("PANELS", prefix + "_pos", p.Pos);
        put("PANELS", prefix + "_row", p.Row);
        ini.Set("PANELS", prefix + "_dock", p.Dock);
    }
    put("VIEW", "FLeft", layout.Left);
    put("VIEW", "FTop", layout.Top);
    put("VIEW", "FWidth", layout.Width);
    put("VIEW", "FHeight", layout.Height);
    put("VIEW", "Maximized", layout.Maximized);
    // A file of a program without zoom stays as it was at 100 %.
    if (layout.ZoomPercent != 100 || ini.Get("VIEW", "zoom_percent")) put("VIEW", "zoom_percent", layout.ZoomPercent);

    if (ini.Save(path)) return std::string(kConfigWriteFailed);
    return std::nullopt;
}

}  // namespace stelmar
