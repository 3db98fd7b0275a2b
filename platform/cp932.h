// Shift-JIS (Windows code page 932) <-> UTF-8, where text leaves the program: the Linux
// layer drawing or naming files, and the terminal tool; and how a file name that
// Shift-JIS cannot hold travels through the program on every system. Both systems build
// cp932.cpp; the two conversions are each system's own (iconv on Linux, code page 932 on
// Windows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// Header-only, what every system's build needs: whether a byte starts a double-byte CP932
// character (when a trail byte follows it).
inline bool is_cp932_lead_byte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// A character of a file name that has no CP932 form travels in the program as two CP932
// user-defined characters (lead bytes 0xF0-0xF9) holding its code point; a byte of a
// Linux name that is no UTF-8 travels as the code point 0xDC00 + byte. The program copies
// and cuts them as the double-byte characters they are, and the platform turns them back
// into the name the system holds. A user-defined character in a name is escaped too, so
// an escape always means one thing; names that CP932 holds are plain Shift-JIS.
constexpr std::size_t kEscapeBytes = 4;
constexpr std::uint32_t kUserDefinedCells = 1880;  // 10 lead bytes x 188 trail bytes
constexpr std::uint32_t kRawByteEscape = 0xDC00;

inline bool is_user_defined_lead_byte(unsigned char byte) {
    return byte >= 0xF0 && byte <= 0xF9;
}

inline void append_name_escape(std::string& out, std::uint32_t code_point) {
    for (std::uint32_t cell : {code_point / kUserDefinedCells, code_point % kUserDefinedCells}) {
        std::uint32_t trail = cell % 188;
        out += static_cast<char>(0xF0 + cell / 188);
        out += static_cast<char>(trail < 63 ? 0x40 + trail : 0x80 + trail - 63);
    }
}

// The code point an escape at bytes holds; false when none starts there.
inline bool read_name_escape(const char* bytes, std::size_t size, std::uint32_t& code_point) {
    if (size < kEscapeBytes) return false;
    std::uint32_t cells[2];
    for (int i = 0; i < 2; ++i) {
        auto lead = static_cast<unsigned char>(bytes[2 * i]);
        auto trail = static_cast<unsigned char>(bytes[2 * i + 1]);
        if (!is_user_defined_lead_byte(lead) || trail < 0x40 || trail == 0x7F || trail > 0xFC)
            return false;
        cells[i] = (lead - 0xF0u) * 188 + (trail < 0x80 ? trail - 0x40u : trail - 0x80u + 63);
    }
    code_point = cells[0] * kUserDefinedCells + cells[1];
    return code_point <= 0x10FFFF;
}

// The length of the CP932 character at bytes, size bytes being left: 2 for a lead byte
// followed by a trail byte, else 1.
inline std::size_t cp932_char_length(const char* bytes, std::size_t size) {
    if (size < 2) return 1;
    auto lead = static_cast<unsigned char>(bytes[0]);
    auto trail = static_cast<unsigned char>(bytes[1]);
    bool is_trail = trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
    return is_cp932_lead_byte(lead) && is_trail ? 2 : 1;
}

// Copies text into a buffer of size bytes, cut at a character and terminated when it does
// not fit, as Windows fills a program's buffer; whether it fitted.
inline bool copy_cp932_text(const std::string& text, char* out, std::size_t size) {
    if (size == 0) return false;
    std::size_t length = 0;
    while (length < text.size()) {
        std::size_t next = length + cp932_char_length(text.data() + length, text.size() - length);
        if (next >= size) break;
        length = next;
    }
    std::memcpy(out, text.data(), length);
    out[length] = '\0';
    return length == text.size();
}

// Decodes CP932 bytes to UTF-8. A byte that does not start a valid CP932 character
// becomes "\xNN" when escape_invalid is set, else U+FFFD.
std::string cp932_to_utf8(const char* bytes, std::size_t size, bool escape_invalid);

// Each system's own: one CP932 character (one or two bytes) as UTF-8; false when the
// bytes are no character.
bool cp932_char_to_utf8(const char* bytes, std::size_t length, std::string& out);
// Encodes UTF-8 as CP932; returns false (and leaves out empty) when some character
// has no CP932 form or the input is not UTF-8.
bool utf8_to_cp932(const std::string& utf8, std::string& out);

// Whether a single-byte character separates a path's folders: '/' on Linux, where '\' is a
// name's own character; '\' and '/' on Windows. The caller steps over Shift-JIS pairs.
bool is_path_separator(char byte);

// Whether the bytes are well-formed UTF-8 throughout.
bool is_utf8(const std::string& text);
// The length of the well-formed UTF-8 character at bytes, size bytes being left (no
// overlong forms, no surrogates, nothing past U+10FFFF), or 0.
std::size_t utf8_char_length(const unsigned char* bytes, std::size_t size);

// A Linux file name (UTF-8 bytes, or any bytes) as the program holds it, and back.
std::string file_name_for_program(const std::string& system_name);
std::string file_system_name(const char* program_name);

// The program's text as UTF-8 for the window system, the escapes of its file names as
// the characters they hold (raw bytes of a name decoded as CP932 where they form it).
std::string text_for_display(const char* bytes, std::size_t size);
