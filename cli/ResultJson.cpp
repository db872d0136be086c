#include "cli/ResultJson.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "model/NumberText.h"
#include "model/Scenarios.h"

namespace stelmar {

namespace {

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void String(const std::string& s)
    {
        out_ << '"';
        for (const char c : s) {
            switch (c) {
            case '"': out_ << "\\\""; break;
            case '\\': out_ << "\\\\"; break;
            case '\n': out_ << "\\n"; break;
            case '\r': out_ << "\\r"; break;
            case '\t': out_ << "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out_ << buf;
                } else {
                    out_ << c;
                }
            }
        }
        out_ << '"';
    }

    void Number(double x)
    {
        if (std::isfinite(x)) out_ << FormatShortest(x);
        else out_ << "null";
    }

    void Key(const char* name) { out_ << '"' << name << "\":"; }

    template <typename T>
    void Field(const char* name, const T& value, bool last = false)
    {
        Key(name);
        Value(value);
        if (!last) out_ << ',';
    }

    void Value(double x) { Number(x); }
    void Value(const std::optional<double>& x)
    {
        if (x) Number(*x);
        else out_ << "null";
    }
    void Value(std::int32_t x) { out_ << x; }
    void Value(bool b) { out_ << (b ? "true" : "false"); }
    void Value(std::uint8_t b) { out_ << static_cast<int>(b); }
    void Value(const std::string& s) { String(s); }

    template <typename T>
    void Value(const std::vector<T>& list)  // element 0 is a placeholder
    {
        out_ << '[';
        for (std::size_t i = 1; i < list.size(); ++i) {
            if (i > 1) out_ << ',';
            Value(list[i]);
        }
        out_ << ']';
    }

    // One field of the merged flows of a step as a list of `count`
    // entries, one per flow state at the upstream node: those that go on
    // as flows of their own are 0.
    template <typename T>
    void MergedList(const char* name, const std::vector<TMergedFlow>& merged, std::int32_t count,
                    T TMergedFlow::*field)
    {
        Key(name);
        out_ << '[';
        const std::size_t entries = std::max(static_cast<std::size_t>(std::max(count, 0)), merged.size());
        for (std::size_t i = 0; i < entries; ++i) {
            if (i > 0) out_ << ',';
            Value(i < merged.size() ? merged[i].*field : T{});
        }
        out_ << "],";
    }

    std::ostream& Raw() { return out_; }

private:
    std::ostream& out_;
};

void WriteStep(JsonWriter& w, const TPipeLine& s, const TReport& r)
{
    w.Raw() << '{';
    w.Field("FromNode", NodeLabel(s, r.Upstream));
    w.Field("ToNode", NodeLabel(s, r.Downstream));
    w.Field("StartsFlow", r.StartsFlow);
    w.Field("FirstArea", r.FirstArea);
    w.Field("PathKind", r.PathKind);
    w.Field("GroupCode", r.GroupCode);
    w.MergedList("MergedFlows", r.Merged, r.ArrivingCount, &TMergedFlow::FlowNo);
    w.MergedList("MergedIntensity", r.Merged, r.ArrivingCount, &TMergedFlow::Intensity);
    w.MergedList("MergedWidth", r.Merged, r.ArrivingCount, &TMergedFlow::Width);
    w.Field("FlowNo", r.FlowNo);
    w.Field("ArrivingCount", r.ArrivingCount);
    w.Field("People", r.People);
    w.Field("RawIntensity", r.RawIntensity);
    w.Field("Density", r.Density);
    w.Field("Width", r.Width);
    w.Field("AreaTime", r.AreaTime);
    w.Field("DelayTime", r.DelayTime);
    w.Field("AccumTime", r.AccumTime);
    w.Field("Speed", r.Speed);
    w.Field("Intensity", r.Intensity);
    w.Field("Length", r.Length);
    w.Field("TotalTime", r.TotalTime);
    w.Field("ProjArea", r.ProjArea, true);
    w.Raw() << '}';
}

void WriteElement(JsonWriter& w, const ElementRef& e)
{
    if (e.Kind == ElementKind::None) {
        w.Raw() << "null";
        return;
    }
    w.Raw() << '{';
    w.Field("kind", std::string(e.Kind == ElementKind::Node ? "node" : "area"));
    w.Field("number", std::int32_t{e.Number});
    w.Field("floor", std::int32_t{e.Floor}, true);
    w.Raw() << '}';
}

void WriteOk(JsonWriter& w, Verdict v)
{
    w.Key("ok");
    w.Raw() << (v == Verdict::Met ? "true" : v == Verdict::Failed ? "false" : "null") << ',';
}

void WriteInput(JsonWriter& w, const TPipeLine& drawn, const InputCheck& c, char separator)
{
    w.Raw() << '{';
    w.Key("node");
    WriteElement(w, NodeRef(drawn, c.Node));
    w.Raw() << ',';
    w.Field("label", c.Label);
    w.Field("people", c.People);
    w.Field("tp", c.EvacuationTime);
    w.Field("tne", c.StartDelay);
    w.Field("tbl", c.BlockTime);
    w.Field("allowed", c.BlockTime ? std::optional<double>(c.Allowed) : std::nullopt);
    w.Field("total", c.Total);
    w.Field("tsk", c.AccumTime);
    w.Field("verdict", std::string(VerdictText(c.Result)));
    WriteOk(w, c.Result);
    w.Field("reason", ReasonText(c, separator), true);
    w.Raw() << '}';
}

void WritePoint(JsonWriter& w, const TPipeLine& drawn, const PointCheck& p, char separator)
{
    w.Raw() << '{';
    w.Key("node");
    WriteElement(w, NodeRef(drawn, p.Node));
    w.Raw() << ',';
    w.Field("label", p.Label);
    w.Field("flow", std::int32_t{p.Flow});
    w.Field("people", p.People);
    w.Field("time", p.PassTime);
    w.Field("tne", p.StartDelay);
    w.Field("tbl", p.BlockTime);
    w.Field("allowed", p.Allowed);
    w.Field("total", p.Total);
    w.Field("verdict", std::string(VerdictText(p.Result)));
    WriteOk(w, p.Result);
    w.Field("reason", ReasonText(p, separator), true);
    w.Raw() << '}';
}

template <typename T, typename Write>
void List(JsonWriter& w, const std::vector<T>& items, Write write)
{
    w.Raw() << '[';
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) w.Raw() << ',';
        write(items[i]);
    }
    w.Raw() << ']';
}

void WriteScenarios(JsonWriter& w, const ScenarioJson& scenarios)
{
    const TPipeLine& drawn = scenarios.Drawn;
    const int worst = WorstScenario(scenarios.Runs);
    w.Key("scenarios");
    w.Raw() << '[';
    for (std::size_t i = 0; i < scenarios.Runs.size(); ++i) {
        const ScenarioRun& run = scenarios.Runs[i];
        const TScenario& sc = ScenarioAt(drawn, run.Index);
        if (i > 0) w.Raw() << ",\n";
        w.Raw() << '{';
        w.Field("name", run.Name);
        w.Field("active", run.Index == ActiveScenarioIndex(drawn));
        w.Key("excluded");
        std::vector<ElementRef> excluded;
        for (const int n : sc.ExcludedNodes) excluded.push_back(NodeRef(drawn, n));
        for (const int a : sc.ExcludedAreas) excluded.push_back(AreaRef(drawn, a));
        List(w, excluded, [&](const ElementRef& e) { WriteElement(w, e); });
        w.Raw() << ',';
        w.Field("tp", run.Built.Scheme.EvacuationTime);
        w.Field("result_line", run.ResultLine);
        WriteOk(w, run.Check.Result);
        w.Field("worst", static_cast<int>(i) == worst);
        w.Key("inputs");
        List(w, run.Check.Inputs, [&](const InputCheck& c) { WriteInput(w, drawn, c, scenarios.Separator); });
        w.Raw() << ',';
        w.Key("points");
        List(w, run.Check.Points, [&](const PointCheck& p) { WritePoint(w, drawn, p, scenarios.Separator); });
        w.Raw() << '}';
    }
    w.Raw() << ']';
}

// Each finding's message with its element, then a comma.
void WriteFindings(JsonWriter& w, const std::vector<Finding>& findings)
{
    w.Raw() << '[';
    for (std::size_t i = 0; i < findings.size(); ++i) {
        if (i > 0) w.Raw() << ',';
        w.Raw() << '{';
        w.Field("message", findings[i].Message);
        w.Key("element");
        WriteElement(w, findings[i].Element);
        w.Raw() << '}';
    }
    w.Raw() << "],";
}

}  // namespace

void WriteResultJson(std::ostream& out, const TPipeLine& s, const std::vector<Finding>& findings,
                     const std::vector<Finding>& warnings, const std::string& resultLine,
                     const ScenarioJson* scenarios)
{
    JsonWriter w(out);
    const bool valid = findings.empty();
    out << '{';
    w.Field("valid", valid);
    w.Key("messages");
    out << '[';
    for (std::size_t i = 0; i < findings.size(); ++i) {
        if (i > 0) out << ',';
        w.String(findings[i].Message);
    }
    out << "],";
    w.Key("findings");
    WriteFindings(w, findings);
    w.Key("warnings");
    WriteFindings(w, warnings);
    if (!valid) {
        out << "\"result_line\":null,\"t_p\":null,\"exit_times\":[],\"flow_count\":0,\"steps\":[],"
               "\"scenarios\":[]}\n";
        return;
    }
    w.Field("result_line", resultLine);
    w.Field("t_p", s.EvacuationTime);
    w.Field("exit_times", s.ExitTimes);
    w.Field("flow_count", s.FlowCounter);
    w.Key("steps");
    out << '[';
    for (std::size_t i = 1; i < s.Reports.size(); ++i) {
        if (i > 1) out << ",\n";
        WriteStep(w, s, s.Reports[i]);
    }
    out << "],";
    if (scenarios) WriteScenarios(w, *scenarios);
    else out << "\"scenarios\":[]";
    out << "}\n";
}

}  // namespace stelmar
