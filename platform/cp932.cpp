#include "platform/cp932.h"

#include <cstdio>

std::string cp932_to_utf8(const char* bytes, std::size_t size, bool escape_invalid) {
    std::string out;
    std::string character;
    for (std::size_t i = 0; i < size;) {
        auto b = static_cast<unsigned char>(bytes[i]);
        std::size_t length = cp932_char_length(bytes + i, size - i);
        // ASCII, the bulk of every line, is the same in both encodings.
        if (b >= 0x80 && cp932_char_to_utf8(bytes + i, length, character)) {
            out += character;
            i += length;
            continue;
        }
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else if (escape_invalid) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
            out += escaped;
        } else {
            out += "\xEF\xBF\xBD";
        }
        i += 1;
    }
    return out;
}

namespace {

void append_utf8(std::string& out, std::uint32_t code_point) {
    if (code_point < 0x80) {
        out += static_cast<char>(code_point);
    } else if (code_point < 0x800) {
        out += static_cast<char>(0xC0 | code_point >> 6);
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    } else if (code_point < 0x10000) {
        out += static_cast<char>(0xE0 | code_point >> 12);
        out += static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code_point >> 18);
        out += static_cast<char>(0x80 | (code_point >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    }
}

std::uint32_t utf8_code_point(const unsigned char* bytes, std::size_t length) {
    static const unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    std::uint32_t code_point = bytes[0] & kLeadMask[length];
    for (std::size_t i = 1; i < length; ++i)
        code_point = code_point << 6 | (bytes[i] & 0x3F);
    return code_point;
}

}  // namespace

std::size_t utf8_char_length(const unsigned char* bytes, std::size_t size) {
    unsigned char b = bytes[0];
    std::size_t length = b < 0x80                 ? 1
                         : b >= 0xC2 && b <= 0xDF ? 2
                         : b >= 0xE0 && b <= 0xEF ? 3
                         : b >= 0xF0 && b <= 0xF4 ? 4
                                                  : 0;
    if (length == 0 || length > size) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((bytes[i] & 0xC0) != 0x80) return 0;
    if ((b == 0xE0 && bytes[1] < 0xA0) || (b == 0xED && bytes[1] >= 0xA0) ||
        (b == 0xF0 && bytes[1] < 0x90) || (b == 0xF4 && bytes[1] >= 0x90))
        return 0;
    return length;
}

bool is_utf8(const std::string& text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0, length; i < text.size(); i += length)
        if ((length = utf8_char_length(bytes + i, text.size() - i)) == 0) return false;
    return true;
}

std::string file_name_for_program(const std::string& system_name) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(system_name.data());
    std::string out;
    std::string cp932;
    for (std::size_t i = 0; i < system_name.size();) {
        std::size_t length = utf8_char_length(bytes + i, system_name.size() - i);
        if (length == 0) {
            append_name_escape(out, kRawByteEscape + bytes[i]);
            i += 1;
            continue;
        }
        std::string character(system_name, i, length);
        // Only a character that comes back as itself travels as CP932: the encoder's best
        // fits (U+00A5 YEN SIGN as the byte 5C, a backslash) would name another file.
        if (utf8_to_cp932(character, cp932) &&
            !is_user_defined_lead_byte(static_cast<unsigned char>(cp932[0])) &&
            cp932_to_utf8(cp932.data(), cp932.size(), false) == character)
            out += cp932;
        else
            append_name_escape(out, utf8_code_point(bytes + i, length));
        i += length;
    }
    return out;
}

std::string file_system_name(const char* program_name) {
    std::string out;
    std::size_t size = std::strlen(program_name);
    for (std::size_t i = 0; i < size;) {
        std::uint32_t code_point;
        if (read_name_escape(program_name + i, size - i, code_point)) {
            if (code_point >= kRawByteEscape + 0x80 && code_point <= kRawByteEscape + 0xFF)
                out += static_cast<char>(code_point - kRawByteEscape);
            else
                append_utf8(out, code_point);
            i += kEscapeBytes;
            continue;
        }
        std::size_t length = cp932_char_length(program_name + i, size - i);
        std::string character = cp932_to_utf8(program_name + i, length, false);
        // A byte that is no CP932 character names itself.
        bool decoded = character.find("\xEF\xBF\xBD") == std::string::npos;
        out += decoded ? character : std::string(program_name + i, length);
        i += length;
    }
    return out;
}

std::string text_for_display(const char* bytes, std::size_t size) {
    std::string out;
    std::string raw;  // bytes of a name that is no UTF-8: old archives hold Shift-JIS names
    std::size_t plain = 0;
    auto flush = [&](std::size_t end) {
        out += cp932_to_utf8(raw.data(), raw.size(), false);
        raw.clear();
        out += cp932_to_utf8(bytes + plain, end - plain, false);
    };
    for (std::size_t i = 0; i < size;) {
        std::uint32_t code_point;
        if (!read_name_escape(bytes + i, size - i, code_point)) {
            i += cp932_char_length(bytes + i, size - i);
            continue;
        }
        bool raw_byte = code_point >= kRawByteEscape + 0x80 && code_point <= kRawByteEscape + 0xFF;
        if (!raw_byte || i > plain) flush(i);
        if (raw_byte)
            raw += static_cast<char>(code_point - kRawByteEscape);
        else
            append_utf8(out, code_point);
        i += kEscapeBytes;
        plain = i;
    }
    flush(size);
    return out;
}
