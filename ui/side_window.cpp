#include "ui/side_window.h"

#include <algorithm>
#include <cstdlib>

#include "ui/resource_ids.h"
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

// A rectangle of the given size moved (and cut) to lie within area.
RECT fit_into(const RECT& area, LONG left, LONG top, LONG width, LONG height) {
    width = std::min<LONG>(width, area.right - area.left);
    height = std::min<LONG>(height, area.bottom - area.top);
    left = std::max<LONG>(area.left, std::min<LONG>(left, area.right - width));
    top = std::max<LONG>(area.top, std::min<LONG>(top, area.bottom - height));
    return {left, top, left + width, top + height};
}

long long covered(const RECT& a, const RECT& b) {
    long long width = std::min(a.right, b.right) - std::max(a.left, b.left);
    long long height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

RECT work_area_of(HMONITOR monitor) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (monitor == nullptr || !GetMonitorInfoA(monitor, &info)) return {0, 0, 1024, 768};
    return info.rcWork;
}

// The place the settings remember; false when there is none.
bool remembered_place(const char* section, RECT& place) {
    LONG values[4];
    for (int i = 0; i < 4; ++i) {
        char text[16];
        read_setting(section, kPlaceKeys[i], "", text, sizeof text);
        char* end = nullptr;
        long value = std::strtol(text, &end, 10);
        if (text[0] == '\0' || *end != '\0' || value <= -32768 || value >= 32768 ||
            (i >= 2 && value < 100))
            return false;
        values[i] = static_cast<LONG>(value);
    }
    // On the screen that shows most of it; one that is on no screen now (a screen unplugged)
    // comes back onto the nearest, its size kept where it fits.
    RECT wanted = {values[0], values[1], values[0] + values[2], values[1] + values[3]};
    HMONITOR monitor = MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST);
    place = fit_into(work_area_of(monitor), values[0], values[1], values[2], values[3]);
    return true;
}

void place_side_window(HWND window, const SideWindowSpec& spec) {
    HWND owner = GetWindow(window, GW_OWNER);
    RECT place;
    if (!remembered_place(spec.section, place)) {
        RECT main_place = {};
        GetWindowRect(owner, &main_place);
        place = first_side_place(work_area_of(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)),
                                 main_place, spec.width, spec.height, spec.below);
    }
    MoveWindow(window, place.left, place.top, place.right - place.left, place.bottom - place.top,
               FALSE);
}

}  // namespace

RECT first_side_place(const RECT& work_area, const RECT& main_place, int width, int height,
                      bool below) {
    const RECT beside[] = {
        fit_into(work_area, main_place.right, main_place.top, width, height),
        fit_into(work_area, main_place.left - width, main_place.top, width, height),
    };
    const RECT under[] = {
        fit_into(work_area, main_place.left, main_place.bottom, width, height),
        fit_into(work_area, main_place.left, main_place.top - height, width, height),
    };
    const RECT candidates[] = {below ? under[0] : beside[0], below ? under[1] : beside[1],
                               below ? beside[0] : under[0], below ? beside[1] : under[1]};
    const RECT* best = &candidates[0];
    for (const RECT& candidate : candidates)
        if (covered(candidate, main_place) < covered(*best, main_place)) best = &candidate;
    return *best;
}

HWND create_side_window(HWND owner, const SideWindowSpec& spec) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    WNDCLASSEXA window_class = {};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = spec.procedure;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    window_class.lpszClassName = spec.class_name;
    RegisterClassExA(&window_class);
    HWND window =
        CreateWindowExA(0, spec.class_name, spec.title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, spec.width, spec.height, owner, nullptr, instance, nullptr);
    place_side_window(window, spec);
    return window;
}

void toggle_side_window(HWND window, const SideWindowSpec& spec) {
    if (IsWindowVisible(window)) {
        hide_side_window(window, spec.section);
        return;
    }
    place_side_window(window, spec);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
}

void hide_side_window(HWND window, const char* section) {
    save_place(window, section);
    ShowWindow(window, SW_HIDE);
}
