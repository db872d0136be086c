#include "calc/Validation.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "calc/MovementTables.h"
#include "calc/SchemeGraph.h"

namespace stelmar {

namespace {

std::string Quoted(const char* kind) { return std::string("\"") + kind + "\""; }

void CollectDataMessages(const TPipeLine& s, std::vector<Finding>& out)
{
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        const bool badLength = !(a.Length > 0) && (a.Kind != kDoorway || !(a.Length >= 0));
        const bool notHorizontal =
            a.Kind != kHorizontal && (s.Nodes[a.Node1].Kind == kInput || s.Nodes[a.Node2].Kind == kInput);
        const bool badWidth = !(a.Width > 0);
        // Labels are made only for the areas reported: most areas pass.
        if (!badLength && !notHorizontal && !badWidth) continue;
        const std::string label = AreaLabel(s, a);
        const ElementRef area = AreaRef(s, i);
        if (badLength) {
            if (a.Kind != kDoorway)
                out.push_back({"Ошибка: длина на участке №" + label + " должна быть больше нуля;", area});
            else
                out.push_back({"Ошибка: длина на участке №" + label +
                                   " должна быть больше или равна (если это дверной проем <0.7) нулю;",
                               area});
        }
        if (notHorizontal)
            out.push_back({"Ошибка: Участок №" + label + " должен иметь тип \"горизонтальный путь\";", area});
        if (badWidth) out.push_back({"Ошибка: ширина на участке №" + label + " должна быть больше нуля;", area});
    }
    for (int i = 1; i <= NodeCount(s); ++i) {
        const TNode& n = s.Nodes[i];
        if (n.Kind != kInput) continue;
        if (!(n.F > 0))
            out.push_back({"Ошибка: средняя площадь горизонтальной проекции человека на входе №" + NodeLabel(s, i) +
                               " должна быть больше нуля;",
                           NodeRef(s, i)});
        if (n.People < 1)
            out.push_back(
                {"Ошибка: количество людей на входе №" + NodeLabel(s, i) + " должно быть больше нуля;", NodeRef(s, i)});
    }
}

// Walks every connected part depth first, as a recursive visit would, with
// an explicit stack so that long chains cannot exhaust the call stack.
// A node is reported as a cycle when it is reached a second time. No area
// leading back to the node a node was reached from is followed: of two
// parallel areas, the parent follows the second one and finds the child
// visited, which is the one cycle message of the pair.
class StructureCheck {
public:
    StructureCheck(const TPipeLine& s, std::vector<Finding>& out)
        : s_(s), graph_(s), out_(out), visited_(s.Nodes.size(), 0)
    {
    }

    void Run()
    {
        int partWithoutExit = 0;  // its first node
        for (int i = 1; i <= NodeCount(s_); ++i) {
            if (visited_[i]) continue;
            exits_ = 0;
            VisitPart(i);
            if (exits_ == 0 && partWithoutExit == 0) partWithoutExit = i;
        }
        if (partWithoutExit != 0)
            out_.push_back({kPartWithoutExit, NodeRef(s_, partWithoutExit)});
    }

private:
    struct Frame {
        std::int32_t Node;
        std::int32_t From;  // the node p was reached from; 0 at the start of a part
        std::uint32_t Next;
        std::int32_t Degree;
    };

    void Enter(int p, int from)
    {
        if (visited_[p]) {
            out_.push_back({"Ошибка: обнаружено зацикливание потока в узле №" + NodeLabel(s_, p) + ";", NodeRef(s_, p)});
            return;
        }
        visited_[p] = 1;
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
        const auto report = [&](const std::string& before, const std::string& after) {
            out_.push_back({before + NodeLabel(s_, p) + after, NodeRef(s_, p)});
        };
        if (kind == kExit && ++exits_ > 1) {
            report("Ошибка: в одном потоке не допускается наличие двух выходов (Узел №", ");");
            return;
        }
        if (kind == kJunction && degree < 2) report("Ошибка: поток не может прерываться узлом №", ";");
        if (kind == kInput && degree == 0)
            report("Ошибка: " + Quoted("вход") + " №", " не соединен ни с одним участком;");
        if (kind == kInput && degree > 1)
            report("Ошибка: " + Quoted("вход") + " №", " должен соединяться только с одним участком;");
        if (kind == kExit && degree == 0)
            report("Ошибка: " + Quoted("выход") + " №", " не соединен ни с одним участком;");
    }

    const TPipeLine& s_;
    SchemeGraph graph_;
    std::vector<Finding>& out_;
    std::vector<std::uint8_t> visited_;
    std::vector<Frame> stack_;
    std::int32_t exits_ = 0;
};

// For a scheme whose parts are trees with one exit each: the area by which
// the flow leaves each node towards its exit (0 at the exit), and every
// node in an order where each comes after the node its flow goes to.
struct FlowTree {
    std::vector<std::int32_t> DownArea;
    std::vector<std::int32_t> Order;

    explicit FlowTree(const TPipeLine& s) : DownArea(s.Nodes.size(), 0)
    {
        const SchemeGraph graph(s);
        for (int e = 1; e <= NodeCount(s); ++e) {
            if (s.Nodes[e].Kind != kExit) continue;
            std::size_t head = Order.size();
            Order.push_back(e);
            for (; head < Order.size(); ++head) {
                const int p = Order[head];
                for (const AreaEnd& end : graph.At(p)) {
                    if (end.Area == DownArea[p]) continue;
                    DownArea[end.Other] = end.Area;
                    Order.push_back(end.Other);
                }
            }
        }
    }

    int Next(const TPipeLine& s, int p) const
    {
        const TArea& a = s.Areas[DownArea[p]];
        return a.Node1 == p ? a.Node2 : a.Node1;
    }
};

// The inputs named in a message about the people of a merged flow; more
// are counted.
constexpr std::size_t kNamedInputs = 10;

// No flow may carry more people than a count holds (2 147 483 647): where
// flows first merge into more, the node is reported with the inputs whose
// people come together there.
void CollectPeopleTotals(const TPipeLine& s, const FlowTree& tree, std::vector<Finding>& out)
{
    constexpr std::int64_t kMost = std::numeric_limits<std::int32_t>::max();
    std::vector<std::int64_t> total(s.Nodes.size(), 0);
    std::vector<std::uint8_t> reported(s.Nodes.size(), 0);  // here or upstream
    for (std::size_t k = tree.Order.size(); k-- > 0;) {
        const int p = tree.Order[k];
        if (s.Nodes[p].Kind == kInput) total[p] += std::max(0, s.Nodes[p].People);
        if (!reported[p] && total[p] > kMost) {
            reported[p] = 1;
            std::vector<int> inputs;
            for (int i = 1; i <= NodeCount(s); ++i) {
                if (s.Nodes[i].Kind != kInput) continue;
                int q = i;
                while (q != p && tree.DownArea[q] != 0) q = tree.Next(s, q);
                if (q == p) inputs.push_back(i);
            }
            std::string names;
            for (std::size_t i = 0; i < std::min(inputs.size(), kNamedInputs); ++i)
                names += (i ? ", №" : "№") + NodeLabel(s, inputs[i]);
            if (inputs.size() > kNamedInputs) names += " и еще " + std::to_string(inputs.size() - kNamedInputs);
            out.push_back({"Ошибка: в узле №" + NodeLabel(s, p) + " сливаются потоки входов " + names + ": всего " +
                               std::to_string(total[p]) + " человек, больше допустимых " + std::to_string(kMost) +
                               ";",
                           NodeRef(s, p), inputs.empty() ? ElementRef{} : NodeRef(s, inputs.front())});
        }
        if (tree.DownArea[p] == 0) continue;
        const int next = tree.Next(s, p);
        total[next] += total[p];
        reported[next] |= reported[p];
    }
}

// For a scheme whose parts are trees with one exit each: every area that a
// flow of some mobility group passes on its way to the exit must be a path
// kind that the group's table covers. Each area is reported once per group,
// naming the first input of that group whose flow reaches it.
void CollectCoverageMessages(const TPipeLine& s, const FlowTree& tree, std::vector<Finding>& out)
{
    const int nodes = NodeCount(s);
    bool groups = false;
    for (int i = 1; i <= nodes && !groups; ++i) groups = s.Nodes[i].Kind == kInput && s.Nodes[i].Mobility != 0;
    if (!groups) return;
    const std::vector<std::int32_t>& downArea = tree.DownArea;

    std::vector<std::uint16_t> reached(nodes + 1, 0);  // bit g: a flow of group g passed the node
    for (int i = 1; i <= nodes; ++i) {
        const TNode& input = s.Nodes[i];
        if (input.Kind != kInput || input.Mobility == 0) continue;
        const int group = input.Mobility;
        const std::uint16_t bit = group < 16 ? static_cast<std::uint16_t>(1u << group) : 0;
        for (int p = i; downArea[p] != 0 && !(reached[p] & bit);) {
            reached[p] |= bit;
            const TArea& a = s.Areas[downArea[p]];
            if (!GroupCoversPathKind(group, a.Kind))
                out.push_back({"Ошибка: для группы мобильности входа №" + NodeLabel(s, i) +
                                   " нет данных о движении по участку №" + AreaLabel(s, a) + ";",
                               AreaRef(s, downArea[p]), NodeRef(s, i)});
            p = a.Node1 == p ? a.Node2 : a.Node1;
        }
    }
}

std::vector<std::string> MessagesOf(const std::vector<Finding>& findings)
{
    std::vector<std::string> messages;
    messages.reserve(findings.size());
    for (const Finding& f : findings) messages.push_back(f.Message);
    return messages;
}

}  // namespace

DataCheckResult CheckData(const TPipeLine& s)
{
    std::vector<Finding> findings;
    CollectDataMessages(s, findings);
    return {!findings.empty(), MessagesText(MessagesOf(findings))};
}

std::vector<Finding> CheckScheme(const TPipeLine& s)
{
    std::vector<Finding> findings;
    CollectDataMessages(s, findings);
    if (AreaCount(s) == 0) {
        findings.push_back({"Ошибка: не найдено ни одного участка;", {}});
        return findings;
    }
    StructureCheck(s, findings).Run();
    if (!findings.empty()) return findings;
    const FlowTree tree(s);
    CollectPeopleTotals(s, tree, findings);
    CollectCoverageMessages(s, tree, findings);
    return findings;
}

std::vector<std::string> ValidateScheme(const TPipeLine& s) { return MessagesOf(CheckScheme(s)); }

std::string MessagesText(const std::vector<std::string>& messages)
{
    std::string text;
    for (const std::string& m : messages) {
        text += m;
        text += "\r\n";
    }
    return text;
}

}  // namespace stelmar
