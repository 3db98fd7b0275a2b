#include "platform/synth/system_file.h"

#include "platform/win32.h"
#include "platform/windows/program_text.h"

namespace {

HANDLE as_handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// A file held open may be renamed over or deleted meanwhile, as on Linux.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

SystemFile::~SystemFile() {
    close();
}

bool SystemFile::open_regular(const std::string& name) {
    close();
    HANDLE file = CreateFileW(wide_from_utf8(name).c_str(), GENERIC_READ, kShareAll, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error_ = static_cast<int>(GetLastError());
        return false;
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        error_ = ERROR_INVALID_FUNCTION;
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return true;
}

bool SystemFile::create(const std::string& name, std::string& error) {
    close();
    HANDLE file = CreateFileW(wide_from_utf8(name).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error_ = static_cast<int>(GetLastError());
        error = last_error();
        return false;
    }
    DWORD type = GetFileType(file);
    if (type != FILE_TYPE_DISK && type != FILE_TYPE_CHAR) {
        CloseHandle(file);
        error = "not a regular file";
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return true;
}

std::int64_t SystemFile::size() const {
    LARGE_INTEGER size;
    return GetFileSizeEx(as_handle(handle_), &size) ? size.QuadPart : 0;
}

std::size_t SystemFile::read_at(void* buffer, std::size_t size, std::int64_t offset) {
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        OVERLAPPED at = {};
        std::uint64_t position = static_cast<std::uint64_t>(offset) + done;
        at.Offset = static_cast<DWORD>(position);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        DWORD chunk = size - done > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size - done);
        DWORD n = 0;
        if (!ReadFile(as_handle(handle_), bytes + done, chunk, &n, &at) || n == 0) break;
        done += n;
    }
    return done;
}

std::size_t SystemFile::write(const void* data, std::size_t size) {
    const char* at = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        DWORD chunk = size - done > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size - done);
        DWORD n = 0;
        if (!WriteFile(as_handle(handle_), at + done, chunk, &n, nullptr) || n == 0) {
            error_ = static_cast<int>(GetLastError());
            break;
        }
        done += n;
    }
    return done;
}

bool SystemFile::write_at_start(const void* data, std::size_t size) {
    if (GetFileType(as_handle(handle_)) != FILE_TYPE_DISK) return true;
    OVERLAPPED start = {};
    DWORD n = 0;
    if (WriteFile(as_handle(handle_), data, static_cast<DWORD>(size), &n, &start) && n == size)
        return true;
    error_ = static_cast<int>(GetLastError());
    return false;
}

bool SystemFile::close() {
    if (handle_ == kClosed) return true;
    bool closed = CloseHandle(as_handle(handle_)) != 0;
    if (!closed) error_ = static_cast<int>(GetLastError());
    handle_ = kClosed;
    return closed;
}

// The system's own words, in its own language, as UTF-8.
std::string SystemFile::last_error() const {
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error_), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0) return "error " + std::to_string(error_);
    while (length > 0 &&
           (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L'.'))
        text[--length] = L'\0';
    std::string message = utf8_from_wide(text);
    LocalFree(text);
    return message;
}

bool is_same_file(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION info[2];
    const std::string* paths[2] = {&a, &b};
    for (int i = 0; i < 2; ++i) {
        HANDLE file = CreateFileW(wide_from_utf8(*paths[i]).c_str(), 0, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        BOOL known = GetFileInformationByHandle(file, &info[i]);
        CloseHandle(file);
        if (!known) return false;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh &&
           info[0].nFileIndexLow == info[1].nFileIndexLow;
}
