// Any bytes as Shift-JIS text: decoded both ways and drawn with TextOutA on the
// Linux layer's backing image at any position, whole or cut anywhere; and as a file name,
// which must come back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/cp932.h"
#include "platform/win32.h"

namespace {

LRESULT CALLBACK plain_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND text_window() {
    static HWND window = [] {
        WNDCLASSEXA window_class = {};
        window_class.cbSize = sizeof window_class;
        window_class.lpfnWndProc = plain_proc;
        window_class.lpszClassName = "FuzzText";
        RegisterClassExA(&window_class);
        return CreateWindowExA(0, "FuzzText", "", WS_OVERLAPPEDWINDOW, 0, 0, 216, 139, nullptr,
                               nullptr, nullptr, nullptr);
    }();
    return window;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3 || size > 512) return 0;
    const char* text = reinterpret_cast<const char*>(data + 3);
    std::size_t length = size - 3;
    std::string utf8 = cp932_to_utf8(text, length, data[0] & 1);
    std::string back;
    utf8_to_cp932(std::string(text, length), back);
    // Any file name comes back as the very bytes the file system holds.
    std::string name(text, strnlen(text, length));
    std::string held = file_name_for_program(name);
    if (file_system_name(held.c_str()) != name) std::abort();
    text_for_display(held.data(), held.size());
    text_for_display(text, length);

    PAINTSTRUCT paint;
    HDC dc = BeginPaint(text_window(), &paint);
    int x = static_cast<std::int8_t>(data[1]) * 2;
    int y = static_cast<std::int8_t>(data[2]);
    TextOutA(dc, x, y, text, static_cast<int>(length));
    TextOutA(dc, x, y + 16, text, static_cast<int>(length / 2));  // cut mid-character too
    EndPaint(text_window(), &paint);
    return 0;
}
