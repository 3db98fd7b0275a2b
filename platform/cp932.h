// Shift-JIS (Windows code page 932) <-> UTF-8, where text leaves the program: the Linux
// layer drawing or naming files, and the terminal tool.
#pragma once

#include <cstddef>
#include <string>

// Whether a byte starts a double-byte CP932 character (when a trail byte follows it).
// Header-only: the window's path handling needs it on every system.
inline bool is_cp932_lead_byte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The length of the CP932 character at bytes, size bytes being left: 2 for a lead byte
// followed by a trail byte, else 1.
std::size_t cp932_char_length(const char* bytes, std::size_t size);

// Decodes CP932 bytes to UTF-8. A byte that does not start a valid CP932 character
// becomes "\xNN" when escape_invalid is set, else U+FFFD.
std::string cp932_to_utf8(const char* bytes, std::size_t size, bool escape_invalid);

// Encodes UTF-8 as CP932; returns false (and leaves out empty) when some character
// has no CP932 form or the input is not UTF-8.
bool utf8_to_cp932(const std::string& utf8, std::string& out);

// A file name as the program holds it: Shift-JIS when every character has a CP932 form,
// else the name's own UTF-8 bytes, which CreateFileA opens as they are.
std::string file_name_for_program(const std::string& utf8_name);
