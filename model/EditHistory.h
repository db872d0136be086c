#pragma once

// Undo and redo: up to 50 snapshots of the scheme kept beside it.
//
// A snapshot holds the floor count and active floor, the two calculation
// options stored in the project (RazVr, VrSk), of every node its Kind,
// Etag, People, Mobility, FlowCount, F, X, Y, SavedX, SavedY and Name, of
// every area its Node1, Node2, Etag, Length, Width and Kind, and the
// background pictures of floors 1..EtagCount. Selection and highlight
// flags, the calculation's flow states and reports, the clipboard, the
// pointer state, the display settings and the file name are not part of it.
//
// Nodes and areas are kept in chunks of fixed size shared between
// snapshots: a chunk of the scheme that equals the same chunk of the
// previous snapshot is not copied again, so a history of small edits costs
// little more than one snapshot.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

class EditHistory {
public:
    static constexpr int kSlots = 50;

    EditHistory();
    ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // Forget every snapshot, as for a new or opened project: nothing to undo
    // or redo, both commands disabled.
    void Reset();

    // Records the scheme before an edit changes it (the oldest snapshot is
    // dropped when all 50 are in use) and enables undo.
    void Push(const TPipeLine& s);

    // The undo and redo commands. They return true when they restored a
    // snapshot into `s` (the caller redraws and rebuilds the floor list);
    // otherwise they only disable their command. Restoring resizes the node
    // and area lists to the snapshot's counts and assigns the recorded
    // fields; other fields keep the values the live elements had, and
    // pictures are put back only into floors whose snapshot slot holds one.
    // `Modified` is left as it is.
    bool Undo(TPipeLine& s);
    bool Redo(TPipeLine& s);

    bool UndoEnabled() const { return undoEnabled_; }
    bool RedoEnabled() const { return redoEnabled_; }
    int HistoryPos() const { return historyPos_; }
    int RedoDepth() const { return redoDepth_; }
    bool LastUndo() const { return lastUndo_; }
    bool LastRedo() const { return lastRedo_; }

    // Memory held by all snapshots, shared chunks counted once. The
    // background pictures are not counted: the scheme shares them.
    std::size_t MemoryBytes() const;

    struct Snapshot;

private:
    bool Restore(TPipeLine& s);

    std::vector<std::shared_ptr<const Snapshot>> slots_;  // S[1..50] at index 0..49
    std::shared_ptr<const Snapshot> latest_;  // last pushed or restored: the next push shares its chunks
    int historyPos_ = 0;
    int redoDepth_ = 0;
    bool lastUndo_ = false;
    bool lastRedo_ = false;
    bool undoEnabled_ = false;
    bool redoEnabled_ = false;
};

}  // namespace stelmar
