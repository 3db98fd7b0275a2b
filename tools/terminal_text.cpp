#include "tools/terminal_text.h"

#include <cstdio>

#include "platform/cp932.h"

namespace {

void escape(std::string& out, unsigned value) {
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", value & 0xFF);
    out += escaped;
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
        std::size_t length = utf8_char_length(
            reinterpret_cast<const unsigned char*>(text.data()) + i, text.size() - i);
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
