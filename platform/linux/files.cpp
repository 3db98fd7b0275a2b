// KERNEL32 file functions over POSIX.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/cp932.h"
#include "platform/linux/files.h"
#include "platform/win32.h"

namespace {

HANDLE handle_from_fd(int fd) {
    return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(fd) + 1);
}

int fd_from_handle(HANDLE handle) {
    return static_cast<int>(reinterpret_cast<LONG_PTR>(handle) - 1);
}

}  // namespace

// Windows refuses to open a directory this way. O_NONBLOCK: opening a FIFO would
// otherwise wait for a writer before the check.
int open_regular_file(const char* name) {
    int fd = open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

// The program holds names in code page 932 with its escapes; the file system holds the
// bytes they stand for, and only the file they name is opened.
HANDLE CreateFileA(LPCSTR file_name, DWORD desired_access, DWORD, LPSECURITY_ATTRIBUTES,
                   DWORD creation, DWORD, HANDLE) {
    if (file_name == nullptr || desired_access != GENERIC_READ || creation != OPEN_EXISTING)
        return INVALID_HANDLE_VALUE;
    int fd = open_regular_file(file_system_name(file_name).c_str());
    return fd < 0 ? INVALID_HANDLE_VALUE : handle_from_fd(fd);
}

DWORD GetFileSize(HANDLE file, LPDWORD size_high) {
    struct stat info;
    if (fstat(fd_from_handle(file), &info) != 0) return INVALID_FILE_SIZE;
    std::uint64_t size = static_cast<std::uint64_t>(info.st_size);
    if (size_high != nullptr) *size_high = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD to_read, LPDWORD read_count, LPOVERLAPPED) {
    int fd = fd_from_handle(file);
    char* out = static_cast<char*>(buffer);
    DWORD done = 0;
    while (done < to_read) {
        ssize_t n = read(fd, out + done, to_read - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (read_count != nullptr) *read_count = done;
            return FALSE;
        }
        if (n == 0) break;
        done += static_cast<DWORD>(n);
    }
    if (read_count != nullptr) *read_count = done;
    return TRUE;
}

BOOL CloseHandle(HANDLE object) {
    return close(fd_from_handle(object)) == 0 ? TRUE : FALSE;
}

// The program's own path, cut to the buffer as Windows cuts it: the result is size when
// it did not fit.
DWORD GetModuleFileNameA(HINSTANCE, LPSTR file_name, DWORD size) {
    if (file_name == nullptr || size == 0) return 0;
    char link[4096];
    ssize_t length = readlink("/proc/self/exe", link, sizeof link - 1);
    if (length <= 0) {
        file_name[0] = '\0';
        return 0;
    }
    std::string name = file_name_for_program(std::string(link, static_cast<std::size_t>(length)));
    return copy_cp932_text(name, file_name, size) ? static_cast<DWORD>(name.size()) : size;
}

// Joined to the current folder as it is, with no link followed: the name a second start
// hands over then names the same file in the running window's folder.
DWORD GetFullPathNameA(LPCSTR file_name, DWORD size, LPSTR buffer, LPSTR* file_part) {
    if (file_name == nullptr || *file_name == '\0') return 0;
    std::string name = file_name;
    if (name[0] != '/') {
        char* folder = getcwd(nullptr, 0);
        if (folder == nullptr) return 0;
        name = file_name_for_program(folder) + (folder[1] != '\0' ? "/" : "") + name;
        std::free(folder);
    }
    if (buffer == nullptr || !copy_cp932_text(name, buffer, size))
        return static_cast<DWORD>(name.size() + 1);
    if (file_part != nullptr) *file_part = buffer + name.rfind('/') + 1;
    return static_cast<DWORD>(name.size());
}

bool is_path_separator(char byte) {
    return byte == '/';
}
