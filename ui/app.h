// The program's start: the window class and the shown main window.
#pragma once

#include "platform/win32.h"

// Registers the class, creates the window (WM_CREATE sets every start value), shows and
// paints it.
HWND create_main_window(HINSTANCE instance, int show);
// The message loop, with the keyboard's accelerators; the exit code.
int run_message_loop(HWND window, HINSTANCE instance);
