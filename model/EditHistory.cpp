#include "model/EditHistory.h"

#include <algorithm>
#include <array>
#include <bit>
#include <string_view>
#include <unordered_set>

namespace stelmar {
namespace {

constexpr std::size_t kChunkSize = 1024;

// Doubles are compared bit for bit, so that a restore gives back exactly
// the recorded value.
bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// Name length that stands for kDefaultNodeName, the name of most nodes,
// which is then not stored.
constexpr std::uint32_t kDefaultName = 0xFFFFFFFF;

// 40 bytes per node.
struct NodeRecord {
    std::int32_t X, Y, SavedX, SavedY, People, FlowCount;
    double F;
    std::uint32_t NameLength;  // or kDefaultName
    std::uint8_t Kind, Etag, Mobility;
};

// The recorded fields of up to kChunkSize consecutive nodes.
struct NodeChunk {
    std::vector<NodeRecord> Records;
    std::string Names;  // the stored names, one after another

    static std::shared_ptr<const NodeChunk> Make(const std::vector<TNode>& nodes, std::size_t begin, std::size_t end)
    {
        auto chunk = std::make_shared<NodeChunk>();
        chunk->Records.reserve(end - begin);
        for (std::size_t i = begin; i < end; ++i) {
            const TNode& n = nodes[i];
            const bool byNumber = n.Name == kDefaultNodeName;
            chunk->Records.push_back(NodeRecord{n.X, n.Y, n.SavedX, n.SavedY, n.People, n.FlowCount, n.F,
                                                byNumber ? kDefaultName : static_cast<std::uint32_t>(n.Name.size()),
                                                n.Kind, n.Etag, n.Mobility});
            if (!byNumber) chunk->Names += n.Name;
        }
        chunk->Names.shrink_to_fit();
        return chunk;
    }

    bool Matches(const std::vector<TNode>& nodes, std::size_t begin, std::size_t end) const
    {
        if (Records.size() != end - begin) return false;
        const std::string_view names(Names);
        std::size_t offset = 0;
        for (std::size_t i = 0; i < Records.size(); ++i) {
            const NodeRecord& r = Records[i];
            const TNode& n = nodes[begin + i];
            if (r.X != n.X || r.Y != n.Y || r.SavedX != n.SavedX || r.SavedY != n.SavedY || r.People != n.People ||
                r.FlowCount != n.FlowCount || !SameBits(r.F, n.F) || r.Kind != n.Kind || r.Etag != n.Etag ||
                r.Mobility != n.Mobility)
                return false;
            if (r.NameLength == kDefaultName) {
                if (n.Name != kDefaultNodeName) return false;
            } else {
                if (names.substr(offset, r.NameLength) != n.Name) return false;
                offset += r.NameLength;
            }
        }
        return true;
    }

    void RestoreInto(std::vector<TNode>& nodes, std::size_t begin) const
    {
        std::size_t offset = 0;
        for (std::size_t i = 0; i < Records.size(); ++i) {
            const NodeRecord& r = Records[i];
            TNode& n = nodes[begin + i];
            n.X = r.X;
            n.Y = r.Y;
            n.SavedX = r.SavedX;
            n.SavedY = r.SavedY;
            n.People = r.People;
            n.FlowCount = r.FlowCount;
            n.F = r.F;
            n.Kind = r.Kind;
            n.Etag = r.Etag;
            n.Mobility = r.Mobility;
            if (r.NameLength == kDefaultName) {
                n.Name = kDefaultNodeName;
            } else {
                n.Name.assign(Names, offset, r.NameLength);
                offset += r.NameLength;
            }
        }
    }

    std::size_t Bytes() const
    {
        return sizeof(NodeChunk) + Records.capacity() * sizeof(NodeRecord) + Names.capacity();
    }
};

// 32 bytes per area.
struct AreaRecord {
    double Length, Width;
    std::int32_t Node1, Node2;
    std::uint8_t Etag, Kind;
    bool Drawn;
};

// The recorded fields of up to kChunkSize consecutive areas.
struct AreaChunk {
    std::vector<AreaRecord> Records;

    static std::shared_ptr<const AreaChunk> Make(const std::vector<TArea>& areas, std::size_t begin, std::size_t end)
    {
        auto chunk = std::make_shared<AreaChunk>();
        chunk->Records.reserve(end - begin);
        for (std::size_t i = begin; i < end; ++i) {
            const TArea& a = areas[i];
            chunk->Records.push_back(AreaRecord{a.Length, a.Width, a.Node1, a.Node2, a.Etag, a.Kind, a.Drawn});
        }
        return chunk;
    }

    bool Matches(const std::vector<TArea>& areas, std::size_t begin, std::size_t end) const
    {
        if (Records.size() != end - begin) return false;
        for (std::size_t i = 0; i < Records.size(); ++i) {
            const AreaRecord& r = Records[i];
            const TArea& a = areas[begin + i];
            if (!SameBits(r.Length, a.Length) || !SameBits(r.Width, a.Width) || r.Node1 != a.Node1 ||
                r.Node2 != a.Node2 || r.Etag != a.Etag || r.Kind != a.Kind || r.Drawn != a.Drawn)
                return false;
        }
        return true;
    }

    void RestoreInto(std::vector<TArea>& areas, std::size_t begin) const
    {
        for (std::size_t i = 0; i < Records.size(); ++i) {
            const AreaRecord& r = Records[i];
            TArea& a = areas[begin + i];
            a.Length = r.Length;
            a.Width = r.Width;
            a.Node1 = r.Node1;
            a.Node2 = r.Node2;
            a.Etag = r.Etag;
            a.Kind = r.Kind;
            a.Drawn = r.Drawn;
        }
    }

    std::size_t Bytes() const { return sizeof(AreaChunk) + Records.capacity() * sizeof(AreaRecord); }
};

template <class Chunk>
using Chunks = std::vector<std::shared_ptr<const Chunk>>;

// The chunks of `items` (placeholder included), taking over every chunk of
// `previous` that holds the same values.
template <class Chunk, class Item>
Chunks<Chunk> Share(const std::vector<Item>& items, const Chunks<Chunk>* previous)
{
    Chunks<Chunk> out;
    out.reserve((items.size() + kChunkSize - 1) / kChunkSize);
    for (std::size_t begin = 0; begin < items.size(); begin += kChunkSize) {
        const std::size_t end = std::min(items.size(), begin + kChunkSize);
        const std::size_t c = begin / kChunkSize;
        if (previous != nullptr && c < previous->size() && (*previous)[c]->Matches(items, begin, end))
            out.push_back((*previous)[c]);
        else
            out.push_back(Chunk::Make(items, begin, end));
    }
    return out;
}

template <class Chunk, class Item>
void RestoreChunks(const Chunks<Chunk>& chunks, std::vector<Item>& items)
{
    for (std::size_t c = 0; c < chunks.size(); ++c) chunks[c]->RestoreInto(items, c * kChunkSize);
}

}  // namespace

struct EditHistory::Snapshot {
    std::uint64_t Id = 0;
    std::uint8_t EtagCount = 1;
    std::uint8_t ActiveEtag = 1;
    bool RazVr = false;
    bool VrSk = false;
    std::uint8_t DrawnKinds = kDefaultDrawnKinds;
    std::size_t NodeListSize = 1;  // placeholder included
    std::size_t AreaListSize = 1;
    Chunks<NodeChunk> Nodes;
    Chunks<AreaChunk> Areas;
    std::vector<BitmapRef> Backgrounds;  // floors 1..EtagCount at index 0..EtagCount-1
    std::vector<TFloorPlan> Plans;       // likewise
    // Shared with the previous state while the scenarios are unchanged.
    std::shared_ptr<const std::vector<TScenario>> Scenarios;

    Snapshot(const TPipeLine& s, const Snapshot* previous, std::uint64_t id)
        : Id(id),
          EtagCount(s.EtagCount),
          ActiveEtag(s.ActiveEtag),
          RazVr(s.RazVr),
          VrSk(s.VrSk),
          DrawnKinds(s.DrawnKinds),
          NodeListSize(s.Nodes.size()),
          AreaListSize(s.Areas.size()),
          Nodes(Share(s.Nodes, previous ? &previous->Nodes : nullptr)),
          Areas(Share(s.Areas, previous ? &previous->Areas : nullptr)),
          Backgrounds(s.Backgrounds.begin() + 1, s.Backgrounds.begin() + 1 + s.EtagCount),
          Plans(s.Plans.begin() + 1, s.Plans.begin() + 1 + s.EtagCount),
          Scenarios(previous && *previous->Scenarios == s.Scenarios
                        ? previous->Scenarios
                        : std::make_shared<const std::vector<TScenario>>(s.Scenarios))
    {
    }

    // The same recorded values. `later` was recorded with this state as its
    // previous one, so a chunk with equal values is the same chunk.
    bool SameAs(const Snapshot& later) const
    {
        return EtagCount == later.EtagCount && ActiveEtag == later.ActiveEtag && RazVr == later.RazVr &&
               VrSk == later.VrSk && DrawnKinds == later.DrawnKinds && NodeListSize == later.NodeListSize && AreaListSize == later.AreaListSize &&
               Nodes == later.Nodes && Areas == later.Areas && Backgrounds == later.Backgrounds &&
               Plans == later.Plans && Scenarios == later.Scenarios;
    }
};

EditHistory::EditHistory() = default;

EditHistory::~EditHistory() = default;

void EditHistory::Reset()
{
    undo_.clear();
    redo_.clear();
    begun_.reset();
    latest_.reset();
    currentId_ = ++nextId_;
    savedId_ = 0;
}

EditHistory::SnapshotRef EditHistory::Record(const TPipeLine& s, std::uint64_t id)
{
    latest_ = std::make_shared<const Snapshot>(s, latest_.get(), id);
    return latest_;
}

void EditHistory::Begin(const TPipeLine& s) { begun_ = Record(s, currentId_); }

bool EditHistory::End(const TPipeLine& s, std::string name)
{
    if (!begun_) return false;
    // Recorded with `before` as the previous state, whose chunks it shares.
    SnapshotRef before = std::move(begun_);
    const std::uint64_t id = nextId_ + 1;
    if (before->SameAs(*Record(s, id))) {
        latest_ = before;
        return false;
    }
    nextId_ = currentId_ = id;
    if (undo_.size() >= kSteps) undo_.erase(undo_.begin());
    undo_.push_back(Step{std::move(before), std::move(name)});
    redo_.clear();
    return true;
}

const std::string& EditHistory::UndoName() const
{
    static const std::string none;
    return undo_.empty() ? none : undo_.back().Name;
}

const std::string& EditHistory::RedoName() const
{
    static const std::string none;
    return redo_.empty() ? none : redo_.back().Name;
}

bool EditHistory::Undo(TPipeLine& s)
{
    begun_.reset();
    if (undo_.empty()) return false;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(Step{Record(s, currentId_), step.Name});
    Restore(step.State, s);
    return true;
}

bool EditHistory::Redo(TPipeLine& s)
{
    begun_.reset();
    if (redo_.empty()) return false;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(Step{Record(s, currentId_), step.Name});
    Restore(step.State, s);
    return true;
}

void EditHistory::Restore(const SnapshotRef& snapshot, TPipeLine& s)
{
    const Snapshot& snap = *snapshot;
    s.Nodes.resize(snap.NodeListSize);
    s.Areas.resize(snap.AreaListSize);
    s.EtagCount = snap.EtagCount;
    s.ActiveEtag = snap.ActiveEtag;
    s.RazVr = snap.RazVr;
    s.VrSk = snap.VrSk;
    s.DrawnKinds = snap.DrawnKinds;
    RestoreChunks(snap.Nodes, s.Nodes);
    RestoreChunks(snap.Areas, s.Areas);
    s.Scenarios = *snap.Scenarios;
    for (TNode& n : s.Nodes) n.Hot = n.Selected = false;
    for (TArea& a : s.Areas) a.Hot = a.Selected = false;
    for (std::size_t f = 1; f < s.Backgrounds.size(); ++f)
        s.Backgrounds[f] = f <= snap.Backgrounds.size() ? snap.Backgrounds[f - 1] : nullptr;
    for (std::size_t f = 1; f < s.Plans.size(); ++f) s.Plans[f] = f <= snap.Plans.size() ? snap.Plans[f - 1] : TFloorPlan{};
    currentId_ = snap.Id;
    latest_ = snapshot;
}

std::size_t EditHistory::MemoryBytes() const
{
    std::unordered_set<const void*> counted;
    std::size_t total = (undo_.capacity() + redo_.capacity()) * sizeof(Step);
    for (const std::vector<Step>* list : {&undo_, &redo_}) {
        for (const Step& step : *list) {
            const auto& snap = step.State;
            total += step.Name.capacity();
            total += sizeof(Snapshot) + snap->Nodes.capacity() * sizeof(snap->Nodes[0]) +
                     snap->Areas.capacity() * sizeof(snap->Areas[0]) +
                     snap->Backgrounds.capacity() * sizeof(BitmapRef) +
                     snap->Plans.capacity() * sizeof(TFloorPlan);
            for (const auto& chunk : snap->Nodes)
                if (counted.insert(chunk.get()).second) total += chunk->Bytes();
            for (const auto& chunk : snap->Areas)
                if (counted.insert(chunk.get()).second) total += chunk->Bytes();
        }
    }
    return total;
}

}  // namespace stelmar
