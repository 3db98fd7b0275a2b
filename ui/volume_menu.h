// The 音量 pop-up of the 出力 menu: 100 % down to 0 % in steps of 10 %, the one in use
// checked, remembered in the settings file; Ctrl+Up and Ctrl+Down step it.
#pragma once

#include "platform/win32.h"

// Adds the pop-up to the menu and takes up the remembered volume.
void create_volume_menu(HMENU output_menu);
bool is_volume_command(int id);
// Applied at once while playing, and remembered.
void choose_volume(HWND window, int id);
