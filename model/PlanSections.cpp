#include "model/PlanSections.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "model/NumberText.h"

namespace stelmar {
namespace {

std::string_view Field(std::string_view& rest)
{
    const std::size_t dot = rest.find('.');
    const std::string_view field = rest.substr(0, dot);
    rest.remove_prefix(dot == std::string_view::npos ? rest.size() : dot + 1);
    return field;
}

std::optional<long long> Whole(std::string_view text)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> Real(std::string_view text)
{
    const std::optional<double> value = ParseReal(text);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

// "x;y"
template <typename T, typename Parse>
bool Pair(std::string_view text, T& x, T& y, Parse parse)
{
    const std::size_t semicolon = text.find(';');
    if (semicolon == std::string_view::npos) return false;
    const auto first = parse(text.substr(0, semicolon));
    const auto second = parse(text.substr(semicolon + 1));
    if (!first || !second) return false;
    x = static_cast<T>(*first);
    y = static_cast<T>(*second);
    return true;
}

std::string Number(double x) { return FormatShortest(x); }

ExtensionRead Fail(std::string& error, std::string text)
{
    error = std::move(text);
    return ExtensionRead::Damaged;
}

ExtensionRead ReadFloorValue(TFloorPlan& plan, std::string_view what, const std::string& value, std::string& error)
{
    if (what == "scale") {
        const std::optional<double> scale = Real(value);
        if (!scale || *scale < 0) return Fail(error, "ожидался масштаб, неотрицательное число");
        plan.Scale = *scale;
    } else if (what == "offset") {
        const auto whole = [](std::string_view t) {
            const std::optional<long long> v = Whole(t);
            return v && *v >= 0 && *v <= 1'000'000 ? v : std::nullopt;
        };
        if (!Pair(value, plan.OffsetX, plan.OffsetY, whole)) return Fail(error, "ожидалось смещение «X;Y»");
    } else if (what == "plan") {
        if (value != "pdf" && value != "dxf") return Fail(error, "ожидался вид плана «pdf» или «dxf»");
        plan.Source = std::make_shared<const TPlanSource>(TPlanSource{value, {}});
    } else if (what == "plan.name") {
        plan.SourceName = value;
    } else if (what == "plan.page") {
        const std::optional<long long> page = Whole(value);
        if (!page || *page < 1 || *page > 1'000'000) return Fail(error, "ожидался номер страницы");
        plan.Page = static_cast<int>(*page);
    } else if (what == "plan.origin") {
        if (!Pair(value, plan.OriginX, plan.OriginY, Real)) return Fail(error, "ожидалось положение «X;Y»");
    } else if (what == "plan.ppu") {
        const std::optional<double> ppu = Real(value);
        if (!ppu || *ppu <= 0) return Fail(error, "ожидалось положительное число точек на единицу плана");
        plan.PixelsPerUnit = *ppu;
    } else if (what.starts_with("hidden.") && Whole(what.substr(7))) {
        plan.HiddenLayers.insert(std::lower_bound(plan.HiddenLayers.begin(), plan.HiddenLayers.end(), value), value);
    } else {
        return ExtensionRead::Unknown;
    }
    return ExtensionRead::Taken;
}

ExtensionRead ReadFloor(TPipeLine& s, const TExtensionEntry& entry, std::string& error)
{
    std::string_view rest = std::string_view(entry.Key).substr(kFloorSection.Prefix.size());
    const std::optional<long long> floor = Whole(Field(rest));
    if (!floor) return ExtensionRead::Unknown;
    if (*floor < 1 || *floor > s.EtagCount)
        return Fail(error, "в проекте нет этажа №" + std::to_string(*floor));
    return ReadFloorValue(s.Plans[static_cast<std::size_t>(*floor)], rest, entry.Value, error);
}

// The plan is written only with its file: a plan whose file could not be
// read is not kept.
void WriteFloors(const TPipeLine& s, std::vector<TExtensionEntry>& out)
{
    for (int n = 1; n <= s.EtagCount; ++n) {
        const TFloorPlan& plan = s.Plans[n];
        const std::string key = "floor." + std::to_string(n) + ".";
        if (plan.Scale > 0) out.push_back({key + "scale", Number(plan.Scale)});
        if (plan.OffsetX != 0 || plan.OffsetY != 0)
            out.push_back({key + "offset", std::to_string(plan.OffsetX) + ";" + std::to_string(plan.OffsetY)});
        if (!plan.Source || plan.Source->Bytes.empty()) continue;
        out.push_back({key + "plan", plan.Source->Kind});
        if (!plan.SourceName.empty()) out.push_back({key + "plan.name", plan.SourceName});
        out.push_back({key + "plan.page", std::to_string(plan.Page)});
        out.push_back({key + "plan.origin", Number(plan.OriginX) + ";" + Number(plan.OriginY)});
        out.push_back({key + "plan.ppu", Number(plan.PixelsPerUnit)});
        for (std::size_t k = 0; k < plan.HiddenLayers.size(); ++k)
            out.push_back({key + "hidden." + std::to_string(k + 1), plan.HiddenLayers[k]});
    }
}

ExtensionRead ReadArea(TPipeLine& s, const TExtensionEntry& entry, std::string& error)
{
    std::string_view rest = std::string_view(entry.Key).substr(kAreaSection.Prefix.size());
    const std::optional<long long> area = Whole(Field(rest));
    if (!area || rest != "drawn") return ExtensionRead::Unknown;
    if (*area < 1 || *area > AreaCount(s)) return Fail(error, "в проекте нет участка №" + std::to_string(*area));
    if (entry.Value != "1" && entry.Value != "0") return Fail(error, "ожидалось 1 или 0");
    s.Areas[static_cast<std::size_t>(*area)].Drawn = entry.Value == "1";
    return ExtensionRead::Taken;
}

void WriteAreas(const TPipeLine& s, std::vector<TExtensionEntry>& out)
{
    for (int i = 1; i <= AreaCount(s); ++i)
        if (s.Areas[i].Drawn) out.push_back({"area." + std::to_string(i) + ".drawn", "1"});
}

ExtensionRead ReadLengths(TPipeLine& s, const TExtensionEntry& entry, std::string& error)
{
    if (entry.Key != "lengths.kinds") return ExtensionRead::Unknown;
    std::uint8_t kinds = 0;
    std::string_view rest = entry.Value;
    while (!rest.empty()) {
        const std::size_t semicolon = rest.find(';');
        const std::optional<long long> kind = Whole(rest.substr(0, semicolon));
        if (!kind || *kind < kHorizontal || *kind > kRampUp) return Fail(error, "ожидались виды путей 1..6 через «;»");
        kinds |= static_cast<std::uint8_t>(1 << *kind);
        rest.remove_prefix(semicolon == std::string_view::npos ? rest.size() : semicolon + 1);
    }
    s.DrawnKinds = kinds;
    return ExtensionRead::Taken;
}

void WriteLengths(const TPipeLine& s, std::vector<TExtensionEntry>& out)
{
    if (s.DrawnKinds == kDefaultDrawnKinds) return;
    std::string kinds;
    for (int kind = kHorizontal; kind <= kRampUp; ++kind) {
        if ((s.DrawnKinds >> kind & 1) == 0) continue;
        if (!kinds.empty()) kinds += ';';
        kinds += std::to_string(kind);
    }
    out.push_back({"lengths.kinds", kinds});
}

}  // namespace

const ExtensionSection kFloorSection{"floor.", ReadFloor, WriteFloors};
const ExtensionSection kAreaSection{"area.", ReadArea, WriteAreas};
const ExtensionSection kLengthsSection{"lengths.", ReadLengths, WriteLengths};

}  // namespace stelmar
