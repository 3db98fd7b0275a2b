// The main window's WM_PAINT: song information, instrument list, settings and status.
#pragma once

#include "instruments/channel_voices.h"
#include "platform/win32.h"
#include "smf/song_info.h"

void paint_window(HWND window);
void paint_song_info(HDC dc, SongInfo info);
void paint_instrument_list(HDC dc, InstrumentListing listing);
void paint_rule(HDC dc, int start_x, int y, int client_width);
