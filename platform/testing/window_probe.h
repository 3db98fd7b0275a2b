// What tests see of the Linux window layer: a log of what was drawn, the pixels of a
// window, its caption, and a way to run the queued messages without waiting.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

struct DrawnText {
    HWND window;
    int x;
    int y;
    std::string bytes;  // Shift-JIS, exactly the count TextOutA was given
};

struct DrawnLine {
    HWND window;
    POINT from;
    POINT to;
    COLORREF color;
    int width;
};

// What the window layer drew, kept only while a test records: a test that paints for
// long must not hold on to all of it.
struct DrawLog {
    bool recording = false;
    std::vector<DrawnText> texts;
    std::vector<DrawnLine> lines;
    int paints = 0;  // BeginPaint calls

    void clear();
};
extern DrawLog draw_log;

// The window's caption as SetWindowTextA set it.
std::string window_caption(HWND window);
// The caption as the desktop shows it, in UTF-8.
std::string shown_caption(HWND window);
// Saves the client area's backing image (or the whole window with its menu and
// buttons when whole is set) as a PNG file.
bool save_window_image(HWND window, const char* png_path, bool whole);
// Every shown top-level window at its place on the screen, in one PNG file.
bool save_screen_image(const char* png_path);
// The client area's pixels as 0xRRGGBB, row by row.
std::vector<DWORD> client_pixels(HWND window, int& width, int& height);
// A PNG file's pixels as 0xRRGGBB, row by row; empty when it cannot be read.
std::vector<DWORD> png_pixels(const char* png_path, int& width, int& height);
// Resizes the window so that its client area is width x height, as a user would.
void resize_client_area(HWND window, int width, int height);
// Dispatches every queued message and handles Qt's pending events, without waiting.
void pump_messages();
// Whether the child "BUTTON" with this id shows pressed (a BS_PUSHLIKE one that is checked).
bool button_pressed(HWND window, int id);
// Clicks the child "BUTTON" with this id, as a user would.
bool click_button(HWND window, int id);
// Presses a key on the child "BUTTON" with this id (0: the window itself), as a user
// would: Qt's key code, the text it types, Control held or not; the key's own code on the
// keyboard when it matters (the layout's, X11's and Wayland's: 10 to 19 for 1 to 0).
bool press_key(HWND window, int button_id, int qt_key, const char* text, bool control,
               bool shift = false, unsigned scan_code = 0);
// A child control's text as it shows (UTF-8), "<none>" for no such control; whether it shows.
std::string control_text(HWND window, int id);
bool control_visible(HWND window, int id);
// Drags the trackbar with this id to position and lets go, as a user would.
bool drag_trackbar(HWND window, int id, int position);
// Clicks the trackbar's groove at this share of its width (0 to 1) with the mouse.
bool click_trackbar(HWND window, int id, double share);
// The shown child controls' places in the client area.
std::vector<RECT> control_places(HWND window);
struct MenuEntry {
    std::string text;  // Shift-JIS, as the program gave it
    UINT id;           // 0 for a sub-menu, whose items follow it
    bool checked;
    bool enabled;
};
// The items of the window's menu-bar pop-up at this index (0: the first), a sub-menu's
// after it.
std::vector<MenuEntry> menu_entries(HWND window, int popup);
// Drops files on the window, as a file manager does.
void drop_files(HWND window, const std::vector<std::string>& paths);
// The one-window socket of this mutex name as another start reaches it: a connection,
// or -1. And the user the socket serves and trusts, for a test to pretend another.
int connect_as_another_start(const char* mutex_name);
void set_instance_user(unsigned int uid);
