#include "ui/side_window.h"

#include <algorithm>
#include <cstdlib>

#include "ui/settings.h"

namespace {

const char* const kPlaceKeys[] = {"Left", "Top", "Width", "Height"};

void save_place(HWND window, const char* section) {
    RECT place;
    if (!GetWindowRect(window, &place)) return;
    const LONG values[] = {place.left, place.top, place.right - place.left,
                           place.bottom - place.top};
    for (int i = 0; i < 4; ++i) {
        char text[16];
        wsprintfA(text, "%d", static_cast<int>(values[i]));
        save_setting(window, section, kPlaceKeys[i], text);
    }
}

// A remembered place kept within the desktop's work area: a settings file may hold any
// size, and a window holds a backing image as large as itself.
void fit_work_area(int place[4]) {
    RECT area;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) return;
    place[2] = std::min<int>(place[2], area.right - area.left);
    place[3] = std::min<int>(place[3], area.bottom - area.top);
    place[0] = std::max<int>(area.left, std::min<int>(place[0], area.right - place[2]));
    place[1] = std::max<int>(area.top, std::min<int>(place[1], area.bottom - place[3]));
}

}  // namespace

HWND create_side_window(HWND owner, const SideWindowSpec& spec) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    WNDCLASSEXA window_class = {};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = spec.procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    window_class.lpszClassName = spec.class_name;
    RegisterClassExA(&window_class);
    RECT owner_place = {};
    GetWindowRect(owner, &owner_place);
    int first_left = spec.below ? owner_place.left : owner_place.right;
    int first_top = spec.below ? owner_place.bottom : owner_place.top;
    int place[4] = {first_left, first_top, spec.width, spec.height};
    bool remembered = true;
    for (int i = 0; i < 4; ++i) {
        char text[16];
        read_setting(spec.section, kPlaceKeys[i], "", text, sizeof text);
        char* end = nullptr;
        long value = std::strtol(text, &end, 10);
        remembered = remembered && text[0] != '\0' && *end == '\0' && value > -32768 &&
                     value < 32768 && (i < 2 || value >= 100);
        if (remembered) place[i] = static_cast<int>(value);
    }
    if (remembered) {
        fit_work_area(place);
    } else {
        place[0] = first_left, place[1] = first_top;
    }
    HWND window = CreateWindowExA(0, spec.class_name, spec.title, WS_OVERLAPPEDWINDOW, place[0],
                                  place[1], place[2], place[3], owner, nullptr, instance, nullptr);
    MoveWindow(window, place[0], place[1], place[2], place[3], FALSE);
    return window;
}

void toggle_side_window(HWND window, const char* section) {
    if (IsWindowVisible(window)) {
        hide_side_window(window, section);
        return;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
}

void hide_side_window(HWND window, const char* section) {
    save_place(window, section);
    ShowWindow(window, SW_HIDE);
}
