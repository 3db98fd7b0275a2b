// 出力 → 音色ファイル(SoundFont)…, where the system plays through a SoundFont: a file
// dialog for .sf2 and .sf3 files at the one in use; the choice loads on the synthesizer's
// loader thread for the next Play and is remembered in the settings file. A file that is
// no SoundFont, or fails to load, is said in one box, and the one before stays.
#pragma once

#include "platform/win32.h"

// The loader's answer to the window: wParam 1 loaded, 0 not.
constexpr UINT kSoundFontLoadedMessage = WM_USER + 4;

// Adds the item and loads the remembered SoundFont, where there is a choice.
void add_sound_font_item(HWND window, HMENU output_menu);
void ask_for_sound_font(HWND window);
void on_sound_font_loaded(HWND window, WPARAM loaded);
