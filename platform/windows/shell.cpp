// COMDLG32's and SHELL32's narrow calls on the wide API: the open dialog, the help page
// and dropped files reach every file, whatever its name.

#include <cstring>
#include <string>

#include "platform/cp932.h"
#include "platform/windows/program_text.h"
#include "platform/windows/route_import.h"

namespace {

constexpr std::size_t kWideNameSize = 32768;  // the longest name Windows knows
DWORD name_too_long = 0;  // FNERR_BUFFERTOOSMALL when the program's buffer was too small

// The filter's pairs, each text ended by a nul and the list by another.
std::wstring wide_filter(LPCSTR filter) {
    std::wstring out;
    while (filter != nullptr && *filter != '\0') {
        out += wide_from_program(filter);
        out += L'\0';
        filter += std::strlen(filter) + 1;
    }
    return out + L'\0';
}

BOOL WINAPI get_open_file_name(LPOPENFILENAMEA request) {
    name_too_long = 0;
    if (request == nullptr || request->lpstrFile == nullptr || request->nMaxFile == 0) return FALSE;
    std::wstring filter = wide_filter(request->lpstrFilter);
    std::wstring title = wide_from_program(request->lpstrTitle);
    std::wstring folder = wide_from_program(request->lpstrInitialDir);
    std::wstring extension = wide_from_program(request->lpstrDefExt);
    std::wstring file(kWideNameSize, L'\0');
    std::wstring initial = wide_from_program(request->lpstrFile);
    initial.copy(&file[0], kWideNameSize - 1);

    OPENFILENAMEW wide = {};
    wide.lStructSize = sizeof wide;
    wide.hwndOwner = request->hwndOwner;
    wide.hInstance = request->hInstance;
    wide.lpstrFilter = request->lpstrFilter != nullptr ? filter.c_str() : nullptr;
    wide.nFilterIndex = request->nFilterIndex;
    wide.lpstrFile = &file[0];
    wide.nMaxFile = kWideNameSize;
    wide.lpstrInitialDir = request->lpstrInitialDir != nullptr ? folder.c_str() : nullptr;
    wide.lpstrTitle = request->lpstrTitle != nullptr ? title.c_str() : nullptr;
    wide.Flags = request->Flags;
    wide.lpstrDefExt = request->lpstrDefExt != nullptr ? extension.c_str() : nullptr;
    if (!GetOpenFileNameW(&wide)) return FALSE;
    request->nFilterIndex = wide.nFilterIndex;

    std::string path = program_from_wide(wide.lpstrFile, std::wcslen(wide.lpstrFile));
    std::string name = program_from_wide(wide.lpstrFile + wide.nFileOffset,
                                         std::wcslen(wide.lpstrFile + wide.nFileOffset));
    // The cut name stays in the buffer, as Windows leaves it.
    if (!copy_cp932_text(path, request->lpstrFile, request->nMaxFile)) {
        name_too_long = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    if (request->lpstrFileTitle != nullptr)
        copy_cp932_text(name, request->lpstrFileTitle, request->nMaxFileTitle);
    request->nFileOffset = static_cast<WORD>(path.size() - name.size());
    std::size_t dot = name.rfind('.');
    request->nFileExtension =
        static_cast<WORD>(dot == std::string::npos ? 0 : path.size() - name.size() + dot + 1);
    return TRUE;
}

// The system's own answer is asked for by address: its import is this function.
DWORD WINAPI dialog_error() {
    if (name_too_long != 0) return name_too_long;
    using ErrorCall = DWORD(WINAPI*)();
    static const auto system_error = reinterpret_cast<ErrorCall>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"comdlg32.dll"), "CommDlgExtendedError")));
    return system_error != nullptr ? system_error() : 0;
}

// An opener that ends at once with a failure opened nothing: Wine hands a page to its
// winebrowser, which ends with an error within a tenth of a second when the system has
// no browser. One that still runs after a second is taken to show the file.
HINSTANCE WINAPI shell_execute(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                               LPCSTR directory, INT show) {
    constexpr DWORD kOpenerGrace = 1000;  // ms
    std::wstring wide_operation = wide_from_program(operation);
    std::wstring wide_file = wide_from_program(file);
    std::wstring wide_parameters = wide_from_program(parameters);
    std::wstring wide_directory = wide_from_program(directory);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = operation != nullptr ? wide_operation.c_str() : nullptr;
    info.lpFile = wide_file.c_str();
    info.lpParameters = parameters != nullptr ? wide_parameters.c_str() : nullptr;
    info.lpDirectory = directory != nullptr ? wide_directory.c_str() : nullptr;
    info.nShow = show;
    auto no_association = reinterpret_cast<HINSTANCE>(static_cast<UINT_PTR>(SE_ERR_NOASSOC));
    if (!ShellExecuteExW(&info))
        return reinterpret_cast<UINT_PTR>(info.hInstApp) <= 32 ? info.hInstApp : no_association;
    if (info.hProcess != nullptr) {
        DWORD code = 0;
        if (WaitForSingleObject(info.hProcess, kOpenerGrace) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(info.hProcess, &code) && code != 0)
            info.hInstApp = no_association;
        CloseHandle(info.hProcess);
    }
    return info.hInstApp;
}

// As the narrow call: 0xFFFFFFFF counts the files; no buffer gives a name's length.
UINT WINAPI drag_query_file(HDROP drop, UINT index, LPSTR file, UINT size) {
    if (index == 0xFFFFFFFFu) return DragQueryFileW(drop, index, nullptr, 0);
    std::wstring wide(kWideNameSize, L'\0');
    UINT length = DragQueryFileW(drop, index, &wide[0], kWideNameSize);
    if (length == 0) return 0;
    std::string name = program_from_wide(wide.c_str(), length);
    if (file == nullptr) return static_cast<UINT>(name.size());
    if (size == 0) return 0;
    copy_cp932_text(name, file, size);
    return static_cast<UINT>(std::strlen(file));
}

}  // namespace

ROUTE_IMPORT(GetOpenFileNameA, get_open_file_name)
ROUTE_IMPORT(CommDlgExtendedError, dialog_error)
ROUTE_IMPORT(ShellExecuteA, shell_execute)
ROUTE_IMPORT(DragQueryFileA, drag_query_file)
