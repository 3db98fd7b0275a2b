// The transport commands: 再生, 一時停止 and 停止, and the play state the window shows
// for them (play_state: 0 stopped, 1 playing, 2 paused).
#pragma once

#include "platform/win32.h"

// 再生: a paused song resumes; else the song plays from the start with the current
// settings. When nothing can play, a box says why and the window stays as it was.
void transport_play(HWND window);
// Space and 一時停止: a playing song pauses, a paused one resumes, a stopped one plays.
void transport_pause_or_resume(HWND window);
void transport_stop(HWND window);
