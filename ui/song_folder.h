// 次の曲 and 前の曲: the songs of the current song's folder (the names the program opens
// as songs), in the order a file manager shows them, the last followed by the first.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

// Whether the name ends as a song's: .mid, .midi, .kar or .rmi, in any case.
bool is_song_file_name(const char* name);
// A file manager's order: letters without regard to case, a run of digits by its number
// ("2.mid" before "10.mid"); negative, zero or positive.
int compare_song_names(const char* a, const char* b);
// The song files of the folder (its path with the trailing separator), in that order.
std::vector<std::string> folder_songs(const char* folder);
// Opens the song step places after the current one (-1: before), passing over those that
// do not load, without a box; when none does, one message says so. The song that opens
// plays when play is set. False when none opened.
bool step_song_folder(HWND window, int step, bool play);
