// 表示 → 歌詞 (F3): a window beside the main one with the song's words (lyrics.h), a line
// at a time: the line being sung with the syllables sung so far marked, and the next
// line below it, following play, pause and jumps on a window timer. A song without words
// says so.
#pragma once

#include "platform/win32.h"

void create_lyrics_window(HWND owner);
void toggle_lyrics_window();
