// bare_walk: the reference that stelmar-calc's open, check and calculation
// are measured against (ProcessBench.cpp). A bare program that does the
// essential work on a project file and nothing else: it reads the whole
// file, parses every line, builds the adjacency of the nodes and walks
// every exit's tree, processing the areas upstream first with the per-area
// arithmetic of the flow (density of the first area, table look-ups,
// intensities carried over and merged, limits with their delays, times),
// rounded as the calculation rounds; then it prints the largest time at an
// exit. It keeps one merged flow per node and no records of the steps.
//
//   bare_walk FILE.stm [PRECISION]

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "calc/MovementTables.h"

namespace {

class Lines {
public:
    Lines(const char* begin, const char* end) : p_(begin), end_(end) {}

    std::string_view Next()
    {
        const char* nl = static_cast<const char*>(std::memchr(p_, '\n', static_cast<std::size_t>(end_ - p_)));
        const char* stop = nl ? nl : end_;
        std::string_view line(p_, static_cast<std::size_t>(stop - p_));
        p_ = nl ? nl + 1 : end_;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }

    int Int()
    {
        const std::string_view s = Next();
        int value = 0;
        std::from_chars(s.data(), s.data() + s.size(), value);
        return value;
    }

    double Real()
    {
        const std::string_view s = Next();
        char buf[64];
        const std::size_t n = std::min(s.size(), sizeof buf);
        std::memcpy(buf, s.data(), n);
        std::replace(buf, buf + n, ',', '.');
        double value = 0;
        std::from_chars(buf, buf + n, value);
        return value;
    }

private:
    const char* p_;
    const char* end_;
};

struct Node {
    std::uint8_t Kind;
    std::uint8_t Group;
    std::int32_t People;
    double F;
};

struct Area {
    std::int32_t Node1;
    std::int32_t Node2;
    double Length;
    double Width;
    std::uint8_t Kind;
};

// The flow leaving a node: everything that arrived there merged.
struct Flow {
    double Sum = 0;  // Σ q·δ
    double Time = 0;
    double People = 0;
    double PeopleArea = 0;
    std::uint8_t Group = 0;
    bool Any = false;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: bare_walk FILE.stm [PRECISION]\n", stderr);
        return 64;
    }
    const int precision = argc > 2 ? std::atoi(argv[2]) : 3;
    const double factor = 1.0 / std::pow(10.0, precision);
    const auto R = [factor](double x) { return std::nearbyint(x / factor) * factor; };

    std::FILE* file = std::fopen(argv[1], "rb");
    if (!file) return 1;
    std::fseek(file, 0, SEEK_END);
    std::string bytes(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::fseek(file, 0, SEEK_SET);
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) return 1;
    std::fclose(file);

    Lines in(bytes.data(), bytes.data() + bytes.size());
    const bool current = in.Next() == "v4";
    if (current) in.Next();
    const int nodeCount = in.Int();
    in.Next();
    const int areaCount = in.Int();
    in.Next();
    in.Int();  // floors
    in.Next();
    in.Int();  // active floor
    in.Next();  // RazVr
    in.Next();
    std::vector<Node> nodes(static_cast<std::size_t>(nodeCount) + 1);
    for (int i = 1; i <= nodeCount; ++i) {
        Node& n = nodes[i];
        n.Kind = static_cast<std::uint8_t>(in.Int());
        in.Int();  // floor
        n.People = in.Int();
        in.Int();  // flows
        n.F = in.Real();
        in.Int();  // x
        in.Int();  // y
        in.Next();  // name
        n.Group = current ? static_cast<std::uint8_t>(in.Int()) : 0;
    }
    in.Next();
    std::vector<Area> areas(static_cast<std::size_t>(areaCount) + 1);
    for (int i = 1; i <= areaCount; ++i) {
        Area& a = areas[i];
        a.Node1 = in.Int();
        a.Node2 = in.Int();
        in.Int();  // floor
        a.Length = in.Real();
        a.Width = in.Real();
        a.Kind = static_cast<std::uint8_t>(in.Int());
    }

    // Adjacency: the areas at each node, in area order.
    std::vector<std::int32_t> start(static_cast<std::size_t>(nodeCount) + 2, 0);
    for (int i = 1; i <= areaCount; ++i) {
        ++start[areas[i].Node1 + 1];
        ++start[areas[i].Node2 + 1];
    }
    for (int p = 1; p <= nodeCount + 1; ++p) start[p] += start[p - 1];
    std::vector<std::int32_t> at(static_cast<std::size_t>(start[nodeCount + 1]));
    {
        std::vector<std::int32_t> fill(start.begin(), start.end() - 1);
        for (int i = 1; i <= areaCount; ++i) {
            at[fill[areas[i].Node1]++] = i;
            at[fill[areas[i].Node2]++] = i;
        }
    }

    std::vector<Flow> flows(nodes.size());
    struct Step {
        std::int32_t Area;
        std::int32_t Down;
    };
    std::vector<Step> walk;
    std::vector<Step> stack;
    double total = 0;
    for (int exitArea = 1; exitArea <= areaCount; ++exitArea) {
        const Area& e = areas[exitArea];
        int exit = nodes[e.Node1].Kind == 2 ? e.Node1 : nodes[e.Node2].Kind == 2 ? e.Node2 : 0;
        if (exit == 0) continue;
        walk.clear();
        stack.push_back({exitArea, exit});
        while (!stack.empty()) {
            const Step s = stack.back();
            stack.pop_back();
            walk.push_back(s);
            const Area& a = areas[s.Area];
            const int up = a.Node2 == s.Down ? a.Node1 : a.Node2;
            for (int k = start[up + 1] - 1; k >= start[up]; --k)
                if (at[k] != s.Area) stack.push_back({at[k], up});
        }
        for (auto s = walk.rbegin(); s != walk.rend(); ++s) {
            const Area& a = areas[s->Area];
            const int u = a.Node2 == s->Down ? a.Node1 : a.Node2;
            const Node& up = nodes[u];
            Flow& down = flows[s->Down];
            double q = 0;
            double time = 0;
            double people = 0;
            double peopleArea = 0;
            int group = 0;
            if (up.Kind == 1) {
                group = up.Group;
                const double density = R(up.People * up.F / (a.Length * a.Width));
                q = R(stelmar::IntensityByDensity(group, density));
                const double v = R(stelmar::SpeedByDensity(group, density));
                time = R(a.Length / v);
                people = up.People;
                peopleArea = up.People * up.F;
            } else {
                const Flow& in = flows[u];
                if (!in.Any) continue;
                group = in.Group;
                people = in.People;
                peopleArea = in.PeopleArea;
                q = R(in.Sum / a.Width);
                double v = R(stelmar::SpeedByIntensity(a.Kind, group, q));
                double delay = 0;
                if (v == 0) {
                    q = stelmar::LimitIntensity(a.Kind, group, a.Width);
                    delay = R(peopleArea * (1 / (q * a.Width) - 1 / in.Sum));
                    v = stelmar::LimitSpeed(a.Kind, group);
                }
                time = R(in.Time + R(a.Length / v + delay));
            }
            down.Sum = R(q * a.Width + down.Sum);
            down.Time = std::max(down.Time, time);
            down.People += people;
            down.PeopleArea += peopleArea;
            if (!down.Any) down.Group = static_cast<std::uint8_t>(group);
            down.Any = true;
        }
        total = std::max(total, flows[exit].Time);
    }
    std::printf("%.15g\n", R(total));
    return 0;
}
