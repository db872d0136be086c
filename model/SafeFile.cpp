#include "model/SafeFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <set>
#include <streambuf>
#include <string_view>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "model/FileErrors.h"

namespace stelmar {

// Buffered writing to a descriptor that keeps the first error number.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : fd_(fd), data_(kSize) { setp(data_.data(), data_.data() + data_.size()); }

    int Error() const { return error_; }

    // Writes out what is buffered; false once anything failed.
    bool Flush()
    {
        if (!WriteAll(pbase(), static_cast<std::size_t>(pptr() - pbase()))) return false;
        setp(data_.data(), data_.data() + data_.size());
        return true;
    }

protected:
    // Pieces as large as the buffer go to the file directly, not copied
    // through the buffer first.
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        if (n < static_cast<std::streamsize>(data_.size())) return std::streambuf::xsputn(s, n);
        if (!Flush() || !WriteAll(s, static_cast<std::size_t>(n))) return 0;
        return n;
    }

    int_type overflow(int_type c) override
    {
        if (!Flush()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override { return Flush() ? 0 : -1; }

private:
    bool WriteAll(const char* p, std::size_t left)
    {
        if (error_ != 0) return false;
        while (left > 0) {
            const ssize_t n = ::write(fd_, p, left);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error_ = n < 0 ? errno : EIO;
                return false;
            }
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        return true;
    }

    static constexpr std::size_t kSize = 1 << 16;
    int fd_;
    std::vector<char> data_;
    int error_ = 0;
};

namespace {

constexpr std::string_view kTemporaryInfix = ".tmp-";

// The temporary for `path`: path + ".tmp-" + process id + "-" + counter.
std::string TemporaryName(const std::string& path, unsigned counter)
{
    return path + std::string(kTemporaryInfix) + std::to_string(::getpid()) + "-" + std::to_string(counter);
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a chain of symbolic links starting at `path` ends in (existing or
// not); `path` itself when it is no link. 0 or the error number.
int ResolveLinks(const std::string& path, std::string& resolved)
{
    constexpr int kMaxLinks = 40;
    std::string current = path;
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            resolved = current;
            return 0;
        }
        std::error_code error;
        const std::string target = std::filesystem::read_symlink(current, error).string();
        if (error) return error.value();
        current = !target.empty() && target.front() == '/' ? target : FolderOf(current) + "/" + target;
    }
    return ELOOP;
}

// How the data for a path is written: into the file `Path` through a
// temporary, or in place; Error set when it may not be written at all.
struct Target {
    std::string Path;
    bool InPlace = false;
    int Error = 0;
};

Target PrepareTarget(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) return {path, false, errno};
        // A new file, perhaps where a dangling link points.
        Target target;
        target.Error = ResolveLinks(path, target.Path);
        return target;
    }
    if (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode)) return {path, true, 0};
    if (S_ISDIR(info.st_mode)) return {path, false, EISDIR};
    if (!S_ISREG(info.st_mode)) return {path, false, kNotRegularFile};
    Target target;
    if ((target.Error = ResolveLinks(path, target.Path)) != 0) return target;
    // The rename would replace a read-only file in a writable folder.
    if ((info.st_mode & 0222) == 0)
        target.Error = EACCES;
    else if (::access(target.Path.c_str(), W_OK) != 0)
        target.Error = errno;
    return target;
}

// Creates a new empty file beside `path` for the data that will replace it
// and returns its descriptor, or -1 with errno set. The file takes the
// permissions of an existing target.
int CreateTemporary(const std::string& path, std::string& tempPath)
{
    static std::atomic<unsigned> counter{0};
    constexpr int kAttempts = 100;
    int fd = -1;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        tempPath = TemporaryName(path, counter++);
        fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) break;
    }
    if (fd < 0) {
        // O_CREAT fails with ENOENT only when the folder is missing.
        if (errno == ENOENT) errno = ENOTDIR;
        return -1;
    }
    struct stat target {};
    if (::stat(path.c_str(), &target) == 0) ::fchmod(fd, target.st_mode & 07777);
    return fd;
}

// Opens a device or a pipe for writing; -1 with errno set on failure. A
// pipe that nobody reads yet gets a moment for its reader to start (a
// reader and a writer started together open it in either order), never
// longer.
int OpenInPlace(const std::string& path)
{
    constexpr auto kReaderWait = std::chrono::seconds(2);
    const auto deadline = std::chrono::steady_clock::now() + kReaderWait;
    int fd = -1;
    while ((fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) < 0 && errno == ENXIO &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (fd < 0) return -1;
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (!S_ISCHR(info.st_mode) && !S_ISFIFO(info.st_mode))
        error = EEXIST;  // replaced meanwhile; not written in place
    else if (const int flags = ::fcntl(fd, F_GETFL); flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Writes `data` to `fd` and, for a temporary, syncs it; 0 or the error number.
int WriteData(int fd, const std::string& data, bool sync)
{
    DescriptorBuffer buffer(fd);
    if (buffer.sputn(data.data(), static_cast<std::streamsize>(data.size())) !=
            static_cast<std::streamsize>(data.size()) ||
        !buffer.Flush())
        return buffer.Error() != 0 ? buffer.Error() : EIO;
    if (sync && ::fsync(fd) != 0) return errno;
    return 0;
}

int CloseDescriptor(int fd, int error)
{
    if (::close(fd) != 0 && error == 0) error = errno;
    return error;
}

// Makes the renames in `folder` durable; failures only weaken the guarantee
// against power loss, so they are not reported.
void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The decimal number `text` as the writer prints it: digits only, no
// leading zero; -1 when it is not one or too large.
long CanonicalNumber(std::string_view text)
{
    if (text.empty() || text.size() > 10 || (text.size() > 1 && text.front() == '0')) return -1;
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The process id in the temporary name `entry` of one of `names`, or 0.
pid_t WriterOf(const std::string& entry, const std::set<std::string>& names)
{
    // name ".tmp-" pid "-" counter, with at least one digit in each number
    const std::size_t dash = entry.rfind('-');
    if (dash == std::string::npos || dash <= kTemporaryInfix.size() ||
        CanonicalNumber(std::string_view(entry).substr(dash + 1)) < 0)
        return 0;
    const std::size_t infix = entry.rfind(kTemporaryInfix, dash - kTemporaryInfix.size() - 1);
    if (infix == std::string::npos || !names.contains(entry.substr(0, infix))) return 0;
    const std::size_t pidStart = infix + kTemporaryInfix.size();
    const long pid = CanonicalNumber(std::string_view(entry).substr(pidStart, dash - pidStart));
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

// A journal names a set of renames (temporary, target), both absolute, so
// that a writer stopped half-way can be finished by the next reader:
//
//     stelmar-journal 1
//     <number of renames>
//     <length> <temporary>      one pair of lines per rename
//     <length> <target>
//     end
//
// Lengths in bytes keep any character a path may hold. A journal without
// its last line was never complete: no rename had begun.
constexpr std::string_view kJournalInfix = ".journal-";
constexpr std::string_view kJournalHeader = "stelmar-journal 1\n";
constexpr std::string_view kJournalEnd = "end\n";
constexpr std::size_t kMaxJournalSize = std::size_t{1} << 24;

using Renames = std::vector<std::pair<std::string, std::string>>;

std::string Absolute(const std::string& path)
{
    if (!path.empty() && path.front() == '/') return path;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

std::string JournalText(const Renames& renames)
{
    std::string text(kJournalHeader);
    text += std::to_string(renames.size()) + "\n";
    for (const auto& [temp, target] : renames)
        for (const std::string* path : {&temp, &target}) text += std::to_string(path->size()) + " " + *path + "\n";
    text += kJournalEnd;
    return text;
}

// The renames of a complete journal; nullopt for one that is not, or that
// names anything but this writer's temporaries of its own targets.
std::optional<Renames> ParseJournal(std::string_view text)
{
    if (!text.starts_with(kJournalHeader) || !text.ends_with(kJournalEnd)) return std::nullopt;
    text.remove_prefix(kJournalHeader.size());
    text.remove_suffix(kJournalEnd.size());
    auto number = [&text](char after) -> long {
        const std::size_t end = text.find(after);
        if (end == std::string_view::npos) return -1;
        const long value = CanonicalNumber(text.substr(0, end));
        text.remove_prefix(end + 1);
        return value;
    };
    auto path = [&]() -> std::optional<std::string> {
        const long length = number(' ');
        if (length <= 0 || static_cast<std::size_t>(length) + 1 > text.size() || text[std::size_t(length)] != '\n')
            return std::nullopt;
        std::string value(text.substr(0, std::size_t(length)));
        text.remove_prefix(std::size_t(length) + 1);
        return value;
    };
    const long count = number('\n');
    if (count < 0) return std::nullopt;
    Renames renames;
    for (long i = 0; i < count; ++i) {
        std::optional<std::string> temp = path();
        std::optional<std::string> target = temp ? path() : std::nullopt;
        if (!target || !temp->starts_with(*target + std::string(kTemporaryInfix))) return std::nullopt;
        renames.emplace_back(std::move(*temp), std::move(*target));
    }
    if (!text.empty()) return std::nullopt;
    return renames;
}

// Writes and syncs the journal and its folder's entry; 0 or the error number.
int WriteJournal(const std::string& path, const Renames& renames)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return errno;
    if (const int error = CloseDescriptor(fd, WriteData(fd, JournalText(renames), true))) {
        ::unlink(path.c_str());
        return error;
    }
    SyncFolder(FolderOf(path));
    return 0;
}

// Renames into place every temporary of a complete journal that is still
// there, then removes the journal. An incomplete journal is only removed:
// its set never began to replace anything, and its temporaries are stale.
void FinishJournal(const std::string& journal)
{
    std::string text;
    const int fd = ::open(journal.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return;
    char buffer[1 << 14];
    ssize_t n = 0;
    while (text.size() <= kMaxJournalSize && ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)))
        if (n > 0) text.append(buffer, std::size_t(n));
    ::close(fd);
    if (n < 0) return;
    if (const std::optional<Renames> renames = ParseJournal(text)) {
        std::set<std::string> folders;
        for (const auto& [temp, target] : *renames) {
            struct stat info {};
            if (::lstat(temp.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;  // renamed already
            if (::rename(temp.c_str(), target.c_str()) != 0) return;  // the journal stays for another try
            folders.insert(FolderOf(target));
        }
        for (const std::string& folder : folders) SyncFolder(folder);
    }
    ::unlink(journal.c_str());
    SyncFolder(FolderOf(journal));
}

// The process id in the journal name `entry` of one of `names`, or 0.
pid_t JournalWriterOf(const std::string& entry, const std::set<std::string>& names)
{
    const std::size_t infix = entry.rfind(kJournalInfix);
    if (infix == std::string::npos || !names.contains(entry.substr(0, infix))) return 0;
    const long pid = CanonicalNumber(std::string_view(entry).substr(infix + kJournalInfix.size()));
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

// Whether process `pid` has ended: not this one, and no process of that id
// runs (EPERM: it runs under another user).
bool Ended(pid_t pid) { return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

std::optional<std::string> WriteFilesAtomically(const std::vector<std::pair<std::string, std::string>>& files,
                                                FileSetFailure* failure)
{
    std::vector<Target> targets;
    std::vector<std::string> temps;  // one per target, empty for those written in place
    std::string journal;
    auto fail = [&](const std::string& path, int error, std::size_t firstLeft) {
        for (std::size_t i = firstLeft; i < temps.size(); ++i)
            if (!temps[i].empty()) ::unlink(temps[i].c_str());
        if (!journal.empty()) ::unlink(journal.c_str());
        if (failure) *failure = {path, error};
        return std::optional<std::string>(FileErrorText(error));
    };
    for (const auto& [path, contents] : files) {
        Target target = PrepareTarget(path);
        if (target.Error != 0) return fail(target.Path, target.Error, 0);
        std::string temp;
        if (!target.InPlace) {
            const int fd = CreateTemporary(target.Path, temp);
            if (fd < 0) return fail(target.Path, errno, 0);
            temps.push_back(temp);
            if (const int error = CloseDescriptor(fd, WriteData(fd, contents, true)))
                return fail(target.Path, error, 0);
        } else {
            temps.emplace_back();
        }
        targets.push_back(std::move(target));
    }

    // More than one rename: the journal first, so that a writer stopped
    // between the renames is finished by the next reader.
    Renames renames;
    std::set<std::string> tempFolders;
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!targets[i].InPlace) {
            renames.emplace_back(Absolute(temps[i]), Absolute(targets[i].Path));
            tempFolders.insert(FolderOf(temps[i]));
        }
    if (renames.size() > 1) {
        for (const std::string& folder : tempFolders) SyncFolder(folder);
        const std::string name = renames.back().second + std::string(kJournalInfix) + std::to_string(::getpid());
        if (const int error = WriteJournal(name, renames)) return fail(name, error, 0);
        journal = name;
    }

    std::vector<std::string> folders;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Target& target = targets[i];
        if (target.InPlace) {
            const int fd = OpenInPlace(target.Path);
            if (fd < 0) return fail(target.Path, errno, i + 1);
            if (const int error = CloseDescriptor(fd, WriteData(fd, files[i].second, false)))
                return fail(target.Path, error, i + 1);
            continue;
        }
        if (::rename(temps[i].c_str(), target.Path.c_str()) != 0) return fail(target.Path, errno, i);
        std::string folder = FolderOf(target.Path);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(std::move(folder));
    }
    for (const std::string& folder : folders) SyncFolder(folder);
    if (!journal.empty()) {
        ::unlink(journal.c_str());
        SyncFolder(FolderOf(journal));
    }
    return std::nullopt;
}

AtomicFileWriter::AtomicFileWriter(std::string path)
{
    Target target = PrepareTarget(path);
    path_ = std::move(target.Path);
    error_ = target.Error;
    if (error_ == 0) fd_ = target.InPlace ? OpenInPlace(path_) : CreateTemporary(path_, tempPath_);
    if (error_ == 0 && fd_ < 0) error_ = errno;
    if (fd_ < 0) {
        tempPath_.clear();
        return;
    }
    buffer_ = std::make_unique<DescriptorBuffer>(fd_);
    stream_.rdbuf(buffer_.get());
}

AtomicFileWriter::AtomicFileWriter(StandardOutputTag)
    : fd_(STDOUT_FILENO), ownsFd_(false), buffer_(std::make_unique<DescriptorBuffer>(STDOUT_FILENO))
{
    stream_.rdbuf(buffer_.get());
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (committed_) return;
    if (fd_ >= 0 && ownsFd_) ::close(fd_);
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
}

std::optional<std::string> AtomicFileWriter::Commit()
{
    if (committed_) return std::nullopt;
    if (fd_ < 0) return FileErrorText(error_);
    int error = 0;
    if (!buffer_->Flush()) error = buffer_->Error();
    else if (!tempPath_.empty() && ::fsync(fd_) != 0) error = errno;
    if (ownsFd_) error = CloseDescriptor(fd_, error);
    fd_ = -1;
    if (error == 0 && !tempPath_.empty() && ::rename(tempPath_.c_str(), path_.c_str()) != 0) error = errno;
    if (error != 0) {
        if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
        tempPath_.clear();
        error_ = error;
        return FileErrorText(error);
    }
    committed_ = true;
    if (!tempPath_.empty()) SyncFolder(FolderOf(path_));
    return std::nullopt;
}

std::string FileBehindLinks(const std::string& path)
{
    std::string resolved;
    return ResolveLinks(path, resolved) == 0 ? resolved : path;
}

void RemoveStaleTemporaries(const std::vector<std::string>& paths)
{
    std::map<std::string, std::set<std::string>> namesByFolder;
    for (const std::string& path : paths) {
        std::string resolved;
        if (ResolveLinks(path, resolved) != 0) continue;
        namesByFolder[FolderOf(resolved)].insert(NameOf(resolved));
    }
    auto entries = [](const std::string& folder) {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir(folder.c_str())) {
            while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
            ::closedir(dir);
        }
        return names;
    };
    // Sets with a complete journal are finished before anything is removed:
    // their temporaries are the new files.
    for (const auto& [folder, names] : namesByFolder)
        for (const std::string& name : entries(folder))
            if (const pid_t writer = JournalWriterOf(name, names); writer != 0 && Ended(writer))
                FinishJournal(folder + "/" + name);
    for (const auto& [folder, names] : namesByFolder)
        for (const std::string& name : entries(folder)) {
            const pid_t writer = WriterOf(name, names);
            if (writer == 0 || !Ended(writer)) continue;
            struct stat info {};
            const std::string path = folder + "/" + name;
            if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(path.c_str());
        }
}

}  // namespace stelmar
