#include "model/RecoveryWriter.h"

namespace stelmar {

std::shared_ptr<const TPipeLine> ProjectPartOf(const TPipeLine& s)
{
    auto copy = std::make_shared<TPipeLine>();
    copy->EtagCount = s.EtagCount;
    copy->ActiveEtag = s.ActiveEtag;
    copy->FileName = s.FileName;
    copy->RazVr = s.RazVr;
    copy->VrSk = s.VrSk;
    copy->Backgrounds = s.Backgrounds;
    copy->Plans = s.Plans;
    copy->DrawnKinds = s.DrawnKinds;
    copy->Nodes.resize(s.Nodes.size());
    for (std::size_t i = 1; i < s.Nodes.size(); ++i) {
        const TNode& from = s.Nodes[i];
        TNode& to = copy->Nodes[i];
        to.X = from.X;
        to.Y = from.Y;
        to.Kind = from.Kind;
        to.Etag = from.Etag;
        to.People = from.People;
        to.Mobility = from.Mobility;
        to.F = from.F;
        to.Name = from.Name;
        to.FlowCount = from.FlowCount;
    }
    copy->Areas = s.Areas;
    return copy;
}

RecoveryWriter::RecoveryWriter(RecoverySlot slot, char separator)
    : slot_(std::move(slot)), separator_(separator), thread_([this] { Run(); })
{
}

RecoveryWriter::~RecoveryWriter()
{
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
        waiting_.reset();
    }
    wake_.notify_one();
    thread_.join();
}

void RecoveryWriter::Submit(std::shared_ptr<const TPipeLine> project, std::int64_t time)
{
    {
        const std::lock_guard lock(mutex_);
        waiting_ = std::move(project);
        waitingTime_ = time;
        removeWaiting_ = false;
    }
    wake_.notify_one();
}

void RecoveryWriter::Remove()
{
    std::unique_lock lock(mutex_);
    waiting_.reset();
    removeWaiting_ = true;
    wake_.notify_one();
    idle_.wait(lock, [this] { return !busy_ && !removeWaiting_; });
}

void RecoveryWriter::Flush()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !busy_ && !waiting_ && !removeWaiting_; });
}

std::optional<std::string> RecoveryWriter::LastFailure() const
{
    const std::lock_guard lock(mutex_);
    return failure_;
}

void RecoveryWriter::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || waiting_ || removeWaiting_; });
        if (stop_) break;
        busy_ = true;
        if (removeWaiting_) {
            removeWaiting_ = false;
            lock.unlock();
            slot_.RemoveCopy();
            lock.lock();
        } else {
            const std::shared_ptr<const TPipeLine> project = std::move(waiting_);
            const std::int64_t time = waitingTime_;
            lock.unlock();
            std::optional<std::string> failure = slot_.Write(*project, time, separator_);
            lock.lock();
            failure_ = std::move(failure);
        }
        busy_ = false;
        idle_.notify_all();
    }
    busy_ = false;
    idle_.notify_all();
}

}  // namespace stelmar
