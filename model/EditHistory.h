#pragma once

// Undo and redo: up to 50 recorded states of the scheme kept beside it.
//
// Before every edit the editor records the scheme (Push); undo gives the
// scheme back the state before the last edit and keeps the state it
// leaves, so that redo returns exactly to it; a new edit after an undo
// drops what could have been redone. Each state carries an identity, so
// that after undo and redo the editor can tell whether the scheme is in
// the state last saved.
//
// A recorded state holds the floor count and active floor, the two
// calculation options stored in the project (RazVr, VrSk), of every node
// its Kind, Etag, People, Mobility, FlowCount, F, X, Y, SavedX, SavedY and
// Name, of every area its Node1, Node2, Etag, Length, Width and Kind, and
// the background pictures of floors 1..EtagCount. Selection and highlight
// flags, the calculation's flow states and reports, the clipboard, the
// pointer state, the display settings and the file name are not part of
// it.
//
// Nodes and areas are kept in chunks of fixed size shared between states:
// a chunk of the scheme that equals the same chunk of the previous state is
// not copied again, so a history of small edits costs little more than one
// state.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

class EditHistory {
public:
    // States kept for undo and redo together.
    static constexpr int kSteps = 50;

    EditHistory();
    ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // Forgets every state, as for a new or opened project: nothing to undo
    // or redo, and the scheme is in no saved state until MarkSaved.
    void Reset();

    // Records the scheme before an edit changes it; the oldest state is
    // dropped when all 50 are in use, and nothing can be redone any more.
    void Push(const TPipeLine& s);

    // Make `s` the state before the last edit (Undo) or the state the last
    // undo left (Redo); false, changing nothing, when there is none.
    // Restoring sets every recorded field, empties the picture slots the
    // state had empty (and those above its floors), and clears selection
    // and highlight. `Modified` is left to the caller (AtSavedState).
    bool Undo(TPipeLine& s);
    bool Redo(TPipeLine& s);

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    int UndoSteps() const { return static_cast<int>(undo_.size()); }
    int RedoSteps() const { return static_cast<int>(redo_.size()); }

    // The scheme now is what its file holds (it was just opened or saved).
    void MarkSaved() { savedId_ = currentId_; }
    // The scheme is in the state last marked saved.
    bool AtSavedState() const { return currentId_ == savedId_; }

    // Memory held by all states, shared chunks counted once. The
    // background pictures are not counted: the scheme shares them.
    std::size_t MemoryBytes() const;

    struct Snapshot;

private:
    using SnapshotRef = std::shared_ptr<const Snapshot>;

    SnapshotRef Record(const TPipeLine& s, std::uint64_t id);
    void Restore(const SnapshotRef& snapshot, TPipeLine& s);

    std::vector<SnapshotRef> undo_;  // oldest first
    std::vector<SnapshotRef> redo_;  // the next to redo last
    SnapshotRef latest_;  // last recorded or restored: the next record shares its chunks
    std::uint64_t currentId_ = 0;  // identity of the scheme's present state
    std::uint64_t savedId_ = 0;    // of the state last saved; 0 = none
    std::uint64_t nextId_ = 0;
};

}  // namespace stelmar
