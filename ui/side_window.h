// The windows beside the main one (channels, words): owned by it (out of sight while it is
// minimised, no taskbar entries of their own, the program's icon), shown and hidden from
// 表示, closed by hiding, their place and size remembered in the settings file.
#pragma once

#include "platform/win32.h"

struct SideWindowSpec {
    const char* class_name;
    const char* title;
    WNDPROC procedure;
    const char* section;  // of the settings file
    int width;
    int height;
    bool below;  // the first time: below the main window rather than beside it
};

// Creates the window, hidden, where it was last.
HWND create_side_window(HWND owner, const SideWindowSpec& spec);
// Shows a hidden one (where it was last, else beside the main window as it is now), hides a
// shown one; its place is saved when it hides.
void toggle_side_window(HWND window, const SideWindowSpec& spec);
// WM_CLOSE of a side window: it hides, its place saved.
void hide_side_window(HWND window, const char* section);
// Where a side window of this size first goes within the work area: beside the main window
// (right, then left) or below it (below, then above), whichever covers none of it, in that
// order (below first when below is set); else where it covers least.
RECT first_side_place(const RECT& work_area, const RECT& main_place, int width, int height,
                      bool below);
