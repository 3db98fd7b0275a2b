// The windows beside the main one (channels, words): owned by it, shown and hidden from
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
    bool below;  // the first time: below the main window, else to its right
};

// Creates the window, hidden, where it was last.
HWND create_side_window(HWND owner, const SideWindowSpec& spec);
// Shows a hidden one, hides a shown one; its place is saved when it hides.
void toggle_side_window(HWND window, const char* section);
// WM_CLOSE of a side window: it hides, its place saved.
void hide_side_window(HWND window, const char* section);
