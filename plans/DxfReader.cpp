// The adapter from dxflib's callbacks to a PlanDrawing: entities are kept
// per block (model space is one more block) as they come, and placed once
// the whole file is read, since an INSERT may name a block defined later.

#include "plans/DxfReader.h"

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <numbers>
#include <sstream>
#include <unordered_map>

#include "plans/DxfTexts.h"
#include "plans/PlanShapes.h"

namespace stelmar {

const char* const kDwgRefused = "Формат DWG не поддерживается: сохраните чертеж в формате DXF";

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr int kByBlock = 0;
constexpr int kByLayer = 256;
constexpr int kDeepestBlock = 32;  // blocks nested deeper are not drawn

// How an entity was drawn: its layer (index into the layer table), its
// colour index (kByLayer, kByBlock or 1..255) and its true colour (-1 none).
struct Style {
    int Layer = 0;
    int Index = kByLayer;
    int True = -1;
};

struct RawPolyline {
    Style Look;
    bool Closed = false;
    std::vector<PlanPoint> Points;
};

struct RawArc {
    Style Look;
    PlanArc Shape;
};

struct RawText {
    Style Look;
    PlanText Shape;  // Layer and Color are set when placed
    bool Multiline = false;
};

struct RawInsert {
    Style Look;
    std::string Block;
    PlanTransform Place;
};

// A block's entities in its own coordinates; model space is block 0.
struct RawBlock {
    std::vector<RawPolyline> Polylines;
    std::vector<RawArc> Arcs;
    std::vector<RawText> Texts;
    std::vector<RawInsert> Inserts;
    std::map<std::string, int> Skipped;
};

// The kinds of entities this reader draws (their DXF names); the rest are
// counted.
bool Drawn(std::string_view kind)
{
    static const char* const kinds[] = {"LINE",   "LWPOLYLINE", "POLYLINE", "VERTEX", "SEQEND", "ARC",   "CIRCLE",
                                        "ELLIPSE", "SPLINE",    "TEXT",     "MTEXT",  "INSERT", "HATCH", "ATTRIB", "BLOCK", "ENDBLK", "ATTDEF",
                                        "ENDSEC", "SECTION", "EOF"};
    return std::find(std::begin(kinds), std::end(kinds), kind) != std::end(kinds);
}

double Sweep(double start, double end)
{
    double sweep = std::fmod(end - start, 2 * std::numbers::pi);
    if (sweep <= 1e-12) sweep += 2 * std::numbers::pi;
    return sweep;
}

class Collector : public DL_CreationAdapter {
public:
    Collector() { blocks_.emplace_back(); }

    // The entities of kinds not drawn are counted from the groups of the
    // file (ScanGroups), since dxflib reports nothing for kinds it does not
    // know; per block (model space is ""), leaving out those of paper space
    // (67 = 1).
    void Group(int code, std::string_view value)
    {
        if (code == 67 && value == "1") skipPaper_ = true;
        if (code == 2 && expectName_) {
            (expectSection_ ? section_ : blockName_) = value;
            expectName_ = false;
        }
        if (code != 0) return;
        if (!skipKind_.empty() && !skipPaper_) ++skipped_[blockName_][skipKind_];
        skipKind_.clear();
        skipPaper_ = false;
        expectSection_ = value == "SECTION";
        expectName_ = expectSection_ || (section_ == "BLOCKS" && value == "BLOCK");
        if (value == "ENDSEC") section_.clear();
        if (value == "ENDBLK" || value == "ENDSEC") blockName_.clear();
        if ((section_ == "ENTITIES" || section_ == "BLOCKS") && !Drawn(value)) skipKind_ = value;
    }

    void endEntity() override { Finish(); }
    void endSequence() override { Finish(); }
    void endSection() override { Finish(); }

    void setVariableInt(const std::string& key, int value, int) override
    {
        if (key == "$INSUNITS") units_ = value;
    }
    void setVariableString(const std::string& key, const std::string& value, int) override
    {
        if (key == "$ACADVER") version_ = value;
        if (key == "$DWGCODEPAGE") codePage_ = value;
    }

    void addLayer(const DL_LayerData& data) override
    {
        const int color = attributes.getColor();
        const int layer = LayerIndex(data.name);
        layers_[layer].Color = color;
        layers_[layer].Off = color < 0 || (data.flags & 1) != 0;
        layers_[layer].Color24 = attributes.getColor24();
    }

    void addBlock(const DL_BlockData& data) override
    {
        Finish();
        const auto [at, added] = blockIndex_.try_emplace(data.name, static_cast<int>(blocks_.size()));
        if (added) blocks_.emplace_back();
        current_ = at->second;
        base_ = {data.bpx, data.bpy};
    }
    void endBlock() override
    {
        Finish();
        current_ = 0;
        base_ = {};
    }

    void addLine(const DL_LineData& d) override
    {
        if (!Take()) return;
        Block().Polylines.push_back({Look(), false, {Local({d.x1, d.y1}), Local({d.x2, d.y2})}});
    }

    void addPolyline(const DL_PolylineData& d) override
    {
        if (!Take()) return;
        if ((d.flags & (16 | 64)) != 0) {  // polygon and polyface meshes
            ++Block().Skipped["POLYLINE"];
            return;
        }
        polyline_ = std::make_unique<RawPolyline>(RawPolyline{Look(), (d.flags & 1) != 0, {}});
        bulges_.clear();
        ocs_ = Ocs();
    }
    void addVertex(const DL_VertexData& d) override
    {
        if (!polyline_) return;
        polyline_->Points.push_back(Local(ocs_({d.x, d.y})));
        bulges_.push_back(ocs_.A < 0 ? -d.bulge : d.bulge);
    }

    void addArc(const DL_ArcData& d) override
    {
        if (!Take()) return;
        AddArc(Ocs(), {d.cx, d.cy}, {d.radius, 0}, {0, d.radius}, d.angle1 * kDegree,
               Sweep(d.angle1 * kDegree, d.angle2 * kDegree));
    }
    void addCircle(const DL_CircleData& d) override
    {
        if (!Take()) return;
        AddArc(Ocs(), {d.cx, d.cy}, {d.radius, 0}, {0, d.radius}, 0, 2 * std::numbers::pi);
    }
    void addEllipse(const DL_EllipseData& d) override
    {
        if (!Take()) return;
        AddArc({}, {d.cx, d.cy}, {d.mx, d.my}, {-d.my * d.ratio, d.mx * d.ratio}, d.angle1, Sweep(d.angle1, d.angle2));
    }

    void addSpline(const DL_SplineData& d) override
    {
        if (!Take()) return;
        spline_ = std::make_unique<Spline>();
        spline_->Look = Look();
        spline_->Degree = static_cast<int>(d.degree);
        spline_->Closed = (d.flags & 1) != 0;
    }
    void addControlPoint(const DL_ControlPointData& d) override
    {
        if (!spline_) return;
        spline_->Control.push_back({d.x, d.y});
        spline_->Weights.push_back(d.w);
    }
    void addKnot(const DL_KnotData& d) override
    {
        if (spline_) spline_->Knots.push_back(d.k);
    }
    void addFitPoint(const DL_FitPointData& d) override
    {
        if (spline_) spline_->Fit.push_back({d.x, d.y});
    }

    void addText(const DL_TextData& d) override
    {
        if (!Take()) return;
        AddText(d);
    }
    void addAttribute(const DL_AttributeData& d) override
    {
        if (!Take()) return;
        AddText(d);
    }
    void addMTextChunk(const std::string& text) override { mtext_ += text; }
    void addMText(const DL_MTextData& d) override
    {
        if (!Take()) return;
        RawText t;
        t.Look = Look();
        t.Multiline = true;
        PlanPoint along{d.dirx, d.diry};
        const double length = std::hypot(along.X, along.Y);
        along = length > 0 ? PlanPoint{along.X / length, along.Y / length} : PlanPoint{std::cos(d.angle * kDegree), std::sin(d.angle * kDegree)};
        const PlanTransform ocs = Ocs();
        t.Shape.At = Local(ocs({d.ipx, d.ipy}));
        t.Shape.Along = ocs.Linear({along.X * d.height, along.Y * d.height});
        t.Shape.Up = ocs.Linear({-along.Y * d.height, along.X * d.height});
        const int attach = std::clamp(d.attachmentPoint, 1, 9) - 1;
        t.Shape.Align = static_cast<TextAlign>(attach % 3);
        t.Shape.Base = attach / 3 == 0 ? TextBase::Top : attach / 3 == 1 ? TextBase::Middle : TextBase::Bottom;
        t.Shape.Text = mtext_ + d.text;
        mtext_.clear();
        Block().Texts.push_back(std::move(t));
    }

    void addInsert(const DL_InsertData& d) override
    {
        if (!Take()) return;
        const double sx = d.sx == 0 ? 1 : d.sx, sy = d.sy == 0 ? 1 : d.sy;
        const PlanTransform ocs = Ocs();
        const PlanTransform rotate = PlanTransform::Rotate(d.angle * kDegree);
        const int cols = std::clamp(d.cols, 1, 1000), rows = std::clamp(d.rows, 1, 1000);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                // The block's base point at the insertion point, the array's cells along the rotated axes.
                const PlanTransform place = PlanTransform::Stretch(sx, sy)
                                                .Then(PlanTransform::Move(c * d.colSp, r * d.rowSp))
                                                .Then(rotate)
                                                .Then(PlanTransform::Move(d.ipx, d.ipy))
                                                .Then(ocs)
                                                .Then(PlanTransform::Move(-base_.X, -base_.Y));
                Block().Inserts.push_back({Look(), d.name, place});
            }
    }

    void addHatch(const DL_HatchData&) override
    {
        if (!Take()) return;
        hatch_ = true;
        hatchLook_ = Look();
        hatchOcs_ = Ocs();
    }
    void addHatchLoop(const DL_HatchLoopData&) override {}
    void addHatchEdge(const DL_HatchEdgeData& e) override
    {
        if (!hatch_) return;
        const PlanTransform& ocs = hatchOcs_;
        if (!e.vertices.empty()) {
            RawPolyline boundary{hatchLook_, true, {}};
            std::vector<double> bulges;
            for (const std::vector<double>& v : e.vertices) {
                if (v.size() < 2) continue;
                boundary.Points.push_back(Local(ocs({v[0], v[1]})));
                bulges.push_back(v.size() > 2 ? (ocs.A < 0 ? -v[2] : v[2]) : 0);
            }
            AddPolyline(std::move(boundary), bulges);
            return;
        }
        switch (e.type) {
        case 1:
            Block().Polylines.push_back({hatchLook_, false, {Local(ocs({e.x1, e.y1})), Local(ocs({e.x2, e.y2}))}});
            break;
        case 2:
        case 3: {
            // A clockwise edge gives its angles mirrored in the x axis: the
            // points at -angle1 .. -angle2, which a mirrored minor axis walks.
            const PlanPoint major = e.type == 2 ? PlanPoint{e.radius, 0} : PlanPoint{e.mx, e.my};
            const double ratio = (e.type == 2 ? 1 : e.ratio) * (e.ccw ? 1 : -1);
            AddArcWith(hatchLook_, ocs, {e.cx, e.cy}, major, {-major.Y * ratio, major.X * ratio}, e.angle1,
                       Sweep(e.angle1, e.angle2));
            break;
        }
        case 4: {
            std::vector<PlanPoint> control;
            for (const std::vector<double>& p : e.controlPoints)
                if (p.size() >= 2) control.push_back(ocs({p[0], p[1]}));
            std::vector<PlanPoint> points = SplinePoints(static_cast<int>(e.degree), control, e.weights, e.knots);
            for (PlanPoint& p : points) p = Local(p);
            if (points.size() >= 2) Block().Polylines.push_back({hatchLook_, false, std::move(points)});
            break;
        }
        default: break;
        }
    }

    void add3dFace(const DL_3dFaceData&) override {}

    // Places every block reached from model space and decodes the texts.
    PlanDrawing Result()
    {
        Finish();
        for (const auto& [name, kinds] : skipped_) {
            const auto at = name.empty() ? blockIndex_.end() : blockIndex_.find(name);
            if (!name.empty() && at == blockIndex_.end()) continue;
            for (const auto& [kind, count] : kinds) blocks_[name.empty() ? 0 : at->second].Skipped[kind] += count;
        }
        const DxfTextDecoder decode(version_, codePage_);
        drawing_.Units = units_;
        for (const RawLayer& raw : layers_) {
            PlanLayer layer;
            layer.Name = decode(raw.Name);
            layer.Color = raw.Color24 >= 0 ? PlanColor(raw.Color24 & 0xFFFFFF) : IndexColor(std::abs(raw.Color));
            if (layer.Color == 0xFFFFFF) layer.Color = 0;
            layer.Off = raw.Off;
            drawing_.Layers.push_back(std::move(layer));
        }
        placing_.assign(blocks_.size(), false);
        Place(0, {}, Style{0, 7, -1}, 0, decode);
        return std::move(drawing_);
    }

private:
    struct RawLayer {
        std::string Name;
        int Color = 7;
        int Color24 = -1;
        bool Off = false;
    };
    struct Spline {
        Style Look;
        int Degree = 3;
        bool Closed = false;
        std::vector<PlanPoint> Control;
        std::vector<double> Weights;
        std::vector<double> Knots;
        std::vector<PlanPoint> Fit;
    };

    RawBlock& Block() { return blocks_[current_]; }

    // Entities of paper space are left out.
    bool Take()
    {
        Finish();
        return !attributes.isInPaperSpace();
    }

    int LayerIndex(const std::string& name)
    {
        const auto [at, added] = layerIndex_.try_emplace(name, static_cast<int>(layers_.size()));
        if (added) layers_.push_back({name});
        return at->second;
    }

    Style Look()
    {
        return {LayerIndex(attributes.getLayer()), attributes.getColor(), attributes.getColor24()};
    }

    // From the object coordinate system of an entity drawn from below (its
    // extrusion pointing down) to the world: mirrored in x.
    PlanTransform Ocs()
    {
        const DL_Extrusion* e = getExtrusion();
        return e && e->getDirection()[2] < 0 ? PlanTransform::Stretch(-1, 1) : PlanTransform{};
    }

    // Within a block, relative to its base point.
    PlanPoint Local(PlanPoint p) const { return current_ == 0 ? p : PlanPoint{p.X - base_.X, p.Y - base_.Y}; }

    void AddArc(const PlanTransform& ocs, PlanPoint center, PlanPoint major, PlanPoint minor, double start, double sweep)
    {
        AddArcWith(Look(), ocs, center, major, minor, start, sweep);
    }
    void AddArcWith(const Style& look, const PlanTransform& ocs, PlanPoint center, PlanPoint major, PlanPoint minor,
                    double start, double sweep)
    {
        RawArc arc{look, {}};
        arc.Shape.Center = Local(ocs(center));
        arc.Shape.Major = ocs.Linear(major);
        arc.Shape.Minor = ocs.Linear(minor);
        arc.Shape.Start = start;
        arc.Shape.Sweep = sweep;
        Block().Arcs.push_back(arc);
    }

    void AddText(const DL_TextData& d)
    {
        RawText t;
        t.Look = Look();
        const bool aligned = d.hJustification != 0 || d.vJustification != 0;
        const bool fitted = d.hJustification == 3 || d.hJustification == 5;
        const PlanTransform ocs = Ocs();
        t.Shape.At = Local(ocs(aligned && !fitted ? PlanPoint{d.apx, d.apy} : PlanPoint{d.ipx, d.ipy}));
        const double angle = d.angle, width = d.xScaleFactor > 0 ? d.xScaleFactor : 1;
        const PlanPoint along{std::cos(angle), std::sin(angle)};
        t.Shape.Along = ocs.Linear({along.X * d.height * width, along.Y * d.height * width});
        t.Shape.Up = ocs.Linear({-along.Y * d.height, along.X * d.height});
        if (!fitted) {
            const int h = d.hJustification == 4 ? 1 : std::clamp(d.hJustification, 0, 2);
            t.Shape.Align = static_cast<TextAlign>(h);
            t.Shape.Base = d.hJustification == 4 ? TextBase::Middle : static_cast<TextBase>(std::clamp(d.vJustification, 0, 3));
        }
        t.Shape.Text = d.text;
        Block().Texts.push_back(std::move(t));
    }

    void AddPolyline(RawPolyline line, const std::vector<double>& bulges)
    {
        if (line.Points.empty()) return;
        bool curved = false;
        for (double b : bulges) curved = curved || std::abs(b) > 1e-9;
        if (curved) {
            std::vector<PlanPoint> points{line.Points.front()};
            const std::size_t n = line.Points.size();
            for (std::size_t i = 0; i + 1 < n || (line.Closed && i < n); ++i)
                AppendBulge(points, line.Points[i], line.Points[(i + 1) % n], i < bulges.size() ? bulges[i] : 0);
            if (line.Closed) points.pop_back();
            line.Points = std::move(points);
        }
        Block().Polylines.push_back(std::move(line));
    }

    // The polyline or spline whose points came since it began.
    void Finish()
    {
        if (polyline_) {
            std::unique_ptr<RawPolyline> line = std::move(polyline_);
            AddPolyline(std::move(*line), bulges_);
        }
        if (spline_) {
            std::unique_ptr<Spline> s = std::move(spline_);
            std::vector<PlanPoint> points =
                s->Control.size() >= 2 ? SplinePoints(s->Degree, s->Control, s->Weights, s->Knots) : s->Fit;
            for (PlanPoint& p : points) p = Local(p);
            if (points.size() >= 2) Block().Polylines.push_back({s->Look, false, std::move(points)});
        }
        hatch_ = false;
    }

    // The layer and colour an entity of a placed block takes: one on layer
    // "0" takes the INSERT's layer; BYBLOCK takes the INSERT's colour.
    Style Resolved(const Style& own, const Style& outer) const
    {
        Style s = own;
        if (layers_[own.Layer].Name == "0" && outer.Layer != own.Layer) s.Layer = outer.Layer;
        if (own.True < 0 && own.Index == kByBlock) {
            s.Index = outer.Index;
            s.True = outer.True;
        }
        if (s.True < 0 && s.Index == kByLayer) {
            s.Index = layers_[s.Layer].Color;
            s.True = layers_[s.Layer].Color24;
        }
        return s;
    }

    static PlanColor ColorOf(const Style& s)
    {
        const PlanColor c = s.True >= 0 ? PlanColor(s.True & 0xFFFFFF) : IndexColor(std::abs(s.Index));
        return c == 0xFFFFFF ? 0 : c;
    }

    // The box a text takes, estimated from its letters: the painting lays
    // its lines 1.85 heights apart and a letter is about 0.8 heights wide.
    void AddTextBox(const PlanText& t)
    {
        std::size_t lines = 1, longest = 0, run = 0;
        for (char c : t.Text) {
            if (c == '\n') ++lines;
            run = c == '\n' ? 0 : run + ((c & 0xC0) != 0x80);
            longest = std::max(longest, run);
        }
        const double width = 0.8 * static_cast<double>(longest), height = 1.85 * static_cast<double>(lines - 1) + 1;
        const double left = t.Align == TextAlign::Start ? 0 : t.Align == TextAlign::Center ? -width / 2 : -width;
        double bottom = -0.3;
        if (t.Base == TextBase::Bottom) bottom = 0;
        if (t.Base == TextBase::Middle) bottom = -height / 2;
        if (t.Base == TextBase::Top) bottom = -height - 0.3;
        if (t.Base == TextBase::Baseline) bottom = -0.3 - (height - 1);
        for (const double x : {left, left + width})
            for (const double y : {bottom, bottom + height + 0.3})
                drawing_.Extent.Add({t.At.X + x * t.Along.X + y * t.Up.X, t.At.Y + x * t.Along.Y + y * t.Up.Y});
    }

    void Place(int block, const PlanTransform& t, const Style& outer, int depth, const DxfTextDecoder& decode)
    {
        // A block that (through others) inserts itself is placed once.
        if (depth > kDeepestBlock || placing_[block]) return;
        placing_[block] = true;
        const RawBlock& b = blocks_[block];
        for (const auto& [kind, count] : b.Skipped) drawing_.Skipped[kind] += count;
        for (const RawPolyline& line : b.Polylines) {
            const Style s = Resolved(line.Look, outer);
            PlanPolyline out{s.Layer, ColorOf(s), line.Closed, static_cast<std::uint32_t>(drawing_.Points.size()),
                             static_cast<std::uint32_t>(line.Points.size())};
            for (PlanPoint p : line.Points) {
                drawing_.Points.push_back(t(p));
                drawing_.Extent.Add(drawing_.Points.back());
            }
            drawing_.Polylines.push_back(out);
        }
        for (const RawArc& raw : b.Arcs) {
            const Style s = Resolved(raw.Look, outer);
            PlanArc arc = raw.Shape;
            arc.Layer = s.Layer;
            arc.Color = ColorOf(s);
            arc.Center = t(arc.Center);
            arc.Major = t.Linear(arc.Major);
            arc.Minor = t.Linear(arc.Minor);
            const double rx = std::hypot(arc.Major.X, arc.Minor.X), ry = std::hypot(arc.Major.Y, arc.Minor.Y);
            drawing_.Extent.Add({arc.Center.X - rx, arc.Center.Y - ry});
            drawing_.Extent.Add({arc.Center.X + rx, arc.Center.Y + ry});
            drawing_.Arcs.push_back(arc);
        }
        for (const RawText& raw : b.Texts) {
            const Style s = Resolved(raw.Look, outer);
            PlanText text = raw.Shape;
            text.Layer = s.Layer;
            text.Color = ColorOf(s);
            text.At = t(text.At);
            text.Along = t.Linear(text.Along);
            text.Up = t.Linear(text.Up);
            const std::string decoded = decode(text.Text);
            text.Text = raw.Multiline ? PlainMText(decoded) : PlainText(decoded);
            if (text.Text.empty()) continue;
            AddTextBox(text);
            drawing_.Texts.push_back(std::move(text));
        }
        for (const RawInsert& insert : b.Inserts) {
            const auto at = blockIndex_.find(insert.Block);
            if (at == blockIndex_.end()) continue;
            Place(at->second, insert.Place.Then(t), Resolved(insert.Look, outer), depth + 1, decode);
        }
        placing_[block] = false;
    }

    PlanDrawing drawing_;
    std::vector<RawBlock> blocks_;
    std::vector<bool> placing_;  // the blocks being placed, outermost first
    std::unordered_map<std::string, int> blockIndex_;
    std::vector<RawLayer> layers_;
    std::unordered_map<std::string, int> layerIndex_;
    int current_ = 0;
    PlanPoint base_;
    std::unique_ptr<RawPolyline> polyline_;
    std::vector<double> bulges_;
    PlanTransform ocs_;
    std::unique_ptr<Spline> spline_;
    std::string mtext_;
    bool hatch_ = false;
    Style hatchLook_;
    PlanTransform hatchOcs_;
    std::string section_;
    std::string blockName_;
    bool expectName_ = false;
    bool expectSection_ = false;
    std::string skipKind_;
    bool skipPaper_ = false;
    std::map<std::string, std::map<std::string, int>> skipped_;
    int units_ = 0;
    std::string version_;
    std::string codePage_;
};

// Each group of a text DXF to `collector`: its code and value, without the
// spaces and line ends around them.
void ScanGroups(std::string_view bytes, Collector& collector)
{
    const auto line = [&bytes](std::size_t& at) {
        const std::size_t end = std::min(bytes.find('\n', at), bytes.size());
        std::string_view text = bytes.substr(at, end - at);
        at = end + 1;
        while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
        return text;
    };
    for (std::size_t at = 0; at < bytes.size();) {
        const std::string_view code = line(at);
        const std::string_view value = line(at);
        int number = 0;
        const auto [end, error] = std::from_chars(code.data(), code.data() + code.size(), number);
        if (error != std::errc() || end != code.data() + code.size()) return;
        collector.Group(number, value);
    }
}

bool StartsWith(std::string_view bytes, std::string_view prefix) { return bytes.substr(0, prefix.size()) == prefix; }

std::string Quoted(const std::string& fileName) { return "\"" + fileName + "\""; }

}  // namespace

std::variant<PlanDrawing, std::string> ReadDxf(std::string_view bytes, const std::string& fileName)
{
    if (StartsWith(bytes, "AC10") || StartsWith(bytes, "AC1.") || StartsWith(bytes, "AC2.")) return std::string(kDwgRefused);
    if (StartsWith(bytes, "AutoCAD Binary DXF"))
        return "Файл " + Quoted(fileName) +
               " — двоичный DXF, который программа не читает: сохраните чертеж как текстовый DXF (ASCII).";
    const std::string notDxf = "Файл " + Quoted(fileName) + " не является чертежом DXF или поврежден.";
    if (bytes.find("SECTION") == std::string_view::npos) return notDxf;
    Collector collector;
    DL_Dxf dxf;
    std::istringstream stream{std::string(bytes)};
    ScanGroups(bytes, collector);
    try {
        if (!dxf.in(stream, &collector)) return notDxf;
    } catch (const std::exception&) {
        return notDxf;
    }
    PlanDrawing drawing = collector.Result();
    if (drawing.Empty())
        return "В чертеже " + Quoted(fileName) + " нет объектов в пространстве модели: нечего показать.";
    return drawing;
}

std::string SkippedMessage(const PlanDrawing& drawing, const std::string& fileName)
{
    if (drawing.Skipped.empty()) return {};
    std::string list;
    for (const auto& [kind, count] : drawing.Skipped)
        list += (list.empty() ? "" : ", ") + kind + " — " + std::to_string(count);
    return "Часть объектов чертежа " + Quoted(fileName) + " не показана, программа их не рисует: " + list + ".";
}

}  // namespace stelmar
