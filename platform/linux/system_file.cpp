#include "platform/synth/system_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/files.h"

namespace {

bool writable_kind(mode_t mode) {
    return S_ISREG(mode) || S_ISCHR(mode);
}

}  // namespace

SystemFile::~SystemFile() {
    close();
}

bool SystemFile::open_regular(const std::string& name) {
    close();
    int fd = open_regular_file(name.c_str());
    error_ = fd < 0 ? errno : 0;
    if (fd >= 0) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    handle_ = fd;
    return fd >= 0;
}

bool SystemFile::create(const std::string& name, std::string& error) {
    close();
    struct stat info;
    if (stat(name.c_str(), &info) == 0 && !writable_kind(info.st_mode)) {
        error = "not a regular file";
        return false;
    }
    // O_NONBLOCK: a FIFO put there since the check fails or is refused below, never waits.
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd >= 0 && (fstat(fd, &info) != 0 || !writable_kind(info.st_mode))) {
        ::close(fd);
        fd = -1;
        errno = EINVAL;
    }
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    handle_ = fd;
    return true;
}

std::int64_t SystemFile::size() const {
    struct stat info;
    return fstat(static_cast<int>(handle_), &info) == 0 ? info.st_size : 0;
}

std::size_t SystemFile::read_at(void* buffer, std::size_t size, std::int64_t offset) {
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = pread(static_cast<int>(handle_), bytes + done, size - done,
                          static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::size_t SystemFile::write(const void* data, std::size_t size) {
    const char* at = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(static_cast<int>(handle_), at + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = errno;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool SystemFile::write_at_start(const void* data, std::size_t size) {
    if (pwrite(static_cast<int>(handle_), data, size, 0) == static_cast<ssize_t>(size)) return true;
    error_ = errno;
    return errno == ESPIPE;
}

bool SystemFile::close() {
    if (handle_ == kClosed) return true;
    bool closed = ::close(static_cast<int>(handle_)) == 0;
    if (!closed) error_ = errno;
    handle_ = kClosed;
    return closed;
}

std::string SystemFile::last_error() const {
    return std::strerror(error_);
}

bool is_same_file(const std::string& a, const std::string& b) {
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}
