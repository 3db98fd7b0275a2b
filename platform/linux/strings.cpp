// USER32's and KERNEL32's narrow string helpers.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/win32.h"

namespace {

constexpr int kFormattedLimit = 1024;  // wsprintfA never writes more, terminator included

}  // namespace

int wsprintfA(LPSTR out, LPCSTR format, ...) {
    if (out == nullptr || format == nullptr) return 0;
    va_list arguments;
    va_start(arguments, format);
    int length = std::vsnprintf(out, kFormattedLimit, format, arguments);
    va_end(arguments);
    if (length < 0) {
        out[0] = '\0';
        return 0;
    }
    return length < kFormattedLimit ? length : kFormattedLimit - 1;
}

int lstrlenA(LPCSTR text) {
    return text != nullptr ? static_cast<int>(std::strlen(text)) : 0;
}
