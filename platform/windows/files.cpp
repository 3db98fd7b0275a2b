// KERNEL32's file names through the wide API: every file opens and every folder lists,
// whatever its names; the settings file likewise, its texts converted as the program's are.
#include <cstring>
#include <string>

#include "platform/cp932.h"
#include "platform/windows/program_text.h"
#include "platform/windows/route_import.h"

namespace {

HANDLE WINAPI create_file(LPCSTR file_name, DWORD access, DWORD share,
                          LPSECURITY_ATTRIBUTES security, DWORD creation, DWORD flags,
                          HANDLE templ) {
    if (file_name == nullptr) return INVALID_HANDLE_VALUE;
    return CreateFileW(wide_from_program(file_name).c_str(), access, share, security, creation,
                       flags, templ);
}

// As the ANSI call: the result is size when the name did not fit.
DWORD WINAPI module_file_name(HMODULE module, LPSTR file_name, DWORD size) {
    wchar_t wide[32768];
    DWORD length = GetModuleFileNameW(module, wide, sizeof wide / sizeof wide[0]);
    if (length == 0 || length >= sizeof wide / sizeof wide[0]) return 0;
    std::string name = program_from_wide(wide, length);
    if (!copy_cp932_text(name, file_name, size)) return size;
    return static_cast<DWORD>(name.size());
}

// As the ANSI call: when the name does not fit, the size it needs.
DWORD WINAPI full_path_name(LPCSTR file_name, DWORD size, LPSTR buffer, LPSTR* file_part) {
    if (file_name == nullptr) return 0;
    std::wstring wide_name = wide_from_program(file_name);
    DWORD needed = GetFullPathNameW(wide_name.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return 0;
    std::wstring full(needed, L'\0');
    LPWSTR wide_part = nullptr;
    DWORD length = GetFullPathNameW(wide_name.c_str(), needed, &full[0], &wide_part);
    if (length == 0 || length >= needed) return 0;
    std::string name = program_from_wide(full.c_str(), length);
    if (buffer == nullptr || !copy_cp932_text(name, buffer, size))
        return static_cast<DWORD>(name.size() + 1);
    if (file_part != nullptr)
        *file_part =
            wide_part == nullptr
                ? nullptr
                : buffer + name.size() - program_from_wide(wide_part, wcslen(wide_part)).size();
    return static_cast<DWORD>(name.size());
}

// A missing key gives the default; the value comes back cut to the buffer, as Windows cuts.
DWORD WINAPI profile_string(LPCSTR section, LPCSTR key, LPCSTR default_text, LPSTR out, DWORD size,
                            LPCSTR file_name) {
    if (out == nullptr || size == 0 || section == nullptr || key == nullptr) return 0;
    wchar_t value[1024];
    DWORD length = GetPrivateProfileStringW(
        wide_from_program(section).c_str(), wide_from_program(key).c_str(),
        wide_from_program(default_text).c_str(), value, sizeof value / sizeof value[0],
        wide_from_program(file_name).c_str());
    copy_cp932_text(program_from_wide(value, length), out, size);
    return static_cast<DWORD>(std::strlen(out));
}

// Windows writes a settings file in the system's code page unless it starts as UTF-16: a
// new one does, so that it holds every name (a Japanese one under code page 1252 too).
void start_as_utf16(const std::wstring& file_name) {
    HANDLE file = CreateFileW(file_name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const unsigned char byte_order_mark[] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file, byte_order_mark, sizeof byte_order_mark, &written, nullptr);
    CloseHandle(file);
}

BOOL WINAPI write_profile_string(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR file_name) {
    if (file_name != nullptr) start_as_utf16(wide_from_program(file_name));
    std::wstring wide_key = wide_from_program(key);
    std::wstring wide_text = wide_from_program(text);
    return WritePrivateProfileStringW(
        wide_from_program(section).c_str(), key != nullptr ? wide_key.c_str() : nullptr,
        text != nullptr ? wide_text.c_str() : nullptr, wide_from_program(file_name).c_str());
}

// The wide entry as the program holds it; false when its name does not fit.
bool entry_for_program(const WIN32_FIND_DATAW& wide, LPWIN32_FIND_DATAA data) {
    std::string name = program_from_wide(wide.cFileName, wcslen(wide.cFileName));
    WIN32_FIND_DATAA entry = {};
    if (!copy_cp932_text(name, entry.cFileName, sizeof entry.cFileName)) return false;
    entry.dwFileAttributes = wide.dwFileAttributes;
    entry.ftCreationTime = wide.ftCreationTime;
    entry.ftLastAccessTime = wide.ftLastAccessTime;
    entry.ftLastWriteTime = wide.ftLastWriteTime;
    entry.nFileSizeHigh = wide.nFileSizeHigh;
    entry.nFileSizeLow = wide.nFileSizeLow;
    *data = entry;
    return true;
}

// Entries whose names the program cannot hold are passed over.
BOOL WINAPI find_next_file(HANDLE find, LPWIN32_FIND_DATAA data) {
    WIN32_FIND_DATAW wide;
    while (FindNextFileW(find, &wide))
        if (entry_for_program(wide, data)) return TRUE;
    return FALSE;
}

HANDLE WINAPI find_first_file(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
    if (pattern == nullptr || data == nullptr) return INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW wide;
    HANDLE find = FindFirstFileW(wide_from_program(pattern).c_str(), &wide);
    if (find == INVALID_HANDLE_VALUE) return find;
    if (entry_for_program(wide, data) || find_next_file(find, data)) return find;
    FindClose(find);
    return INVALID_HANDLE_VALUE;
}

}  // namespace

ROUTE_IMPORT(FindFirstFileA, find_first_file)
ROUTE_IMPORT(FindNextFileA, find_next_file)
ROUTE_IMPORT(GetPrivateProfileStringA, profile_string)
ROUTE_IMPORT(WritePrivateProfileStringA, write_profile_string)
ROUTE_IMPORT(CreateFileA, create_file)
ROUTE_IMPORT(GetModuleFileNameA, module_file_name)
ROUTE_IMPORT(GetFullPathNameA, full_path_name)

bool is_path_separator(char byte) {
    return byte == '\\' || byte == '/';
}
