#include "cli/ResultJson.h"

#include <cmath>
#include <cstdio>

#include "model/NumberText.h"

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

    std::ostream& Raw() { return out_; }

private:
    std::ostream& out_;
};

void WriteStep(JsonWriter& w, const TReport& r)
{
    w.Raw() << '{';
    w.Field("FromNode", r.FromNode);
    w.Field("ToNode", r.ToNode);
    w.Field("StartsFlow", r.StartsFlow);
    w.Field("FirstArea", r.FirstArea);
    w.Field("PathKind", r.PathKind);
    w.Field("GroupCode", r.GroupCode);
    w.Field("MergedFlows", r.MergedFlows);
    w.Field("MergedIntensity", r.MergedIntensity);
    w.Field("MergedWidth", r.MergedWidth);
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

}  // namespace

void WriteResultJson(std::ostream& out, const TPipeLine& s, const std::vector<Finding>& findings,
                     const std::string& resultLine)
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
    out << '[';
    for (std::size_t i = 0; i < findings.size(); ++i) {
        if (i > 0) out << ',';
        out << '{';
        w.Field("message", findings[i].Message);
        w.Key("element");
        WriteElement(w, findings[i].Element);
        out << '}';
    }
    out << "],";
    if (!valid) {
        out << "\"result_line\":null,\"t_p\":null,\"exit_times\":[],\"flow_count\":0,\"steps\":[]}\n";
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
        WriteStep(w, s.Reports[i]);
    }
    out << "]}\n";
}

}  // namespace stelmar
