// The program's texts and file names, code page 932 with the escapes of platform/cp932.h,
// as Windows' UTF-16 and back: the one conversion on Windows, made explicitly from code
// page 932 so that the program reads the same whatever the system's ANSI code page.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win32.h"

std::wstring wide_from_program(const char* text, std::size_t size);
// A terminated text; nullptr gives an empty one.
std::wstring wide_from_program(const char* text);
std::string program_from_wide(const wchar_t* text, std::size_t size);

// UTF-8, as the terminal tool and the synthesizer hold texts and names, and UTF-16 back.
std::wstring wide_from_utf8(const std::string& utf8);
// A terminated text.
std::string utf8_from_wide(const wchar_t* text);
