#include "editor/RecoveryCopies.h"

#include <QDateTime>
#include <QTimer>
#include <algorithm>

#include "dialogs/Prompts.h"

namespace stelmar {
namespace {

qint64 Now() { return QDateTime::currentMSecsSinceEpoch(); }

// A new project nobody has drawn in yet holds nothing worth a copy.
bool NothingToKeep(const TPipeLine& s)
{
    if (s.FileName != kNewProjectName || NodeCount(s) > 0 || AreaCount(s) > 0 || s.EtagCount > 1) return false;
    return !s.Backgrounds[1];
}

QString Question(const OrphanedCopy& copy)
{
    const QString file = QString::fromStdString(copy.OriginalFile);
    const QString when = QDateTime::fromSecsSinceEpoch(copy.Time).toString("dd.MM.yyyy HH:mm");
    return QString("Работа программы была прервана, а проект \"%1\" не был сохранен.\n"
                   "Найдена его копия от %2.\n\n"
                   "Восстановить проект из копии? Если отложить, копия сохранится до следующего запуска, "
                   "пока вы не удалите ее или не сохраните этот проект.")
        .arg(file, when);
}

}  // namespace

RecoveryCopies::RecoveryCopies(const TPipeLine& scheme, const std::string& folder, char separator, QObject* parent)
    : QObject(parent), scheme_(scheme), folder_(folder), timer_(new QTimer(this))
{
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &RecoveryCopies::Write);
    if (std::optional<RecoverySlot> slot = RecoverySlot::Claim(folder))
        writer_ = std::make_unique<RecoveryWriter>(std::move(*slot), separator);
}

RecoveryCopies::~RecoveryCopies() = default;

void RecoveryCopies::SetTimes(int afterChange, int between)
{
    afterChange_ = afterChange;
    between_ = between;
}

QString RecoveryCopies::Folder() const { return writer_ ? QString::fromStdString(writer_->Folder()) : QString(); }

void RecoveryCopies::Changed(bool modified)
{
    if (!writer_) return;
    if (!modified) {
        Discarded();
        return;
    }
    if (firstPending_ < 0) firstPending_ = Now();
    Schedule();
}

// A few seconds after this change, but never sooner than `between_` after
// the last copy, and never later than `between_` after the first change
// that no copy holds yet.
void RecoveryCopies::Schedule()
{
    const qint64 now = Now();
    qint64 due = now + afterChange_;
    if (lastWrite_ >= 0) due = std::max(due, lastWrite_ + between_);
    due = std::min(due, std::max(firstPending_ + between_, lastWrite_ < 0 ? 0 : lastWrite_ + between_));
    timer_->start(int(std::clamp<qint64>(due - now, 0, between_)));
}

void RecoveryCopies::Write()
{
    if (!writer_ || firstPending_ < 0) return;
    if (NothingToKeep(scheme_)) {
        Discarded();
        return;
    }
    lastWrite_ = Now();
    firstPending_ = -1;
    writer_->Submit(ProjectPartOf(scheme_), lastWrite_ / 1000);
}

void RecoveryCopies::WriteNow()
{
    if (!writer_) return;
    firstPending_ = Now();
    Write();
    writer_->Flush();
}

void RecoveryCopies::Discarded()
{
    timer_->stop();
    firstPending_ = -1;
    if (writer_) writer_->Remove();
}

void RecoveryCopies::Saved()
{
    Discarded();
    if (left_) left_->DiscardCopiesOf(scheme_.FileName);
}

std::optional<ProjectReadResult> RecoveryCopies::OfferLeftCopies(Prompts& prompts)
{
    left_ = std::make_unique<OrphanedCopies>(folder_);
    const std::vector<OrphanedCopy>& copies = left_->List();
    for (std::size_t i = 0; i < copies.size(); ++i) {
        switch (prompts.AskRecovery(Question(copies[i]))) {
        case RecoveryChoice::Later: continue;
        case RecoveryChoice::Discard: left_->Discard(i); continue;
        case RecoveryChoice::Restore: break;
        }
        ProjectReadResult read = ReadProjectFile(copies[i].ProjectFile);
        if (!read.Scheme) {
            prompts.ShowWarning(QString::fromStdString(read.Error));
            continue;
        }
        read.Scheme->FileName = copies[i].OriginalFile;
        // The copy is dropped once this program's own copy holds the work.
        const std::size_t restored = i;
        QTimer::singleShot(0, this, [this, restored] {
            WriteNow();
            if (left_) left_->Discard(restored);
        });
        return read;
    }
    return std::nullopt;
}

}  // namespace stelmar
