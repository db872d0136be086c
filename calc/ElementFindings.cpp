#include "calc/ElementFindings.h"

#include <algorithm>
#include <cstdint>

#include "calc/MovementTables.h"
#include "calc/SchemeGraph.h"

namespace stelmar {
namespace {

void MarkData(const TPipeLine& s, ElementFindings& out)
{
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        const bool length = !(a.Length > 0) && (a.Kind != kDoorway || !(a.Length >= 0));
        const bool kind =
            a.Kind != kHorizontal && (s.Nodes[a.Node1].Kind == kInput || s.Nodes[a.Node2].Kind == kInput);
        if (length || kind || !(a.Width > 0)) out.Areas[i] = true;
    }
    for (int i = 1; i <= NodeCount(s); ++i) {
        const TNode& n = s.Nodes[i];
        if (n.Kind == kInput && (!(n.F > 0) || n.People < 1)) out.Nodes[i] = true;
    }
}

// The walk of the structure check: every connected part depth first from
// its lowest node, the areas of a node in ascending order, never back over
// the area to the node it was reached from.
class StructureMarks {
public:
    StructureMarks(const TPipeLine& s, ElementFindings& out) : s_(s), graph_(s), out_(out), visited_(s.Nodes.size(), 0)
    {
    }

    void Run()
    {
        for (int i = 1; i <= NodeCount(s_); ++i) {
            if (visited_[i]) continue;
            exits_ = 0;
            part_.clear();
            VisitPart(i);
            if (exits_ == 0)
                for (int p : part_) out_.Nodes[p] = true;
        }
    }

private:
    struct Frame {
        std::int32_t Node;
        std::int32_t From;
        std::uint32_t Next;
        std::int32_t Degree;
    };

    void Enter(int p, int from)
    {
        if (visited_[p]) {
            out_.Nodes[p] = true;  // reached a second time: a cycle
            return;
        }
        visited_[p] = 1;
        part_.push_back(p);
        stack_.push_back({p, from, 0, 0});
    }

    void VisitPart(int root)
    {
        Enter(root, 0);
        while (!stack_.empty()) {
            Frame& f = stack_.back();
            const auto ends = graph_.At(f.Node);
            if (f.Next < ends.size()) {
                const AreaEnd e = ends[f.Next++];
                ++f.Degree;
                if (e.Other != f.From) Enter(e.Other, f.Node);
                continue;
            }
            const Frame done = f;
            stack_.pop_back();
            Leave(done.Node, done.Degree);
        }
    }

    void Leave(int p, int degree)
    {
        const std::uint8_t kind = s_.Nodes[p].Kind;
        if (kind == kExit && ++exits_ > 1) {
            out_.Nodes[p] = true;  // a second exit in one part
            return;
        }
        const bool loose = (kind == kJunction && degree < 2) || (kind == kInput && degree != 1) ||
                           (kind == kExit && degree == 0);
        if (loose) out_.Nodes[p] = true;
    }

    const TPipeLine& s_;
    SchemeGraph graph_;
    ElementFindings& out_;
    std::vector<std::uint8_t> visited_;
    std::vector<Frame> stack_;
    std::vector<std::int32_t> part_;
    std::int32_t exits_ = 0;
};

// Run only on a scheme that passed every other check: a part is then a
// tree with one exit, and each input's flow follows the areas towards it.
void MarkCoverage(const TPipeLine& s, ElementFindings& out)
{
    const int nodes = NodeCount(s);
    const SchemeGraph graph(s);
    std::vector<std::int32_t> downArea(nodes + 1, 0);
    std::vector<std::int32_t> queue;
    for (int e = 1; e <= nodes; ++e) {
        if (s.Nodes[e].Kind != kExit) continue;
        queue.assign(1, e);
        for (std::size_t head = 0; head < queue.size(); ++head) {
            const int p = queue[head];
            for (const AreaEnd& end : graph.At(p)) {
                if (end.Area == downArea[p]) continue;
                downArea[end.Other] = end.Area;
                queue.push_back(end.Other);
            }
        }
    }
    // Each area is judged once per group, for the first input of that group
    // whose flow reaches it.
    std::vector<std::uint16_t> reached(nodes + 1, 0);  // bit g: a flow of group g passed the node
    for (int i = 1; i <= nodes; ++i) {
        const TNode& input = s.Nodes[i];
        if (input.Kind != kInput || input.Mobility == 0) continue;
        const std::uint16_t bit = input.Mobility < 16 ? static_cast<std::uint16_t>(1u << input.Mobility) : 0;
        for (int p = i; downArea[p] != 0 && !(reached[p] & bit);) {
            reached[p] |= bit;
            const TArea& a = s.Areas[downArea[p]];
            if (!GroupCoversPathKind(input.Mobility, a.Kind)) {
                out.Areas[downArea[p]] = true;
                out.Nodes[i] = true;
            }
            p = a.Node1 == p ? a.Node2 : a.Node1;
        }
    }
}

bool AnyMarked(const std::vector<bool>& marks) { return std::find(marks.begin(), marks.end(), true) != marks.end(); }

}  // namespace

ElementFindings FindElementFindings(const TPipeLine& s)
{
    ElementFindings out{std::vector<bool>(s.Nodes.size(), false), std::vector<bool>(s.Areas.size(), false)};
    MarkData(s, out);
    if (AreaCount(s) == 0) return out;
    StructureMarks(s, out).Run();
    if (!AnyMarked(out.Nodes) && !AnyMarked(out.Areas)) MarkCoverage(s, out);
    return out;
}

}  // namespace stelmar
