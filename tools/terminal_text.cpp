#include "tools/terminal_text.h"

#include <cstdio>

namespace {

void escape(std::string& out, unsigned value) {
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", value & 0xFF);
    out += escaped;
}

// The length of the well-formed UTF-8 character at text[i], 0 when there is none.
std::size_t utf8_length(const std::string& text, std::size_t i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                         : lead >= 0xE0                 ? 3
                         : lead >= 0xC2 && lead <= 0xDF ? 2
                                                        : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    // No overlong three- or four-byte forms, no surrogates, nothing past U+10FFFF.
    if ((lead == 0xE0 && byte(i + 1) < 0xA0) || (lead == 0xED && byte(i + 1) >= 0xA0) ||
        (lead == 0xF0 && byte(i + 1) < 0x90) || (lead == 0xF4 && byte(i + 1) >= 0x90))
        return 0;
    return length;
}

}  // namespace

std::string terminal_text(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            if ((b < 0x20 && b != '\t' && b != '\n') || b == 0x7F) {
                escape(out, b);
            } else {
                out += static_cast<char>(b);
            }
            ++i;
            continue;
        }
        std::size_t length = utf8_length(text, i);
        if (length == 0) {
            escape(out, b);
            ++i;
        } else if (length == 2 && b == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            escape(out, static_cast<unsigned char>(text[i + 1]));  // U+0080 to U+009F
            i += 2;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}
