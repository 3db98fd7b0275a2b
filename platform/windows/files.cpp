// KERNEL32's file names through the wide API: every file opens, whatever its name.
#include <string>

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
    if (!copy_program_name(name, file_name, size)) return size;
    return static_cast<DWORD>(name.size());
}

}  // namespace

ROUTE_IMPORT(CreateFileA, create_file)
ROUTE_IMPORT(GetModuleFileNameA, module_file_name)
