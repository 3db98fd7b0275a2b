// The position area right of 再生 and 停止, while a song is open: the elapsed time (stopped:
// where 再生 starts) and the total time ("m:ss / m:ss", the speed applied), the seek bar
// and the volume, kept current four times a second by a window timer while it plays. And 移動…,
// which asks for a time to jump to.
#pragma once

#include "platform/win32.h"

constexpr UINT_PTR kPositionTimer = 1;

// On the window's creation: the text and the bar, hidden until a song plays.
void create_position_area(HWND window);
// WM_SIZE: the bar stretches with the window, the volume stays at its right end.
void place_position_area(int client_width);
// After the play state or the song changed: shows and fills the area, or hides it, with
// its timer.
void update_position_area(HWND window);
// WM_TIMER, and a change of volume: the time, the bar and the volume as they are now.
void refresh_position_area();
// WM_HSCROLL from the bar: where the user lets go of it, the song jumps to.
void on_position_bar(HWND window, WPARAM wparam);
// WM_CTLCOLORSTATIC: the text and the bar on the window's white, not a dialog's grey.
LRESULT position_area_background(HDC dc);
// 移動…: a time asked for in a dialog (m:ss), and the jump there.
void ask_position(HWND window);
