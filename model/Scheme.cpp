#include "model/Scheme.h"

#include <cmath>
#include <string_view>

#include "model/MobilityGroups.h"

namespace stelmar {

int NodeCount(const TPipeLine& s) { return static_cast<int>(s.Nodes.size()) - 1; }
int AreaCount(const TPipeLine& s) { return static_cast<int>(s.Areas.size()) - 1; }
int ReportCount(const TPipeLine& s) { return static_cast<int>(s.Reports.size()) - 1; }

std::string NodeLabel(const TPipeLine& s, int i)
{
    const std::string& name = s.Nodes[i].Name;
    static constexpr std::string_view kDefault = kDefaultNodeName;
    return name == kDefault ? std::to_string(i) : name;
}

std::string AreaLabel(const TPipeLine& s, const TArea& a)
{
    return NodeLabel(s, a.Node1) + "-" + NodeLabel(s, a.Node2);
}

std::string AreaFloorsLabel(const TPipeLine& s, const TArea& a)
{
    const int f1 = s.Nodes[a.Node1].Etag;
    const int f2 = s.Nodes[a.Node2].Etag;
    return f1 == f2 ? std::to_string(f1) : std::to_string(f1) + "-" + std::to_string(f2);
}

std::string MobilityText(const TNode& n)
{
    return n.Mobility < kGroupCount ? kMobilityGroups[n.Mobility].HintText : kMobilityGroups[0].HintText;
}

void ResetNodeNames(TPipeLine& s)
{
    for (TNode& n : s.Nodes) n.Name = kDefaultNodeName;
}

double RoundTo3(double x) { return std::nearbyint(x * 1000.0) / 1000.0; }

void ResetToNewProject(TPipeLine& s)
{
    for (BitmapRef& b : s.Backgrounds) b.reset();
    s.Plans.fill(TFloorPlan{});
    s.Reports.clear();
    s.Nodes.resize(1);
    s.Areas.resize(1);
    s.FileName = kNewProjectName;
    s.EtagCount = 1;
    s.ActiveEtag = 1;
    s.AreaFrom = 0;
    s.CursorIndex = 0;
    s.Tool = 0;
    s.Opened = true;
    s.Modified = false;
    s.Plans = {};
    s.ExitTimes.clear();
    s.EvacuationTime = 0;
    s.FlowCounter = 0;
    s.Scenarios.clear();
    s.ActiveScenario = 0;
    s.KeptExtension.clear();
}

}  // namespace stelmar
