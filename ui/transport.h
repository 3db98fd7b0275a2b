// The transport commands: 再生, 一時停止 and 停止, and the play state the window shows
// for them (playback_state()).
#pragma once

#include <cstdint>

#include "platform/win32.h"

// 再生: a paused song resumes; else the song plays from the start with the current
// settings. When nothing can play, a box says why and the window stays as it was.
void transport_play(HWND window);
// Space: a playing song pauses, a paused one resumes, a stopped one plays (一時停止, greyed
// while stopped, the first two).
void transport_pause_or_resume(HWND window);
void transport_stop(HWND window);
// A jump to song_ms (the clock the window shows) while playing (it plays on from there) or
// paused (it stays paused there), every channel chased to the song's state at the point;
// while stopped, the point where 再生 starts (停止 and a new song put it back to 0).
// After a change of speed or instrument switch the jump lands at the same place of the
// song with the new settings; resume does the same.
void transport_seek(HWND window, std::uint32_t song_ms);
// Left, Right and Home: 5 s back, 5 s on, the start (kCommandBack, kCommandForward,
// kCommandToStart).
void transport_step(HWND window, int command);
// Where playing or paused playback is, or where 再生 starts a stopped song.
std::uint32_t transport_position_ms();
// A song was opened (or failed to open): it starts from its start, the channels and the
// instruments show it as it stands before its first note, the commands what they can do.
void transport_new_song(HWND window);
