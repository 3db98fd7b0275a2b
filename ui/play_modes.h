// 再生's 繰り返し (なし, 1曲, フォルダ) and ループ回数 (1, 2, 3, 無限): chosen in the menu,
// remembered in the settings file, and what comes when a song is over.
#pragma once

#include "platform/win32.h"

enum RepeatMode { kRepeatNone = 0, kRepeatSong = 1, kRepeatFolder = 2 };

// Main thread only.
extern int repeat_mode;

// Reads the remembered choices and marks them in the window's menu.
void create_play_modes(HWND window);
bool is_play_mode_command(int id);
void choose_play_mode(HWND window, int id);
// The song is over (the end-of-song message): it stops, and with repeat the song, or the
// folder's next, starts once the stop's late messages have gone by.
void on_song_over(HWND window, WPARAM why);
// kNextStartMessage's work: the repeat's next start.
void start_next_song(HWND window);

// The window's message for the next start, numbered after kSoundFontLoadedMessage.
constexpr UINT kNextStartMessage = WM_USER + 5;
