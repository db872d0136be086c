#include "model/SchemeSelection.h"

#include <vector>

#include "model/SchemePicking.h"

namespace stelmar {

bool AnySelected(const TPipeLine& s)
{
    for (int i = 1; i <= NodeCount(s); ++i)
        if (s.Nodes[i].Selected) return true;
    for (int i = 1; i <= AreaCount(s); ++i)
        if (s.Areas[i].Selected) return true;
    return false;
}

void SelectFloor(TPipeLine& s, std::uint8_t floor)
{
    for (int i = 1; i <= NodeCount(s); ++i) s.Nodes[i].Selected = s.Nodes[i].Etag == floor;
    for (int i = 1; i <= AreaCount(s); ++i) s.Areas[i].Selected = s.Areas[i].Etag == floor;
}

void SelectInBand(TPipeLine& s)
{
    for (int i = 1; i <= AreaCount(s); ++i) {
        TArea& a = s.Areas[i];
        if (s.Nodes[a.Node1].Etag == s.ActiveEtag || s.Nodes[a.Node2].Etag == s.ActiveEtag)
            a.Selected = AreaInBand(s, i);
    }
    for (int i = 1; i <= NodeCount(s); ++i)
        if (s.Nodes[i].Etag == s.ActiveEtag) s.Nodes[i].Selected = NodeInBand(s, i);
}

void SpreadSelection(TPipeLine& s)
{
    std::vector<std::vector<int>> areasAt(s.Nodes.size());
    for (int i = 1; i <= AreaCount(s); ++i) {
        areasAt[s.Areas[i].Node1].push_back(i);
        areasAt[s.Areas[i].Node2].push_back(i);
    }
    std::vector<int> reached;
    for (int i = 1; i <= NodeCount(s); ++i)
        if (s.Nodes[i].Selected) reached.push_back(i);
    while (!reached.empty()) {
        const int node = reached.back();
        reached.pop_back();
        for (int i : areasAt[node]) {
            TArea& a = s.Areas[i];
            if (a.Selected) continue;
            a.Selected = true;
            for (int end : {a.Node1, a.Node2}) {
                if (s.Nodes[end].Selected) continue;
                s.Nodes[end].Selected = true;
                reached.push_back(end);
            }
        }
    }
}

void ClearSelection(TPipeLine& s)
{
    for (TArea& a : s.Areas) a.Selected = false;
    for (TNode& n : s.Nodes) n.Selected = false;
}

bool ClearHot(TPipeLine& s)
{
    bool any = false;
    for (int i = 1; i <= AreaCount(s); ++i) {
        any = any || s.Areas[i].Hot;
        s.Areas[i].Hot = false;
    }
    for (int i = 1; i <= NodeCount(s); ++i) {
        any = any || s.Nodes[i].Hot;
        s.Nodes[i].Hot = false;
    }
    return any;
}

}  // namespace stelmar
