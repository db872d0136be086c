#include "model/RecoveryCopy.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/PictureFile.h"
#include "model/ProjectFile.h"
#include "model/SafeFile.h"

namespace stelmar {
namespace {

constexpr const char* kLockName = "lock";
constexpr const char* kProjectName = "project.stm";
constexpr const char* kInfoName = "copy.info";
constexpr const char* kSlotPrefix = "slot-";

// Opens (creating) the lock file of `slot` and takes its lock without
// waiting; -1 when someone else holds it or it cannot be opened.
int LockSlot(const std::string& slot, bool create)
{
    const int fd = ::open((slot + kLockName).c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0), 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool MakePrivateFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

// mkdir -p, each new folder private.
bool MakeFolders(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0700);
    return MakePrivateFolder(path);
}

std::string WithSlash(std::string path)
{
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// The files of a copy: the project, its pictures and plans, and the info
// file.
std::vector<std::string> CopyFiles(const std::string& slot)
{
    std::vector<std::string> files{slot + kInfoName, slot + kProjectName};
    for (int n = 1; n <= kMaxFloors; ++n) {
        files.push_back(PictureFileName(slot + kProjectName, n));
        for (const char* kind : {"pdf", "dxf"}) files.push_back(PlanFileName(slot + kProjectName, n, kind));
    }
    return files;
}

void RemoveCopyFiles(const std::string& slot)
{
    for (const std::string& file : CopyFiles(slot)) ::unlink(file.c_str());
}

// Everything in the slot, then the slot itself.
void RemoveSlot(const std::string& slot)
{
    if (DIR* dir = ::opendir(slot.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") ::unlink((slot + name).c_str());
        }
        ::closedir(dir);
    }
    ::rmdir(slot.c_str());
}

bool ReadSmallFile(const std::string& path, std::string& text)
{
    constexpr std::size_t kMaxInfo = 1 << 16;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) <= kMaxInfo;
    if (ok) {
        text.resize(static_cast<std::size_t>(st.st_size));
        ok = ::read(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }
    ::close(fd);
    return ok;
}

// copy.info: the time in decimal on the first line, then the original file
// name to the end of the file (it may hold any character but NUL).
std::optional<OrphanedCopy> ReadInfo(const std::string& slot)
{
    std::string text;
    if (!ReadSmallFile(slot + kInfoName, text)) return std::nullopt;
    const std::size_t newline = text.find('\n');
    if (newline == std::string::npos || newline == 0 || newline > 19) return std::nullopt;
    OrphanedCopy copy;
    for (std::size_t i = 0; i < newline; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        copy.Time = copy.Time * 10 + (text[i] - '0');
    }
    copy.Slot = slot;
    copy.ProjectFile = slot + kProjectName;
    copy.OriginalFile = text.substr(newline + 1);
    struct stat st {};
    if (::stat(copy.ProjectFile.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return copy;
}

std::string NewSlotName()
{
    std::random_device random;
    const auto value = (std::uint64_t{random()} << 32) ^ random();
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string name = kSlotPrefix + std::to_string(::getpid()) + "-";
    for (int i = 0; i < 16; ++i) name += kDigits[(value >> (4 * i)) & 15];
    return name;
}

}  // namespace

RecoverySlot::RecoverySlot(std::string folder, int lockFd) : folder_(std::move(folder)), lockFd_(lockFd) {}

RecoverySlot::RecoverySlot(RecoverySlot&& other) noexcept
    : folder_(std::move(other.folder_)),
      lockFd_(std::exchange(other.lockFd_, -1)),
      written_(std::move(other.written_)),
      writtenPlans_(std::move(other.writtenPlans_))
{
}

RecoverySlot& RecoverySlot::operator=(RecoverySlot&& other) noexcept
{
    if (this != &other) {
        Release();
        folder_ = std::move(other.folder_);
        lockFd_ = std::exchange(other.lockFd_, -1);
        written_ = std::move(other.written_);
        writtenPlans_ = std::move(other.writtenPlans_);
    }
    return *this;
}

RecoverySlot::~RecoverySlot() { Release(); }

void RecoverySlot::Release()
{
    if (lockFd_ < 0) return;
    RemoveSlot(folder_);
    ::close(lockFd_);
    lockFd_ = -1;
}

std::optional<RecoverySlot> RecoverySlot::Claim(const std::string& recoveryFolder)
{
    const std::string base = WithSlash(recoveryFolder);
    if (!MakeFolders(base.substr(0, base.size() - 1))) return std::nullopt;
    for (int attempt = 0; attempt < 10; ++attempt) {
        const std::string slot = base + NewSlotName() + "/";
        if (::mkdir(slot.c_str(), 0700) != 0) continue;
        const int fd = LockSlot(slot, true);
        if (fd >= 0) return RecoverySlot(slot, fd);
        ::rmdir(slot.c_str());
    }
    return std::nullopt;
}

std::optional<std::string> RecoverySlot::Write(const TPipeLine& s, std::int64_t time, char separator)
{
    std::string error;
    std::optional<std::string> text = ProjectText(s, separator, &error);
    if (!text) return error;
    const std::string project = folder_ + kProjectName;
    // A picture or plan file already in the copy is not written again: they
    // are large and seldom change.
    std::vector<std::pair<std::string, std::string>> files;
    for (int n = 1; n <= s.EtagCount; ++n) {
        if (const BitmapRef& picture = s.Backgrounds[n]; picture && written_[n].lock() != picture)
            files.emplace_back(PictureFileName(project, n), EncodeBmp(*picture));
        if (const PlanSourceRef& plan = s.Plans[n].Source;
            plan && !plan->Bytes.empty() && writtenPlans_[n].lock() != plan)
            files.emplace_back(PlanFileName(project, n, plan->Kind), plan->Bytes);
    }
    files.emplace_back(project, std::move(*text));
    files.emplace_back(folder_ + kInfoName, std::to_string(std::max<std::int64_t>(0, time)) + "\n" + s.FileName);
    if (std::optional<std::string> failure = WriteFilesAtomically(files)) return failure;
    for (int n = 1; n <= kMaxFloors; ++n) {
        const bool kept = n <= s.EtagCount && s.Backgrounds[n];
        written_[n] = kept ? s.Backgrounds[n] : nullptr;
        // Floors without a picture now must not keep one from an earlier copy.
        if (!kept) ::unlink(PictureFileName(project, n).c_str());
        const PlanSourceRef plan = n <= s.EtagCount ? s.Plans[n].Source : nullptr;
        const bool planKept = plan && !plan->Bytes.empty();
        writtenPlans_[n] = planKept ? plan : nullptr;
        for (const char* kind : {"pdf", "dxf"})
            if (!planKept || plan->Kind != kind) ::unlink(PlanFileName(project, n, kind).c_str());
    }
    return std::nullopt;
}

void RecoverySlot::RemoveCopy()
{
    RemoveCopyFiles(folder_);
    for (auto& picture : written_) picture.reset();
    for (auto& plan : writtenPlans_) plan.reset();
}

bool RecoverySlot::HasCopy() const
{
    struct stat st {};
    return ::stat((folder_ + kInfoName).c_str(), &st) == 0;
}

OrphanedCopies::OrphanedCopies(const std::string& recoveryFolder)
{
    const std::string base = WithSlash(recoveryFolder);
    DIR* dir = ::opendir(base.c_str());
    if (!dir) return;
    std::vector<std::string> slots;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind(kSlotPrefix, 0) == 0) slots.push_back(base + name + "/");
    }
    ::closedir(dir);

    std::vector<std::pair<OrphanedCopy, int>> found;
    for (const std::string& slot : slots) {
        const int fd = LockSlot(slot, false);
        if (fd < 0) continue;  // its program still runs, or it is not a slot
        // A copy whose writing was stopped between its renames is finished
        // first, so that its project and pictures belong together.
        RemoveStaleTemporaries(CopyFiles(slot));
        if (std::optional<OrphanedCopy> copy = ReadInfo(slot)) {
            found.emplace_back(std::move(*copy), fd);
        } else {
            // A slot without a complete copy holds nothing to offer.
            RemoveSlot(slot);
            ::close(fd);
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first.Time > b.first.Time; });
    for (auto& [copy, fd] : found) {
        copies_.push_back(std::move(copy));
        locks_.push_back(fd);
    }
}

OrphanedCopies::~OrphanedCopies()
{
    for (int fd : locks_)
        if (fd >= 0) ::close(fd);
}

void OrphanedCopies::Discard(std::size_t i)
{
    if (i >= copies_.size() || locks_[i] < 0) return;
    RemoveSlot(copies_[i].Slot);
    ::close(locks_[i]);
    locks_[i] = -1;
}

void OrphanedCopies::DiscardCopiesOf(const std::string& originalFile)
{
    for (std::size_t i = 0; i < copies_.size(); ++i)
        if (copies_[i].OriginalFile == originalFile) Discard(i);
}

}  // namespace stelmar
