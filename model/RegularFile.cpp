#include "model/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/FileErrors.h"

namespace stelmar {

int OpenRegularFile(const std::string& path, int& error)
{
    // What is plainly no regular file is not opened at all: opening some
    // devices has effects of its own.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? EISDIR : kNotRegularFile;
        return -1;
    }
    // Without O_NONBLOCK opening a pipe put in place meanwhile would wait
    // for a writer forever; the check after opening is the one that counts.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (S_ISDIR(info.st_mode))
        error = EISDIR;
    else if (!S_ISREG(info.st_mode))
        error = kNotRegularFile;
    else if (const int flags = ::fcntl(fd, F_GETFL); flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int ReadRegularFile(const std::string& path, std::int64_t maxSize, std::string& out)
{
    int error = 0;
    const int fd = OpenRegularFile(path, error);
    if (fd < 0) return error;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = errno;
    } else if (info.st_size > maxSize) {
        error = EFBIG;
    } else {
        out.resize(static_cast<std::size_t>(info.st_size));
        std::size_t filled = 0;
        while (filled < out.size()) {
            const ssize_t n = ::read(fd, out.data() + filled, out.size() - filled);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) error = errno;
            if (n <= 0) break;
            filled += static_cast<std::size_t>(n);
        }
        out.resize(filled);
    }
    ::close(fd);
    return error;
}

}  // namespace stelmar
