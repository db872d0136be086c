#pragma once

// Work that would freeze the window (reading a plan, rendering a floor's
// picture of it) run on a worker thread while the windows keep painting.
// A short piece of work passes unseen; one that lasts shows a box with what
// is being done, modal to its window, with a cancel button when the work
// may be cancelled. Until the box shows, the user's input waits, so that
// nothing else starts meanwhile.

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QWidget;

namespace stelmar {

// Runs `work` on a worker thread and returns true when it is done; the box
// says `text` and belongs to `parent`. With `cancellable` the user may
// cancel: the call then returns false at once and the work runs to its end
// on its own, so it must hold everything it uses by value.
bool WaitForWork(QWidget* parent, const QString& text, std::function<void()> work, bool cancellable);

// The result of `work` run as WaitForWork runs it; nullopt when cancelled.
template <typename Result>
std::optional<Result> WorkInBackground(QWidget* parent, const QString& text, std::function<Result()> work,
                                       bool cancellable = true)
{
    auto result = std::make_shared<std::optional<Result>>();
    if (!WaitForWork(parent, text, [result, work = std::move(work)] { *result = work(); }, cancellable))
        return std::nullopt;
    return std::move(*result);
}

}  // namespace stelmar
