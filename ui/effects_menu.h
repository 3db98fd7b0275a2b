// The エフェクト pop-up of the 出力 menu: the embedded synthesizer's reverb and chorus,
// 標準, 控えめ or なし, the one in use checked, remembered in the settings file.
#pragma once

#include "platform/win32.h"

// Adds the pop-up to the menu, where the system has the synthesizer, and takes up the
// remembered choice.
void create_effects_menu(HMENU output_menu);
bool is_effects_command(int id);
// Applied at once, also while playing, and remembered.
void choose_effects(HWND window, int id);
