// Open in all its ways: the dialog, a name given, a dropped file, a song a second start of
// the program hands over, and quietly, for the songs of a folder and the recent files.
#pragma once

#include "platform/win32.h"

// The window's own message for a handed-over song, numbered after kEndOfSongMessage.
constexpr UINT kOpenHandedSongMessage = WM_USER + 3;

void setup_open_dialog(HWND window);
// ファイル → 開く: the dialog, then the song; a song that cannot be read is said.
void ask_and_open_song(HWND window);
// Open with the dialog's answer given: path as the user would have chosen it.
void open_song_path(HWND window, const char* path);
// The song at path when it reads as a Standard MIDI File, with no box when it does not
// (the song open before stays); whether it opened.
bool open_song_quietly(HWND window, const char* path);
// WM_COPYDATA, WM_DROPFILES and kOpenHandedSongMessage.
LRESULT on_handed_song(HWND window, const COPYDATASTRUCT* data);
void on_dropped_files(HWND window, HDROP drop);
void on_open_handed_song(HWND window);
// The file-name part of a path: after the last separator, a '\' or '/' that is not the
// second byte of a Shift-JIS character.
const char* name_part(const char* path);
