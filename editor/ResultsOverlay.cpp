#include "editor/ResultsOverlay.h"

#include <algorithm>
#include <unordered_map>

#include "model/NumberText.h"

namespace stelmar {
namespace {

QString Number(double x) { return QString::fromStdString(FormatReal(x, DecimalSeparatorFromEnvironment())); }

struct KeyHash {
    template <class Key>
    std::size_t operator()(const Key& k) const
    {
        std::size_t h = std::hash<int>()(k.X1);
        for (int v : {k.Y1, k.X2, k.Y2, int(k.Floor1) << 8 | k.Floor2}) h = h * 1000003u ^ std::hash<int>()(v);
        return h;
    }
};

}  // namespace

ResultsOverlay::AreaKey ResultsOverlay::KeyOf(const TPipeLine& s, int area)
{
    const TNode& a = s.Nodes[s.Areas[area].Node1];
    const TNode& b = s.Nodes[s.Areas[area].Node2];
    return {a.X, a.Y, b.X, b.Y, a.Etag, b.Etag};
}

void ResultsOverlay::SetResults(const TPipeLine& s)
{
    results_ = ResultsOf(s);
    keys_.assign(s.Areas.size(), AreaKey{});
    calculated_.assign(s.Areas.size(), 0);
    for (int i = 1; i <= AreaCount(s); ++i) {
        keys_[i] = KeyOf(s, i);
        calculated_[i] = i;
    }
    stale_ = false;
    shown_ = HasResults();
    findings_.clear();
    Rebuild(s);
}

void ResultsOverlay::SchemeChanged(const TPipeLine& s, bool asCalculated)
{
    findings_.clear();
    if (HasResults()) {
        stale_ = !asCalculated;
        std::unordered_map<AreaKey, int, KeyHash> calculated;
        for (int k = 1; k < int(keys_.size()); ++k) calculated.emplace(keys_[k], k);
        calculated_.assign(s.Areas.size(), 0);
        for (int i = 1; i <= AreaCount(s); ++i)
            if (auto found = calculated.find(KeyOf(s, i)); found != calculated.end()) calculated_[i] = found->second;
    }
    Rebuild(s);
}

void ResultsOverlay::Clear()
{
    results_ = FlowResults{};
    keys_.clear();
    calculated_.clear();
    findings_.clear();
    stale_ = false;
    shown_ = false;
    marked_ = false;
    overlay_ = SchemeOverlay{};
}

void ResultsOverlay::SetFindings(const std::vector<ElementRef>& elements, const TPipeLine& s)
{
    findings_ = elements;
    Rebuild(s);
}

void ResultsOverlay::SetShown(bool shown, const TPipeLine& s)
{
    shown_ = shown && HasResults();
    Rebuild(s);
}

void ResultsOverlay::SetFigure(AreaFigure figure, const TPipeLine& s)
{
    figure_ = figure;
    Rebuild(s);
}

void ResultsOverlay::SetLegendShown(bool shown, const TPipeLine& s)
{
    legendShown_ = shown;
    Rebuild(s);
}

const AreaResult* ResultsOverlay::ResultOf(int area) const
{
    if (area < 1 || area >= int(calculated_.size()) || calculated_[area] == 0) return nullptr;
    return &results_.Areas[calculated_[area]];
}

QString ResultsOverlay::EvacuationTimeText() const
{
    if (!HasResults()) return QString();
    return "t_p = " + Number(results_.EvacuationTime) + " мин" + (stale_ ? " (устарело)" : "");
}

void ResultsOverlay::Rebuild(const TPipeLine& s)
{
    overlay_ = SchemeOverlay{};
    overlay_.MarkedNodes.assign(s.Nodes.size(), 0);
    overlay_.MarkedAreas.assign(s.Areas.size(), 0);
    for (const ElementRef& e : findings_) {
        if (e.Kind == ElementKind::Node && e.Number < int(s.Nodes.size())) overlay_.MarkedNodes[e.Number] = 1;
        if (e.Kind == ElementKind::Area && e.Number < int(s.Areas.size())) overlay_.MarkedAreas[e.Number] = 1;
    }
    marked_ = std::find(overlay_.MarkedNodes.begin(), overlay_.MarkedNodes.end(), 1) != overlay_.MarkedNodes.end() ||
              std::find(overlay_.MarkedAreas.begin(), overlay_.MarkedAreas.end(), 1) != overlay_.MarkedAreas.end();
    if (!HasResults() || !shown_) return;
    PutResults(results_, calculated_, figure_, DecimalSeparatorFromEnvironment(), s, overlay_);
    overlay_.Faded = stale_;
    overlay_.Legend = ResultsLegend();
    overlay_.ShowLegend = legendShown_;
    if (stale_) overlay_.LegendNote = "Результаты устарели";
}

const SchemeOverlay* ResultsOverlay::Overlay() const
{
    return shown_ || marked_ ? &overlay_ : nullptr;
}

}  // namespace stelmar
