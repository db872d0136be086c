#pragma once

// The recovery copy of the main window's unsaved work: written in the
// background a few seconds after the last change (at most every 30 s, and
// at the latest 30 s after the first change not yet in a copy), removed
// when the work is saved or discarded or the program ends cleanly; and the
// copies left by a program that ended otherwise, offered at start.

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "model/ProjectFile.h"
#include "model/RecoveryWriter.h"

class QTimer;

namespace stelmar {

class Prompts;

class RecoveryCopies : public QObject {
    Q_OBJECT
public:
    // Copies of `scheme` go to a new slot in `folder`; without one (the
    // folder cannot be made) the program works without them.
    RecoveryCopies(const TPipeLine& scheme, const std::string& folder, char separator, QObject* parent);
    ~RecoveryCopies() override;

    // The scheme changed, or is back in its saved state (`modified` false).
    void Changed(bool modified);
    // The scheme was saved under its file name: its own copy and those that
    // earlier programs left of the same file are gone.
    void Saved();
    // The unsaved changes were given up.
    void Discarded();

    // Asks about the copies earlier programs left, newest first, until one
    // is restored; returns that one, read, with its original file name.
    // Copies the user puts off stay; those the user deletes go.
    std::optional<ProjectReadResult> OfferLeftCopies(Prompts& prompts);

    // Writes the copy now and waits for it (for a restored project).
    void WriteNow();

    // Waiting times, in milliseconds (tests shorten them).
    void SetTimes(int afterChange, int between);
    // The slot folder of this program's copy; empty without one.
    QString Folder() const;

private:
    void Schedule();
    void Write();

    const TPipeLine& scheme_;
    const std::string folder_;
    std::unique_ptr<RecoveryWriter> writer_;
    std::unique_ptr<OrphanedCopies> left_;
    QTimer* timer_ = nullptr;
    int afterChange_ = 3000;
    int between_ = 30000;
    qint64 lastWrite_ = -1;    // ms since the epoch, -1 = never
    qint64 firstPending_ = -1; // first change not in a copy, -1 = none
};

}  // namespace stelmar
