#include "model/SafeFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stelmar {
namespace {

std::string ErrorText(int error) { return std::strerror(error); }

// Creates a new empty file beside `path` for the data that will replace it
// and returns its descriptor, or -1 with errno set. The file takes the
// permissions of an existing target.
int CreateTemporary(const std::string& path, std::string& tempPath)
{
    static std::atomic<unsigned> counter{0};
    constexpr int kAttempts = 100;
    int fd = -1;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        tempPath = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) break;
    }
    struct stat target {};
    if (fd >= 0 && ::stat(path.c_str(), &target) == 0) ::fchmod(fd, target.st_mode & 07777);
    return fd;
}

bool WriteAll(int fd, const std::string& data)
{
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Writes `data` into the new file `fd` and closes it; 0 or the error number.
int FillAndClose(int fd, const std::string& data)
{
    int error = 0;
    if (!WriteAll(fd, data) || ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    return error;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
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

}  // namespace

std::optional<std::string> WriteFilesAtomically(const std::vector<std::pair<std::string, std::string>>& files)
{
    std::vector<std::string> temps;
    auto fail = [&temps](int error, std::size_t firstLeft) {
        for (std::size_t i = firstLeft; i < temps.size(); ++i) ::unlink(temps[i].c_str());
        return std::optional<std::string>(ErrorText(error));
    };
    for (const auto& [path, contents] : files) {
        std::string temp;
        const int fd = CreateTemporary(path, temp);
        if (fd < 0) return fail(errno, 0);
        temps.push_back(temp);
        if (const int error = FillAndClose(fd, contents)) return fail(error, 0);
    }
    std::vector<std::string> folders;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (::rename(temps[i].c_str(), files[i].first.c_str()) != 0) return fail(errno, i);
        std::string folder = FolderOf(files[i].first);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(std::move(folder));
    }
    for (const std::string& folder : folders) SyncFolder(folder);
    return std::nullopt;
}

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path))
{
    const int fd = CreateTemporary(path_, tempPath_);
    if (fd < 0) {
        createError_ = errno;
        tempPath_.clear();
        stream_.setstate(std::ios::badbit);
        return;
    }
    ::close(fd);
    stream_.open(tempPath_, std::ios::binary | std::ios::trunc);
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (committed_ || tempPath_.empty()) return;
    stream_.close();
    ::unlink(tempPath_.c_str());
}

std::optional<std::string> AtomicFileWriter::Commit()
{
    if (committed_) return std::nullopt;
    if (tempPath_.empty()) return ErrorText(createError_);
    errno = 0;
    stream_.flush();
    stream_.close();
    int error = 0;
    if (stream_.fail()) {
        error = errno != 0 ? errno : EIO;
    } else {
        const int fd = ::open(tempPath_.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0) error = errno;
        if (fd >= 0) ::close(fd);
    }
    if (error == 0 && ::rename(tempPath_.c_str(), path_.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
        return ErrorText(error);
    }
    committed_ = true;
    SyncFolder(FolderOf(path_));
    return std::nullopt;
}

}  // namespace stelmar
