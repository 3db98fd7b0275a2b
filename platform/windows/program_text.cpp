#include "platform/windows/program_text.h"

#include <cstring>

#include "platform/cp932.h"

namespace {

constexpr UINT kShiftJis = 932;

void append_utf16(std::wstring& out, std::uint32_t code_point) {
    if (code_point < 0x10000) {
        out += static_cast<wchar_t>(code_point);
    } else {
        code_point -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (code_point >> 10));
        out += static_cast<wchar_t>(0xDC00 + (code_point & 0x3FF));
    }
}

void append_plain(std::wstring& out, const char* text, std::size_t size) {
    if (size == 0) return;
    int length = MultiByteToWideChar(kShiftJis, 0, text, static_cast<int>(size), nullptr, 0);
    std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(length));
    MultiByteToWideChar(kShiftJis, 0, text, static_cast<int>(size), &out[at], length);
}

// The CP932 bytes of one character (one or two UTF-16 units), when code page 932 holds
// it exactly and not as a user-defined character.
bool shift_jis_of(const wchar_t* units, int count, std::string& out) {
    char bytes[4];
    BOOL lossy = FALSE;
    int length =
        WideCharToMultiByte(kShiftJis, 0, units, count, bytes, sizeof bytes, nullptr, &lossy);
    if (length <= 0 || lossy || is_user_defined_lead_byte(static_cast<unsigned char>(bytes[0])))
        return false;
    wchar_t back[2];
    int back_length = MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes, length, back, 2);
    if (back_length != count || std::memcmp(back, units, sizeof(wchar_t) * count) != 0)
        return false;
    out.assign(bytes, static_cast<std::size_t>(length));
    return true;
}

}  // namespace

std::wstring wide_from_program(const char* text, std::size_t size) {
    std::wstring out;
    std::size_t plain = 0;
    for (std::size_t i = 0; i < size;) {
        std::uint32_t code_point;
        if (!read_name_escape(text + i, size - i, code_point)) {
            i += cp932_char_length(text + i, size - i);
            continue;
        }
        append_plain(out, text + plain, i - plain);
        append_utf16(out, code_point);
        i += kEscapeBytes;
        plain = i;
    }
    append_plain(out, text + plain, size - plain);
    return out;
}

std::wstring wide_from_program(const char* text) {
    return text != nullptr ? wide_from_program(text, std::strlen(text)) : std::wstring();
}

std::string program_from_wide(const wchar_t* text, std::size_t size) {
    std::string out;
    std::string character;
    for (std::size_t i = 0; i < size;) {
        std::uint32_t unit = static_cast<std::uint16_t>(text[i]);
        if (unit < 0x80) {
            out += static_cast<char>(unit);
            ++i;
            continue;
        }
        bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < size && text[i + 1] >= 0xDC00 &&
                    text[i + 1] <= 0xDFFF;
        int count = pair ? 2 : 1;
        // A lone surrogate, which a Windows name may hold, travels as its own value.
        std::uint32_t code_point =
            pair ? 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00u) : unit;
        if (shift_jis_of(text + i, count, character))
            out += character;
        else
            append_name_escape(out, code_point);
        i += static_cast<std::size_t>(count);
    }
    return out;
}

bool cp932_char_to_utf8(const char* bytes, std::size_t length, std::string& out) {
    wchar_t wide[2];
    int units = MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes,
                                    static_cast<int>(length), wide, 2);
    char utf8[8];
    int size = units <= 0 ? 0
                          : WideCharToMultiByte(CP_UTF8, 0, wide, units, utf8, sizeof utf8, nullptr,
                                                nullptr);
    out.assign(utf8, static_cast<std::size_t>(size > 0 ? size : 0));
    return size > 0;
}

bool utf8_to_cp932(const std::string& utf8, std::string& out) {
    out.clear();
    if (utf8.empty()) return true;
    int size = static_cast<int>(utf8.size());
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length <= 0) return false;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, &wide[0], length);
    BOOL lossy = FALSE;
    int bytes = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr,
                                    0, nullptr, &lossy);
    if (bytes <= 0 || lossy) return false;
    out.resize(static_cast<std::size_t>(bytes));
    WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), length, &out[0], bytes,
                        nullptr, &lossy);
    if (!lossy) return true;
    out.clear();
    return false;
}

std::string utf8_from_wide(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return "";
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(size - 1));
    return out;
}

std::wstring wide_from_utf8(const std::string& utf8) {
    int size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    if (size <= 1) return L"";
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &out[0], size);
    out.resize(static_cast<std::size_t>(size - 1));
    return out;
}
