// The 出力 menu: the MIDI outputs the system offers, the one in use checked, and the
// choice remembered by what the device is (its name) in the program's settings file;
// then the volume and the SoundFont.
#pragma once

#include "platform/win32.h"

// Adds the menu before ヘルプ and takes up the remembered output, or the
// mapper when that device is gone.
void create_output_menu(HWND window);
// Whether id is one of the menu's commands.
bool is_output_command(int id);
// Uses the chosen output from the next Play on, and remembers it.
void choose_output(HWND window, int id);
// At Play: when the output remembered from before was not there at the start, a box says
// so, once; the mapper plays.
void say_if_remembered_output_is_gone(HWND window);
