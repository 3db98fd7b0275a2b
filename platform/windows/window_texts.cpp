// USER32's and GDI32's narrow calls on the wide API. The program's windows are Unicode
// windows and its texts reach them converted from code page 932, so buttons, caption,
// painting and message boxes read as on a Japanese Windows under any system code page.
#include <cstring>
#include <cwchar>
#include <string>

#include "platform/windows/program_text.h"
#include "platform/windows/route_import.h"
#include "platform/windows/trackbar_click.h"

namespace {

// The Japanese system font by its values (18 pixels high, 8 wide a half-width cell,
// Shift-JIS), as a Japanese locale's default font has them: made by value, it is the same
// font whatever the system's locale, and the cells do not move.
HFONT japanese_system_font() {
    static HFONT font = [] {
        LOGFONTW logfont = {};
        logfont.lfHeight = 18;
        logfont.lfWidth = 8;
        logfont.lfWeight = FW_NORMAL;
        logfont.lfCharSet = SHIFTJIS_CHARSET;
        std::wcscpy(logfont.lfFaceName, L"System");
        return CreateFontIndirectW(&logfont);
    }();
    return font;
}

// A resource id stays an id; a name is converted.
std::wstring resource_name(LPCSTR name, LPCWSTR& out) {
    std::wstring converted = IS_INTRESOURCE(name) ? std::wstring() : wide_from_program(name);
    out = IS_INTRESOURCE(name) ? reinterpret_cast<LPCWSTR>(name) : nullptr;
    return converted;
}

ATOM WINAPI register_class(const WNDCLASSEXA* window_class) {
    WNDCLASSEXW wide;
    static_assert(sizeof wide == sizeof *window_class, "the same record but for the names");
    std::memcpy(&wide, window_class, sizeof wide);
    wide.cbSize = sizeof wide;
    std::wstring menu = resource_name(window_class->lpszMenuName, wide.lpszMenuName);
    std::wstring name = resource_name(window_class->lpszClassName, wide.lpszClassName);
    if (wide.lpszMenuName == nullptr && !menu.empty()) wide.lpszMenuName = menu.c_str();
    if (wide.lpszClassName == nullptr) wide.lpszClassName = name.c_str();
    return RegisterClassExW(&wide);
}

HWND WINAPI create_window(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x,
                          int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                          LPVOID param) {
    LPCWSTR wide_class;
    std::wstring name = resource_name(class_name, wide_class);
    if (wide_class == nullptr) wide_class = name.c_str();
    std::wstring text = wide_from_program(window_name);
    HWND window =
        CreateWindowExW(ex_style, wide_class, window_name != nullptr ? text.c_str() : nullptr,
                        style, x, y, width, height, parent, menu, instance, param);
    if (window != nullptr && (style & WS_CHILD))
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(japanese_system_font()), FALSE);
    if (window != nullptr && !IS_INTRESOURCE(class_name) &&
        std::strcmp(class_name, TRACKBAR_CLASSA) == 0)
        jump_trackbar_to_clicks(window);
    return window;
}

LRESULT WINAPI default_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(window, message, wparam, lparam);
}

BOOL WINAPI get_message(LPMSG msg, HWND window, UINT first, UINT last) {
    return GetMessageW(msg, window, first, last);
}

LRESULT WINAPI dispatch_message(const MSG* msg) {
    return DispatchMessageW(msg);
}

int WINAPI translate_accelerator(HWND window, HACCEL table, LPMSG msg) {
    return TranslateAcceleratorW(window, table, msg);
}

BOOL WINAPI append_menu(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
    return AppendMenuW(menu, flags, id, wide_from_program(text).c_str());
}

BOOL WINAPI insert_menu(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR text) {
    return InsertMenuW(menu, position, flags, id, wide_from_program(text).c_str());
}

BOOL WINAPI set_window_text(HWND window, LPCSTR text) {
    return SetWindowTextW(window, wide_from_program(text).c_str());
}

int WINAPI message_box(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    std::wstring wide_caption = wide_from_program(caption);
    return MessageBoxW(owner, wide_from_program(text).c_str(),
                       caption != nullptr ? wide_caption.c_str() : nullptr, type);
}

// The same cells as the narrow call on a Japanese Windows: a double-byte character is
// one full-width glyph.
BOOL WINAPI text_out(HDC dc, int x, int y, LPCSTR text, int count) {
    SelectObject(dc, japanese_system_font());
    std::wstring wide = wide_from_program(text, count > 0 ? static_cast<std::size_t>(count) : 0);
    return TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

}  // namespace

ROUTE_IMPORT(RegisterClassExA, register_class)
ROUTE_IMPORT(CreateWindowExA, create_window)
ROUTE_IMPORT(DefWindowProcA, default_procedure)
ROUTE_IMPORT(GetMessageA, get_message)
ROUTE_IMPORT(DispatchMessageA, dispatch_message)
ROUTE_IMPORT(TranslateAcceleratorA, translate_accelerator)
ROUTE_IMPORT(AppendMenuA, append_menu)
ROUTE_IMPORT(InsertMenuA, insert_menu)
ROUTE_IMPORT(SetWindowTextA, set_window_text)
ROUTE_IMPORT(MessageBoxA, message_box)
ROUTE_IMPORT(TextOutA, text_out)
