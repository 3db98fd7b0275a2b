// The main window: its procedure, the commands the menu and the buttons send, and the
// helpers they share.
#pragma once

#include <cstddef>

#include "platform/win32.h"

constexpr char kProgramTitle[] = "Lumaroth";
constexpr char kWindowClass[] = "ModelApp";
constexpr char kHelpFile[] = "Lumaroth.html";
// WM_COPYDATA's tag for a song handed over by a second start of the program: the name's
// bytes with their terminator.
constexpr ULONG_PTR kHandedSong = 0x4C4D5253;

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void update_title(HWND window, const char* title);
void show_load_warning(HWND window, const char* format, const char* path);
void refresh_window(HWND window);
int open_help(HWND window);
// The program's folder with its trailing separator, cut to size.
void program_folder(char* folder, std::size_t size);
// The speed and the text that shows it.
void set_speed(double factor);
