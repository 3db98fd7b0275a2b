// The program's settings file, Lumaroth.ini beside the program: one section per concern,
// values a person can read. A value that cannot be read falls back to its default
// without a word; a save that fails is said, once in a run.
#pragma once

#include <cstddef>

#include "platform/win32.h"

void read_setting(const char* section, const char* key, const char* fallback, char* out,
                  std::size_t size);
// value nullptr removes the key.
void save_setting(HWND window, const char* section, const char* key, const char* value);
