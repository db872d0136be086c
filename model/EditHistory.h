#pragma once

// Undo and redo: up to 50 named steps of editing kept beside the scheme.
//
// An edit is bracketed by Begin and End:
//
//     history.Begin(s);                // the scheme before the edit
//     ... change s ...
//     history.End(s, "ширина участка 4-5");
//
// End makes the edit one undo step carrying its name, the text the
// Undo and Redo commands show ("Отменить: ширина участка 4-5"). An edit
// that changed nothing the history records leaves no trace: no step, the
// redo chain stays and the scheme is still in the state it was (a delete
// with nothing selected, a move by 0 pixels, a dialog accepted unchanged).
// Undo gives the scheme back the state before the last step and keeps the
// state it leaves, so that redo returns exactly to it; a new step after an
// undo drops what could have been redone. Each state carries an identity,
// so that after undo and redo the editor can tell whether the scheme is in
// the state last saved (AtSavedState) or in any other state it marked
// (CurrentState).
//
// A recorded state holds the floor count and active floor, the two
// calculation options stored in the project (RazVr, VrSk), of every node
// its Kind, Etag, People, Mobility, FlowCount, F, X, Y, SavedX, SavedY and
// Name, of every area its Node1, Node2, Etag, Length, Width, Kind and its
// mark "по чертежу", the background pictures of floors 1..EtagCount, the
// floors' plan data (Plans: scale, offset, plan file and placement, hidden
// layers) with the kinds of new areas that take their length from the
// drawing (DrawnKinds), and the scenarios (not the choice of the active
// one). Selection and highlight flags, the calculation's flow states and
// reports, the clipboard, the pointer state, the display settings and the
// file name are not part of it. A new kind of project data that the user
// edits must be added to the recorded state (Snapshot in EditHistory.cpp:
// recorded, compared, restored); an edit of data outside it counts as no
// change and leaves no step.
//
// Nodes and areas are kept in chunks of fixed size shared between states:
// a chunk of the scheme that equals the same chunk of the previous state is
// not copied again, so a history of small edits costs little more than one
// state.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
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

    // Records the scheme before an edit changes it. A Begin without End is
    // forgotten by the next Begin, Undo, Redo or Reset.
    void Begin(const TPipeLine& s);
    // Ends the edit begun last. When the edit changed the recorded state,
    // it becomes the newest undo step, named `name`; the oldest step is
    // dropped when all 50 are in use, nothing can be redone any more, and
    // End returns true. Otherwise nothing changes and End returns false.
    bool End(const TPipeLine& s, std::string name);

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
    // The names of the steps Undo and Redo would take (empty when none).
    const std::string& UndoName() const;
    const std::string& RedoName() const;

    // The scheme now is what its file holds (it was just opened or saved).
    void MarkSaved() { savedId_ = currentId_; }
    // The scheme is in the state last marked saved.
    bool AtSavedState() const { return currentId_ == savedId_; }
    // The identity of the scheme's present state: equal identities, equal
    // recorded states. A step, an undo or a redo changes it.
    std::uint64_t CurrentState() const { return currentId_; }

    // Memory held by all states, shared chunks counted once. The
    // background pictures and plan files are not counted: the scheme
    // shares them.
    std::size_t MemoryBytes() const;

    struct Snapshot;

private:
    using SnapshotRef = std::shared_ptr<const Snapshot>;
    // A recorded state and the name of the step between it and the next.
    struct Step {
        SnapshotRef State;
        std::string Name;
    };

    SnapshotRef Record(const TPipeLine& s, std::uint64_t id);
    void Restore(const SnapshotRef& snapshot, TPipeLine& s);

    std::vector<Step> undo_;  // oldest first: the state before each step
    std::vector<Step> redo_;  // the next to redo last: the state after each step
    SnapshotRef begun_;  // the state an open edit began from
    SnapshotRef latest_;  // last recorded or restored: the next record shares its chunks
    std::uint64_t currentId_ = 0;  // identity of the scheme's present state
    std::uint64_t savedId_ = 0;    // of the state last saved; 0 = none
    std::uint64_t nextId_ = 0;
};

}  // namespace stelmar
