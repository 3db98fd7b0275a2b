// ファイル → 最近使ったファイル: the last songs opened, newest first, remembered in the
// settings file by their exact names.
#pragma once

#include "platform/win32.h"

constexpr int kRecentFiles = 8;

// Reads the remembered names and puts the pop-up after 開く.
void create_recent_files_menu(HWND window);
// A song opened: it goes first, once.
void remember_recent_file(HWND window, const char* path);
bool is_recent_file_command(int id);
// Opens the song; one that is gone is said and dropped from the list.
void open_recent_file(HWND window, int id);
